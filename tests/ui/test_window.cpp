// The main window driven through real key presses and mouse clicks: layout, focus and columns, and
// sessions of typing, pasting and moving values, each step held to the window's documented
// behaviour (Session).
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <array>
#include <cmath>
#include <optional>
#include <regex>
#include <stdexcept>

#include "ReferenceSearch.h"
#include "WindowDriver.h"
#include "engine/Arithmetic.h"
#include "engine/Series.h"
#include "platform/Application.h"
#include "platform/QtText.h"

namespace {

// The leftmost column inside rect (past its first pixels, where a frame may be) with a dark pixel.
int FirstInk(const QImage& image, const QRect& rect) {
  for (int x = rect.left() + 3; x <= rect.right(); ++x) {
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
      if (qGray(image.pixel(x, y)) < 128) return x;
    }
  }
  return -1;
}

// Handlers that raise what no library call would, to see the dispatch catch it all the same.
struct TRaiser : TObject {
  void Standard(TObject*) { throw std::runtime_error("standard failure"); }
  void Other(TObject*) { throw 42; }
};

// Descriptions naming a handler that the form's table does not publish, and an event that the
// control cannot fire.
constexpr TControlDescription kBrokenControls[] = {
    {.Class = TControlClass::Button, .Name = "Button", .OnClick = "Missing"},
    {.Class = TControlClass::Edit, .Name = "Edit", .OnChange = "Raise", .OnClick = "Raise"}};
const TFormDescription kBroken[] = {{.Controls = kBrokenControls, .ControlCount = 1},
                                    {.Controls = kBrokenControls + 1, .ControlCount = 1}};
const TPublishedMethod kRaise[] = {{"Raise", PublishedMethod(&TRaiser::Standard)}};
const TPublishedTable kRaisePublished{kRaise, 1, nullptr, 0};
template <int n>
struct TBrokenForm : TForm {
  TBrokenForm() : TForm(kBroken[n], kRaisePublished) {}
};

// A user's session with the window, each action checked against what the window must show then,
// worked out from its documented behaviour: the caption names the last accepted value; a change of
// the text to an acceptable value starts afresh without values not owned; a move carries the
// selected lines across and searches again for the text in Edit1 without the values not owned
// (not at all with Edit1 empty; with an error box, the only one allowed, when Edit1 holds no
// number); the list a move takes from keeps no selection.
class Session {
 public:
  explicit Session(TForm1* form) : form_(form), model_(Shown()) {}

