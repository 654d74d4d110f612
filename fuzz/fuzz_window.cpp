// The window, offscreen, driven through real key presses, pastes and clicks that the input spells
// out as a sequence of actions (at most kMaxSteps). After every action the window is held to a
// model of what it must show, worked out from the documented behaviour: the caption names the last
// accepted value; a text change to an acceptable value starts afresh without exclusions; a move
// carries the selected lines across and searches again for the text in Edit1 without the values
// not owned (not at all with Edit1 empty, and with an error box, the only one allowed, when Edit1
// holds no number). Besides, every line must be well formed, no value may stand in both value
// lists, and, whenever the lists come from a search, no result may use a value not owned and the
// values needed must be exactly those the results use.
#include <unistd.h>
#include <QApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>

#include "FuzzCheck.h"
#include "Oracles.h"
#include "WindowDriver.h"
#include "engine/Engine.h"

namespace {

constexpr int kMaxSteps = 40;
const QString kResultsFor = QString::fromUtf8(" の結果");

TForm1* form = nullptr;
QStringList boxes;  // title and text of every error box answered since last looked at
char runtimeDir[] = "/tmp/ohmsift-fuzz-XXXXXX";

// Runs inside an error box's own event loop: notes the box and presses its OK button.
void AnswerBox() {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (box == nullptr) return;
  boxes << box->windowTitle() << box->text();
  QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
}

QString EditText() {
  return static_cast<QLineEdit*>(form->Edit1->Handle())->text();
}
QString Caption() {
  return static_cast<QLabel*>(form->NeedReg->Handle())->text();
}
std::string Text(const QString& s) {
  return s.toStdString();
}
std::string Text(const QStringList& lines) {
  return fuzz::Printable(Text(lines.join('|')));
}

// The lines a list's view shows as selected.
QStringList Selected(TListBox* list) {
  QListView* view = driver::View(list);
  QStringList lines;
  for (int row = 0; row < view->model()->rowCount(); ++row) {
    const QModelIndex index = view->model()->index(row, 0);
    if (view->selectionModel()->isSelected(index)) lines << index.data().toString();
  }
  return lines;
}

struct Model {
  QString caption;
  QStringList ans, use, none;
  bool searched = true;  // ans and use come from a search without the values in none
  double target = 0.0;   // the value ans was found for
};

// A fresh search, as the engine makes it, for target without the values of the given lines.
void Search(Model& m, double target) {
  engine::NoneCount = 0;
  for (const QString& line : m.none) {
    engine::NoneTable[engine::NoneCount++] = double(fuzz::ValueLine(Text(line)).value_or(-1));
  }
  TStringList ans(true), use(true);
  engine::CalcSub(target, ans, use);
  m.ans.clear();
  m.use.clear();
  for (int i = 0; i < ans.Count(); ++i) m.ans << QString::fromLatin1(ans.Get(i).c_str());
  for (int i = 0; i < use.Count(); ++i) m.use << QString::fromLatin1(use.Get(i).c_str());
  m.searched = true;
  m.target = target;
}

bool Shows(const Model& m) {
  return Caption() == m.caption && driver::Lines(form->ListAns) == m.ans &&
         driver::Lines(form->ListUse) == m.use && driver::Lines(form->ListNone) == m.none;
}

void CheckValueLines(const QStringList& lines, std::set<long>& values, const char* list) {
  for (const QString& line : lines) {
    const auto value = fuzz::ValueLine(Text(line));
    FUZZ_CHECK(value.has_value(), std::string(list) + ": malformed " + Text(QStringList{line}));
    FUZZ_CHECK(values.insert(*value).second, std::string(list) + ": repeated " + Text(line));
    FUZZ_CHECK(*value == *values.rbegin(), std::string(list) + ": out of order " + Text(lines));
  }
}

void CheckWindow(const Model& m) {
  FUZZ_CHECK(boxes.isEmpty(), "unexpected error box: " + Text(boxes));
  const QStringList ans = driver::Lines(form->ListAns);
  const QStringList use = driver::Lines(form->ListUse);
  const QStringList none = driver::Lines(form->ListNone);
  // The views show the lists' own lines.
  for (TListBox* list : {form->ListAns, form->ListUse, form->ListNone}) {
    const QAbstractItemModel* model = driver::View(list)->model();
    const QStringList lines = driver::Lines(list);
    FUZZ_CHECK(model->rowCount() == lines.size(), "view and list differ: " + Text(lines));
    for (int row = 0; row < lines.size(); ++row) {
      FUZZ_CHECK(model->index(row, 0).data().toString() == lines[row],
                 "view shows another line than " + Text(lines[row]));
    }
  }
  // Each line on its own, and the lists against each other.
  std::set<long> usedValues, noneValues, ansValues;
  CheckValueLines(use, usedValues, "ListUse");
  CheckValueLines(none, noneValues, "ListNone");
  for (const long v : usedValues) FUZZ_CHECK(!noneValues.count(v), "in both lists: " + Text(use));
  for (int i = 0; i < ans.size(); ++i) {
    const auto r = fuzz::ParseResultLine(Text(ans[i]));
    FUZZ_CHECK(r.has_value(), "ListAns: malformed " + Text(QStringList{ans[i]}));
    const std::string problem = fuzz::CheckResultLine(*r, m.target);
    FUZZ_CHECK(problem.empty(), "ListAns: " + problem + " in " + Text(QStringList{ans[i]}));
    FUZZ_CHECK(i == 0 || ans[i - 1] < ans[i], "ListAns out of order: " + Text(ans));
    ansValues.insert(r->reg1);
    ansValues.insert(r->reg2);
  }
  if (m.searched) {
    for (const long v : ansValues) {
      FUZZ_CHECK(!noneValues.count(v), "a result uses a value not owned: " + Text(ans));
    }
    FUZZ_CHECK(ansValues == usedValues, "ListUse is not what ListAns uses: " + Text(use));
  }
  // Against the model.
  FUZZ_CHECK(Caption() == m.caption,
             "NeedReg " + Text(Caption()) + ", expected " + Text(m.caption));
  FUZZ_CHECK(ans == m.ans, "ListAns " + Text(ans) + ", expected " + Text(m.ans));
  FUZZ_CHECK(use == m.use, "ListUse " + Text(use) + ", expected " + Text(m.use));
  FUZZ_CHECK(none == m.none, "ListNone " + Text(none) + ", expected " + Text(m.none));
}

// After an action that may have changed Edit1's text. A change that leaves the same text (a paste
// of what was there) may or may not count as a change.
void AfterTextAction(Model& m, const QString& before, bool sameMayChange) {
  const QString text = EditText();
  const auto wanted = fuzz::WantedValue(Text(text));
  if (!wanted || (text == before && !sameMayChange)) return;
  Model fresh = m;
  fresh.caption = text + kResultsFor;
  fresh.none.clear();
  Search(fresh, double(*wanted));
  if (text != before || Shows(fresh)) m = fresh;
}

void Move(Model& m, TButton* button, TListBox* from, TListBox* to, QStringList& modelFrom,
          QStringList& modelTo) {
  const QStringList selected = Selected(from);
  const QStringList selectedThere = Selected(to);
  const AnsiString text = form->Edit1->GetText();
  driver::Click(button);
  const bool moved = !selected.isEmpty();
  bool boxExpected = false;
  if (moved) {
    for (const QString& line : selected) {
      modelFrom.removeOne(line);
      modelTo << line;
    }
    std::sort(modelTo.begin(), modelTo.end());
    if (text.IsEmpty()) {
      m.searched = false;  // nothing searched again: the results may still use what moved
    } else if (const auto target = fuzz::ReferenceRead(text.View())) {
      Search(m, *target);
    } else {
      boxExpected = true;
      m.ans.clear();
      m.use.clear();
      m.searched = true;
    }
  }
  const std::string context = "move of " + Text(selected) + " with " + fuzz::Printable(text.View());
  if (boxExpected) {
    FUZZ_CHECK(boxes.size() == 2 && boxes[0] == "OhmSift" && !boxes[1].isEmpty(),
               context + ": box " + Text(boxes));
    boxes.clear();
  }
  FUZZ_CHECK(boxes.isEmpty(), context + ": unexpected box " + Text(boxes));
  // The source keeps no selection; the destination keeps its own unless it was searched again.
  FUZZ_CHECK(Selected(from).isEmpty() || !moved, context + ": still selected");
  const bool refilled = moved && to == form->ListUse && !text.IsEmpty();
  FUZZ_CHECK(Selected(to) == (refilled ? QStringList() : selectedThere),
             context + ": selection there " + Text(Selected(to)));
}

QString TypedCharacter(std::uint8_t b) {
  static const QString others = QStringLiteral(" .-+eEx,0a?/");  // key clicks spell ASCII only
  if (b < 200) return QString(QChar('0' + b % 10));
  return QString(others[(b - 200) % others.size()]);
}

QString PastedText(fuzz::Bytes& in) {
  static const QStringList pieces = {" ",
                                     "\t",
                                     ".",
                                     "-",
                                     "+",
                                     "e",
                                     "E",
                                     "a",
                                     "?",
                                     QString::fromUtf8("４"),
                                     QString::fromUtf8("０"),
                                     QString::fromUtf8("Ω"),
                                     QString::fromUtf8("あ"),
                                     QString::fromUtf8("抵抗"),
                                     QString::fromUtf8("😀"),
                                     QString(QChar(0xD800)),
                                     QString::fromUtf8("²"),
                                     QString(QChar(0xA0)),
                                     QString(QChar(0x0660)),
                                     QString(QChar(0x7F)),
                                     QString(QChar(0x01)),
                                     "\n",
                                     QString(QChar(0)),
                                     "1e5"};
  QString text;
  for (int n = in.Next() % 9; n > 0; --n) {
    const std::uint8_t b = in.Next();
    text += b < 150 ? QString(QChar('0' + b % 10)) : pieces[(b - 150) % pieces.size()];
  }
  return text;
}

void ClickSomeLine(TListBox* list, fuzz::Bytes& in) {
  const std::uint8_t row = in.Next();
  const std::uint8_t keys = in.Next();
  if (list->Items->Count() == 0) return;
  const Qt::KeyboardModifiers modifiers[] = {Qt::NoModifier, Qt::ControlModifier, Qt::ShiftModifier,
                                             Qt::ControlModifier | Qt::ShiftModifier};
  driver::ClickLine(list, row % list->Items->Count(), modifiers[keys % 4]);
}

// Back to the window as it starts: everything empty.
void Reset() {
  form->Edit1->SetText("");
  form->NeedReg->SetText("");
  form->ListAns->Clear();
  form->ListUse->Clear();
  form->ListNone->Clear();
  boxes.clear();
}

}  // namespace

