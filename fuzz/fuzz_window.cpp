// The window, offscreen, driven through a sequence of real key presses, pastes, clicks and moves
// that the input spells out (at most 40), each held to the model of what the window must show.
#include <QApplication>
#include <cstdlib>

#include "FuzzCheck.h"
#include "WindowDriver.h"
#include "platform/Application.h"

namespace {

TForm1* form = nullptr;

// Mostly digits; key clicks spell ASCII only (the first seven pieces), pastes anything.
QString Text(fuzz::Bytes& in, bool typed) {
  // clang-format off
  static const QStringList pieces = {" ", ".", "-", "+", "e", "a", "1e5", "\t", "\n", "４", "Ω", "あ",
                                     "😀", "²", QString(QChar(0xD800)), QString(QChar(0))};
  // clang-format on
  QString text;
  for (int n = in.Next() % 9; n > 0; --n) {
    const std::uint8_t b = in.Next();
    text += b < 160 ? QString::number(b % 10) : pieces[(b - 160) % (typed ? 7 : pieces.size())];
  }
  return text;
}

}  // namespace

// Fontconfig keeps what it reads for the life of the process; a leak elsewhere is still one.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // The toolkit is made here and kept to the end, never taken down: what it made since start-up
  // would go first at exit, and taking down the toolkit and its windows after it would crash.
  static int argc = 1;
  static char* argv[] = {const_cast<char*>("fuzz_window"), nullptr};
  new QApplication(argc, argv);
  form = driver::OpenWindow();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  form->Edit1->SetText("");
  form->NeedReg->SetText("");
  for (TListBox* list : {form->ListAns, form->ListUse, form->ListNone}) list->Clear();
  driver::Session session(form);
  fuzz::Bytes in{{reinterpret_cast<const char*>(data), size}};
  for (int step = 0; step < 40 && !in.rest.empty(); ++step) {
    const int kind = in.Next() % 12;
    QString action = kind < 4 ? "t" + Text(in, true) : kind < 6 ? "p" + Text(in, false) : "b";
    if (kind == 6)
      action = "p" + QString::number((in.Next() << 16 | in.Next() << 8 | in.Next()) % 1100000);
    if (kind >= 8 && kind <= 10) {
      const char* modifiers[] = {"", "^", "+"};
      action = QLatin1Char("una"[kind - 8]) + QString::number(in.Next()) + modifiers[in.Next() % 3];
    }
    if (kind == 11) action = in.Next() % 2 ? ">" : "<";
    const std::string problem = session.Do(action);
    FUZZ_CHECK(problem.empty(), action.toStdString() + ": " + problem);
  }
  return 0;
}