  // One action: "t" text (typed), "p" text (pasted), "b" (backspace in Edit1), "u" row, "n" row,
  // "a" row (a click on that line of ListUse, ListNone, ListAns; a final "^" holds Ctrl, "+"
  // Shift), ">" and "<" (the buttons), "k" key (a key to the control with the focus: Tab,
  // Return, Enter, Space, Down, Ctrl+Space, as QKeySequence spells them), "=" text (Edit1 must
  // hold it), "s" u or n and rows (the lines selected there, as "su0,3"). Returns what differs
  // from the model afterwards, or nothing.
  std::string Do(const QString& action) {
    const QChar kind = action.isEmpty() ? QChar() : action[0];
    const QString argument = action.mid(1), before = driver::EditText(form_);
    std::string problem;
    if (kind == 't' && argument.size() > 1) {  // key by key: each key changes the text on its own
      for (const QChar c : argument) {
        if (problem = Do(QStringLiteral("t") + c); !problem.empty()) return problem;
      }
    } else if (kind == 't' || kind == 'p' || kind == 'b') {
      if (kind == 't') driver::Type(form_, argument);
      if (kind == 'p') driver::Paste(form_, argument);
      if (kind == 'b') QTest::keyClick(form_->Edit1->Handle(), Qt::Key_Backspace);
      const QString text = driver::EditText(form_);
      // A paste of the text already there may or may not count as a change. A wanted value is
      // ASCII digits alone, above 100 and below 1000000.
      const std::optional<double> wanted =
          std::regex_match(text.toStdString(), std::regex("[0-9]+")) &&
                  text.toDouble() > 100 && text.toDouble() < 1000000
              ? std::optional<double>(text.toDouble())
              : std::nullopt;
      if (wanted && (text != before || kind == 'p')) {
        const auto kept = model_;
        model_[0] = QStringList{text + QString::fromUtf8(" の結果")};
        model_[3].clear();
        Search(*wanted);
        if (text == before && Shown() != model_) model_ = kept;
      }
    } else if (kind == 'u' || kind == 'n' || kind == 'a') {
      TListBox* list =
          kind == 'u' ? form_->ListUse : (kind == 'n' ? form_->ListNone : form_->ListAns);
      const auto modifiers = argument.endsWith('^')   ? Qt::ControlModifier
                             : argument.endsWith('+') ? Qt::ShiftModifier
                                                      : Qt::NoModifier;
      const QString row = modifiers == Qt::NoModifier ? argument : argument.chopped(1);
      if (list->Items->Count() > 0)
        driver::ClickLine(list, row.toInt() % list->Items->Count(), modifiers);
    } else if (kind == '>' || kind == '<' || kind == 'k') {
      const QKeyCombination key = QKeySequence(argument)[0];
      QWidget* focus = QApplication::focusWidget();
      const auto press = [&] {
        kind == 'k' ? QTest::keyClick(focus, key.key(), key.keyboardModifiers())
                    : driver::Click(kind == '>' ? form_->Button1 : form_->Button2);
      };
      // A button pressed from the keyboard moves as a click does.
      const bool returned = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
      if (kind == '>' || (returned && focus == form_->Button1->Handle())) {
        problem = Move(press, form_->ListUse, form_->ListNone, model_[2], model_[3]);
      } else if (kind == '<' || (returned && focus == form_->Button2->Handle())) {
        problem = Move(press, form_->ListNone, form_->ListUse, model_[3], model_[2]);
      } else {
        press();
      }
    } else if (kind == 's') {
      const QStringList rows = Selected(argument[0] == 'u' ? form_->ListUse : form_->ListNone);
      if (rows.join(',') != argument.mid(1)) problem = "selected: " + rows.join(',').toStdString();
    } else if (kind == '=') {
      if (driver::EditText(form_) != argument) problem = "Edit1 holds " + before.toStdString();
    } else {
      problem = "no such action";
    }
    for (std::size_t i = 0; i < model_.size() && problem.empty(); ++i) {
      const QString shown = Shown()[i].join('|'), due = model_[i].join('|');
      if (shown != due) problem = (shown + " shown, " + due + " due").toStdString();
    }
    return problem;
  }

 private:
  // What the window shows: the caption under Edit1, ListAns, ListUse and ListNone.
  std::array<QStringList, 4> Shown() const {
    return {QStringList{static_cast<QLabel*>(form_->NeedReg->Handle())->text()},
            driver::Lines(form_->ListAns), driver::Lines(form_->ListUse),
            driver::Lines(form_->ListNone)};
  }

  static QStringList Selected(TListBox* list) {
    QStringList rows;
    for (int row = 0; row < list->Items->Count(); ++row) {
      if (list->GetSelected(row)) rows << QString::number(row);
    }
    return rows;
  }

  // A fresh search, stated afresh: the step-by-step search's 15 best E24 pairs within 5 %, without
  // the values of the model's ListNone, as lines of error, the two resistors' whole ohms and the
  // value; and the whole ohms of the values they use, once each; both lists sorted as text.
  void Search(double target) {
    std::vector<double> none;
    for (const QString& line : model_[3]) none.push_back(line.toDouble());
    const reference::Result r = reference::Search(engine::kE24, target, 15, 0.05, none);
    model_[1].clear();
    model_[2].clear();
    for (int k = 0; k < r.count; ++k) {
      model_[1] << QString::asprintf(" %f  %8lld  %8lld  %8.3f",
                                     std::fabs(engine::arith::Product(r.error[k], 100)),
                                     std::llround(r.reg1[k]), std::llround(r.reg2[k]), r.value[k]);
      for (const double v : {r.reg1[k], r.reg2[k]}) {
        const QString line = QString::asprintf("%7lld", std::llround(v));
        if (!model_[2].contains(line)) model_[2] << line;
      }
    }
    model_[1].sort();
    model_[2].sort();
  }

