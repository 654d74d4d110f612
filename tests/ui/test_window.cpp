// The main window driven through real key presses and mouse clicks: layout, focus and columns, and
// sessions of typing, pasting and moving values, each step held to the window's documented
// behaviour (driver::Session).
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <stdexcept>

#include "WindowDriver.h"
#include "platform/Application.h"
#include "platform/QtText.h"
#include "tables/Tables.h"

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
    // Each word of the heading stands over its column, by the font's metrics and on screen.
    const QStringList results = driver::Lines(form->ListAns);
    const QFontMetrics fm(form->ListAns->Handle()->font());
    // Heading characters up to a word's edge, and the result columns that must end there: the
    // error, resistor 1's word from column 9 to 20, resistor 2's end, the resulting value.
    for (auto [chars, columns] : {std::pair{6, 9}, {12, 21}, {16, 29}, {17, 31}}) {
      for (const QString& line : results) {
        QCOMPARE(fm.horizontalAdvance(line.left(columns)),
                 fm.horizontalAdvance(ToQString(form->Label4->GetText()).left(chars)));
      }
    }
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
    driver::Session session(form);
    for (const QString& action : actions) {
      const std::string problem = session.Do(action);
      QVERIFY2(problem.empty(), qPrintable(action + ": " + QString::fromStdString(problem)));
    }
  }

  // More values not owned than the table holds can only be put there by code; the rerun says so.
  void exclusionTableIsNeverOverrun() {
    driver::Type(form, QStringLiteral("4700"));
    for (int v = 1; v <= 200; ++v) form->ListNone->Items->Add(AnsiString(std::to_string(v)));
    engine::NoneTable[engine::kNoneCapacity - 1] = -1.0;
    driver::ClickLine(form->ListUse, 0);
    const QStringList box = driver::AnswerBox([&] { driver::Click(form->Button1); });
    QVERIFY2(box.size() == 2 && box[1].contains(QStringLiteral("200")), qPrintable(box.join('|')));
    QCOMPARE(engine::NoneTable[engine::kNoneCapacity - 1], -1.0);
    QVERIFY(driver::Lines(form->ListAns).isEmpty());
  }
};

QTEST_MAIN(WindowTest)
#include "test_window.moc"
