// The window, offscreen, driven through a sequence of real key presses, pastes, clicks and moves
// that the input spells out (at most 40), each held to the model of what the window must show.
#include <unistd.h>

#include <QApplication>
#include <QtTest>
#include <cstdlib>

#include "FuzzCheck.h"
#include "WindowDriver.h"
#include "platform/Application.h"

namespace {

TForm1* form = nullptr;
char runtimeDir[] = "/tmp/ohmsift-fuzz-XXXXXX";

// Mostly digits. Key clicks spell ASCII only; pastes may hold anything.
QString Text(fuzz::Bytes& in, bool typed) {
  static const QStringList pieces = {" ",
                                     ".",
                                     "-",
                                     "+",
                                     "e",
                                     "a",
                                     "1e5",
                                     "\t",
                                     "\n",
                                     "４",
                                     "Ω",
                                     "あ",
                                     "😀",
                                     "²",
                                     QString(QChar(0xD800)),
                                     QString(QChar(0))};
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
  if (std::getenv("XDG_RUNTIME_DIR") == nullptr && mkdtemp(runtimeDir) != nullptr) {
    setenv("XDG_RUNTIME_DIR", runtimeDir, 1);
    std::atexit([] { rmdir(runtimeDir); });
  }
  // The toolkit is made here and kept to the end, never taken down: what it made since start-up
  // would go first at exit, and taking down the toolkit and its windows after it would crash.
  static int argc = 1;
  static char name[] = "fuzz_window";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
  Application->Initialize();
  Application->CreateForm(form);
  driver::ShowActive(form);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  form->Edit1->SetText("");
  form->NeedReg->SetText("");
  for (TListBox* list : {form->ListAns, form->ListUse, form->ListNone}) list->Clear();
  driver::Session session(form);
  fuzz::Bytes in(data, size);
  for (int step = 0; step < 40 && !in.rest.empty(); ++step) {
    const std::uint8_t kind = in.Next() % 12;
    const char* modifiers[] = {"", "^", "+"};
    QString action;
    if (kind < 4) action = "t" + Text(in, true);
    if (kind == 4) action = "b";
    if (kind == 5 || kind == 6) action = "p" + Text(in, false);
    if (kind == 7)
      action = "p" + QString::number((in.Next() << 16 | in.Next() << 8 | in.Next()) % 1100000);
    if (kind >= 8 && kind <= 10) {
      action = QLatin1Char("una"[kind - 8]) + QString::number(in.Next()) + modifiers[in.Next() % 3];
    }
    if (kind == 11) action = in.Next() % 2 ? ">" : "<";
    const std::string problem = session.Do(action);
    FUZZ_CHECK(problem.empty(), action.toStdString() + ": " + problem);
  }
  return 0;
}