  // The number the window reads from a text, stated afresh: blanks, a sign, digits with a point,
  // an exponent; else nothing.
  static std::optional<double> Number(const std::string& text) {
    static const std::regex number(R"([ \t]*[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?)");
    if (!std::regex_match(text, number)) return std::nullopt;
    return std::strtod(text.c_str(), nullptr);
  }

  std::string Move(const std::function<void()>& press, TListBox* from, TListBox* to,
                   QStringList& modelFrom, QStringList& modelTo) {
    const QStringList selected = Selected(from), selectedThere = Selected(to);
    QStringList expectedBox;
    for (const QString& row : selected) modelTo << driver::Lines(from)[row.toInt()];
    for (int i = int(selected.size()) - 1; i >= 0; --i) modelFrom.removeAt(selected[i].toInt());
    modelTo.sort();
    const std::string typed = driver::EditText(form_).toStdString();
    if (!selected.isEmpty() && !typed.empty()) {
      if (const std::optional<double> number = Number(typed)) {
        Search(*number);
      } else {
        expectedBox = QStringList{"OhmSift", QString::fromStdString("'" + typed + "'") +
                                                 QString::fromUtf8(" は正しい数値ではありません。")};
        model_[1].clear();
        model_[2].clear();
      }
    }
    const QStringList box = driver::AnswerBox(press);
    if (box != expectedBox) return "error box " + box.join('|').toStdString();
    if (!selected.isEmpty() && !Selected(from).isEmpty()) return "lines still selected";
    const bool refilled = !selected.isEmpty() && to == form_->ListUse && !typed.empty();
    if (Selected(to) != (refilled ? QStringList() : selectedThere)) return "selected there";
    return {};
  }