// Fontconfig keeps what it reads for the life of the process; a leak elsewhere is still one.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
extern "C" const char* __lsan_default_options() {
  return "print_suppressions=0";
}

static QtMessageHandler toolkitMessages = nullptr;

// The offscreen platform says so each time an error box is shown; the rest passes.
static void QuietToolkit(QtMsgType type, const QMessageLogContext& context,
                         const QString& message) {
  if (message.contains(QStringLiteral("propagateSizeHints")) || toolkitMessages == nullptr) return;
  toolkitMessages(type, context, message);
}

extern "C" int LLVMFuzzerInitialize(int* /*fuzzerArgc*/, char*** /*fuzzerArgv*/) {
  toolkitMessages = qInstallMessageHandler(QuietToolkit);
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
  // An error box runs its own event loop; this answers it there.
  auto* answer = new QTimer(QCoreApplication::instance());
  QObject::connect(answer, &QTimer::timeout, AnswerBox);
  answer->start(0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Bytes in(data, size);
  Reset();
  Model m;
  CheckWindow(m);
  for (int step = 0; step < kMaxSteps && !in.Empty(); ++step) {
    const QString before = EditText();
    switch (in.Next() % 16) {
      case 0:
      case 1:
      case 2:
      case 3:
      case 4:
        driver::Type(form, TypedCharacter(in.Next()));
        AfterTextAction(m, before, false);
        break;
      case 5:
        QTest::keyClick(form->Edit1->Handle(), Qt::Key_Backspace);
        AfterTextAction(m, before, false);
        break;
      case 6:
      case 7:
        driver::Paste(form, PastedText(in));
        AfterTextAction(m, before, true);
        break;
      case 8: {
        const long value = (long(in.Next()) << 16 | long(in.Next()) << 8 | in.Next()) % 1100000;
        driver::Paste(form, (in.Next() % 4 == 0 ? "0" : "") + QString::number(value));
        AfterTextAction(m, before, true);
        break;
      }
      case 9:
      case 10:
        ClickSomeLine(form->ListUse, in);
        break;
      case 11:
        ClickSomeLine(form->ListNone, in);
        break;
      case 12:
        Move(m, form->Button1, form->ListUse, form->ListNone, m.use, m.none);
        break;
      case 13:
        Move(m, form->Button2, form->ListNone, form->ListUse, m.none, m.use);
        break;
      case 14:
        ClickSomeLine(form->ListAns, in);
        break;
      case 15:
        QCoreApplication::processEvents();
        break;
    }
    CheckWindow(m);
  }
  return 0;
}