  TForm1* form_;
  std::array<QStringList, 4> model_;  // what the window must show, as Shown() has it
};

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

  TForm1* form = nullptr;

 private slots:
  void init() { form = driver::OpenWindow(); }
  void cleanup() { QCOMPARE(driver::CloseWindow(form), QStringList()); }  // no box unanswered

  void startUp() {
    QWidget* w = form->Handle();
    // Fixed: the frame cannot resize it.
    QVERIFY(w->minimumSize() == QSize(314, 292) && w->maximumSize() == QSize(314, 292));
    const QPoint offCentre = w->geometry().center() - w->screen()->availableGeometry().center();
    QVERIFY(offCentre.manhattanLength() <= 2);
    QCOMPARE(w->windowIcon().pixmap(32, 32).size(), QSize(32, 32));
    // The focus starts on the result list, so typed digits go there, not to Edit1.
    QCOMPARE(QApplication::focusWidget(), form->ListAns->Handle());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("4700"));
    QCOMPARE(driver::EditText(form), QString());
    const QImage unfocused = form->ListNone->Handle()->grab().toImage();
    for (const QString next : {"Edit1", "ListUse", "ListNone", "Button1", "Button2", "ListAns"}) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(), next);
      // An empty list with the focus shows it.
      if (next == "ListNone") QVERIFY(form->ListNone->Handle()->grab().toImage() != unfocused);
    }
    // A description that names what its form does not publish, or an event its control cannot
    // fire, raises when it is read.
    TBrokenForm<0>* broken = nullptr;
    TBrokenForm<1>* unfit = nullptr;
    QVERIFY_THROWS_EXCEPTION(Exception, Application->CreateForm(broken));
    try {
      Application->CreateForm(unfit);
    } catch (const Exception& error) {
      QCOMPARE(error.Message.ToStdString(), "Control Edit has no event OnClick for Raise");
    }
    QVERIFY(broken == nullptr && unfit == nullptr);
    // Maximized or full screen, as the program itself may ask: taken back.
    for (void (QWidget::*show)() : {&QWidget::showMaximized, &QWidget::showFullScreen}) {
      (w->*show)();
      QTest::qWait(20);
      QVERIFY(w->windowState() == Qt::WindowNoState && w->size() == QSize(314, 292));
    }
    QVERIFY_THROWS_EXCEPTION(EListError, form->ListUse->Items->Get(0));
    QVERIFY_THROWS_EXCEPTION(EListError, form->ListNone->Items->Delete(-1));
    QVERIFY_THROWS_EXCEPTION(EListError, form->ListAns->GetSelected(0));
    TRaiser raiser;
    for (auto [method, message] : {std::pair{&TRaiser::Standard, "standard failure"},
                                   {&TRaiser::Other, "An unknown error occurred."}}) {
      const TNotifyEvent event{&raiser, PublishedMethod(method)};
      QCOMPARE(driver::AnswerBox([&] { Application->Dispatch(event, nullptr); }),
               QStringList({"OhmSift", message}));
    }
  }

  // Every control, once a value is typed: place, size (a label's fits its caption), face, text (a
  // button's caption, a label's, else the accessible name a label gives it), hint (tooltip and
  // accessible description) and whether it takes the focus; then the columns under the heading.
  void controls() {
    driver::Type(form, QStringLiteral("4700"));
    QStringList shown;
    for (auto* w : form->Handle()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
      auto* label = qobject_cast<QLabel*>(w);
      auto* button = qobject_cast<QPushButton*>(w);
      const QString text = label ? label->text() : button ? button->text() : w->accessibleName();
      const QFontMetrics metrics(w->font());
      const bool fits = label && !text.isEmpty() && w->width() == metrics.horizontalAdvance(text) &&
                        w->height() == std::max(12, metrics.height());
      QCOMPARE(w->accessibleDescription(), w->toolTip());
      const QString size = fits ? "fit fit" : QString::asprintf("%d %d", w->width(), w->height());
      const QFontInfo face(w->font());
      shown << QString::asprintf("%s %d %d %s %s %d \"%s\" \"%s\" %s", qPrintable(w->objectName()),
                                 w->x(), w->y(), qPrintable(size), qPrintable(face.family()),
                                 face.pixelSize(), qPrintable(text), qPrintable(w->toolTip()),
                                 w->focusPolicy() == Qt::NoFocus ? "-" : "tab");
    }
    // clang-format off
    QCOMPARE(shown.join('\n'), QString::fromUtf8(R"(Label1 8 0 fit fit IPAPGothic 12 "欲しい抵抗値" "" -
Label2 112 0 fit fit IPAPGothic 12 "必要な抵抗" "" -
Label3 216 0 fit fit IPAPGothic 12 "持っていない抵抗" "" -
Label4 8 144 fit fit IPAGothic 12 "誤差(%)　必要な抵抗１　抵抗２　できた抵抗値" "" -
NeedReg 8 120 fit fit IPAPGothic 12 "4700 の結果" "" -
ListAns 0 160 313 129 IPAGothic 12 "誤差(%)　必要な抵抗１　抵抗２　できた抵抗値" "" tab
Edit1 8 16 73 20 IPAPGothic 12 "欲しい抵抗値" "100Ω以上の欲しい抵抗値（整数）を入力" tab
ListUse 104 16 81 113 IPAGothic 12 "必要な抵抗" "" tab
ListNone 224 16 81 113 IPAGothic 12 "持っていない抵抗" "" tab
Button1 192 40 25 25 IPAPGothic 12 "->" "持っていない抵抗に移す" tab
Button2 192 80 25 25 IPAPGothic 12 "<-" "必要な抵抗に移す" tab)"));
    // clang-format on
    QCOMPARE(form->Label4->Handle()->width(), 258);  // 43 columns of 6 pixels
    // Edit1 tells input methods that it takes digits.
    QVERIFY(form->Edit1->Handle()->inputMethodHints() & Qt::ImhDigitsOnly);
    // The lines stand under the heading on screen: a result line drawn where the list draws it
    // starts where the same text drawn from the heading's left edge does (in the fixed-pitch face
    // recorded above, which keeps every column under its word).
    const QStringList results = driver::Lines(form->ListAns);
    QListView* view = driver::View(form->ListAns);
    const QRect cell = view->visualRect(view->model()->index(2, 0));
    const QRect row(view->viewport()->mapTo(form->Handle(), cell.topLeft()), cell.size());
    QCOMPARE(row.height(), 12);
    const QImage shot = form->Handle()->grab().toImage();
    QImage reference(shot.size(), QImage::Format_RGB32);
    reference.fill(Qt::white);
    QPainter painter(&reference);
    painter.setFont(form->ListAns->Handle()->font());
    painter.drawText(QRect(form->Label4->Handle()->x(), row.top(), 300, row.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, results[2]);
    painter.end();
    QCOMPARE(FirstInk(shot, row), FirstInk(reference, row));
    // Where another face stands in, taller than 12 pixels, each label takes at least the height of
    // its line (the faces installed here of those a Japanese desktop may have).
    for (const QString face :
         {"IPAPGothic", "VL PGothic", "Noto Sans CJK JP", "Noto Sans Mono CJK JP"}) {
      QFont font(face);
      font.setPixelSize(12);
      if (QFontInfo(font).family() != face) continue;
      const QFontMetrics metrics(font);
      for (TLabel* label :
           {form->Label1, form->Label2, form->Label3, form->Label4, form->NeedReg}) {
        label->Handle()->setFont(font);
        label->SetText(label->GetText());
        QVERIFY(label->Handle()->height() >= std::max(12, metrics.height()));
        QVERIFY(label->Handle()->width() >= metrics.horizontalAdvance(ToQString(label->GetText())));
      }
    }
  }

  void sessions_data() {
    QTest::addColumn<QStringList>("actions");
    const auto row = [](const char* name, const char* actions) {
      QTest::newRow(name) << QString::fromUtf8(actions).split(QChar(0x2502));  // │ between actions
    };
    row("key by key and back", "t47│t0│t0│b│b│b│b│=");
    row("eighth character refused", "t12345678│=1234567");
    row("refused texts leave everything",
        "t4700│u0│>│pabc│p0100│p4700.5│p1000000│p100│p 4700│"
        "p１０１│p４７００│p47😀00│p४७००│p4²0│pab\tc│p-4700│p+4700│p1e5│p0000000│p9999999");
    row("accepted texts start afresh", "t4700│u0│>│p101│u3│>│p0101│p999999│p470│p470");
    row("ctrl and shift", "t4700│>│<│u0│u3^│>│u1│u4+│>│n0│<│n0│n1+│<");
    row("a value back that no pair needs", "t4700│u0│u1^│u2^│u3^│>│n0│<│n1│<");
    row("every value out", "t4700│u0│u21+│>│u0│u99+│>│n0│n99+│<");
    row("Edit1 emptied: moves without a search", "t470│b│b│b│u1│>│u0│>│n1│<");
    row("letters in Edit1: the error box", "t4700│pabc│u0│>│p4700│p4700.5│u0│>│pあ│n0│<");
    row("Return and Enter press the focused button",
        "t4700│u1│kTab│kTab│kReturn│n0│kTab│kTab│kEnter");
    row("Space selects the focused line, Ctrl+Space toggles it",
        "t4700│u0│kDown│kDown│kSpace│su2│kSpace│su2│kCtrl+Down│kCtrl+Space│su2,3│kCtrl+Space│su2│>"
        "│n0│kSpace│sn0");
  }
  void sessions() {
    QFETCH(QStringList, actions);
    Session session(form);
    for (const QString& action : actions) {
      const std::string problem = session.Do(action);
      QVERIFY2(problem.empty(), qPrintable(action + ": " + QString::fromStdString(problem)));
    }
  }
};

QTEST_MAIN(WindowTest)
#include "test_window.moc"
