// The main window driven through real key presses and mouse clicks: layout, wanted-value entry,
// moving values between the lists, the error box, and hostile text in Edit1.
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include "WindowDriver.h"
#include "engine/Engine.h"

using driver::Click;
using driver::ClickLine;
using driver::Lines;
using driver::Paste;
using driver::Type;

namespace {

const QStringList k4700Results = {
    " 0.044326      8200     11000  4697.917", " 0.263183      5100     62000  4712.370",
    " 0.406407      5600     30000  4719.101", " 0.448956      6800     15000  4678.899",
    " 0.546714      5100     56000  4674.304", " 0.698392      6200     20000  4732.824",
    " 0.940129      5100     68000  4744.186", " 1.193565      7500     13000  4756.098",
    " 1.318366      5600     27000  4638.037", " 1.353965      5100     51000  4636.364",
    " 1.370168      9100     10000  4764.398", " 1.530422      6800     16000  4771.930",
    " 1.601721      5100     75000  4775.281", " 1.800327      7500     12000  4615.385",
    " 1.863080      5600     33000  4787.565"};
const QStringList k4700Used = {"   5100", "   5600", "   6200", "   6800", "   7500", "   8200",
                               "   9100", "  10000", "  11000", "  12000", "  13000", "  15000",
                               "  16000", "  20000", "  27000", "  30000", "  33000", "  51000",
                               "  56000", "  62000", "  68000", "  75000"};

const QString kResultsFor = QString::fromUtf8(" の結果");  // after the wanted value in NeedReg
const QString kHeading = QString::fromUtf8("誤差(%)　必要な抵抗１　抵抗２　できた抵抗値");

QString EditText(TForm1* form) {
  return static_cast<QLineEdit*>(form->Edit1->Handle())->text();
}

// What the engine lists for a value, with its present exclusions: {results, values used}.
QList<QStringList> Expected(double target) {
  TStringList a(true), u(true);
  engine::CalcSub(target, a, u);
  QList<QStringList> lists(2);
  for (int i = 0; i < a.Count(); ++i) lists[0] << QString::fromLatin1(a.Get(i).c_str());
  for (int i = 0; i < u.Count(); ++i) lists[1] << QString::fromLatin1(u.Get(i).c_str());
  return lists;
}

// The leftmost column inside rect (past its first pixels, where a frame may be) holding a dark
// pixel.
int FirstInk(const QImage& image, const QRect& rect) {
  for (int x = rect.left() + 3; x <= rect.right(); ++x) {
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
      if (qGray(image.pixel(x, y)) < 128) return x;
    }
  }
  return -1;
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private:
  TForm1* form = nullptr;

  void Accept4700() {
    Type(form, QStringLiteral("4700"));
    QCOMPARE(Shown()[0], "4700" + kResultsFor);
    QCOMPARE(Lines(form->ListAns), k4700Results);
    QCOMPARE(Lines(form->ListUse), k4700Used);
  }
  // Everything the window shows that an entry or a move could change.
  QStringList Shown() const {
    return {static_cast<QLabel*>(form->NeedReg->Handle())->text(), Lines(form->ListAns).join('|'),
            Lines(form->ListUse).join('|'), Lines(form->ListNone).join('|')};
  }

 private slots:
  void init() { form = driver::OpenWindow(); }
  void cleanup() { QCOMPARE(driver::CloseWindow(form), QStringList()); }  // no box unanswered

  // ---- Layout -----------------------------------------------------------------------------------

  void startUp() {
    QWidget* w = form->Handle();
    // Fixed size: the frame cannot resize it.
    QCOMPARE(w->minimumSize(), QSize(314, 292));
    QCOMPARE(w->maximumSize(), QSize(314, 292));
    const QPoint offCentre = w->geometry().center() - w->screen()->availableGeometry().center();
    QVERIFY(offCentre.manhattanLength() <= 2);
    QCOMPARE(w->windowIcon().pixmap(32, 32).size(), QSize(32, 32));
    QCOMPARE(QApplication::focusWidget(), form->ListAns->Handle());
    // Right after start, typed digits go to the result list, not to Edit1.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("4700"));
    QCOMPARE(Shown(), QStringList({"", "", "", ""}));
    for (const char* next : {"Edit1", "ListUse", "ListNone", "Button1", "Button2", "ListAns"}) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(next));
    }
    Type(form, QStringLiteral("12345678"));
    QCOMPARE(EditText(form), QStringLiteral("1234567"));
  }

  void controls_data() {
    QTest::addColumn<QRect>("geometry");  // -1: a label sizes itself to its caption
    QTest::addColumn<QString>("text");    // a button's caption, else the accessible name
    QTest::addColumn<QString>("hint");    // tooltip and accessible description
    const auto u = [](const char* s) { return QString::fromUtf8(s); };
    QTest::newRow("ListAns") << QRect(0, 160, 313, 129) << kHeading << "";
    QTest::newRow("Edit1") << QRect(8, 16, 73, 20) << u("欲しい抵抗値")
                           << u("100Ω以上の欲しい抵抗値（整数）を入力");
    QTest::newRow("ListUse") << QRect(104, 16, 81, 113) << u("必要な抵抗") << "";
    QTest::newRow("ListNone") << QRect(224, 16, 81, 113) << u("持っていない抵抗") << "";
    QTest::newRow("Button1") << QRect(192, 40, 25, 25) << "->" << u("持っていない抵抗に移す");
    QTest::newRow("Button2") << QRect(192, 80, 25, 25) << "<-" << u("必要な抵抗に移す");
    // A label's caption is the accessible name of the control it names, checked above.
    QTest::newRow("Label1") << QRect(8, 0, -1, -1) << QString() << QString();
    QTest::newRow("Label2") << QRect(112, 0, -1, -1) << QString() << QString();
    QTest::newRow("Label3") << QRect(216, 0, -1, -1) << QString() << QString();
    QTest::newRow("Label4") << QRect(8, 144, 258, -1) << QString() << QString();
    QTest::newRow("NeedReg") << QRect(8, 120, 4, -1) << QString() << QString();
  }
  void controls() {
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(QString, hint);
    auto* w = form->Handle()->findChild<QWidget*>(QTest::currentDataTag());
    QVERIFY(w != nullptr);
    QCOMPARE(QRect(w->pos(), QSize(geometry.width() < 0 ? -1 : w->width(),
                                   geometry.height() < 0 ? -1 : w->height())),
             geometry);
    // The results, the lists and the heading are in the list font, the rest in the window's.
    const bool listFont = qobject_cast<QListView*>(w) != nullptr || w == form->Label4->Handle();
    QCOMPARE(QFontInfo(w->font()).family(), listFont ? "IPAGothic" : "IPAPGothic");
    if (listFont) QCOMPARE(QFontInfo(w->font()).pixelSize(), 12);
    if (auto* label = qobject_cast<QLabel*>(w)) {
      QCOMPARE(label->focusPolicy(), Qt::NoFocus);
      if (!label->text().isEmpty()) {
        QCOMPARE(w->width(), QFontMetrics(w->font()).horizontalAdvance(label->text()));
      }
    } else {
      auto* button = qobject_cast<QPushButton*>(w);
      QCOMPARE(button != nullptr ? button->text() : w->accessibleName(), text);
    }
    QCOMPARE(w->toolTip(), hint);
    QCOMPARE(w->accessibleDescription(), hint);
  }

  // In the list font, which the heading shares (see controls).
  void columns() {
    Accept4700();
    const QFontMetrics fm(form->ListAns->Handle()->font());
    // Heading characters up to a word's edge, and the result columns that must end there: the
    // error, resistor 1's word from column 9 to 20, resistor 2's end, the resulting value.
    for (auto [chars, columns] : {std::pair{0, 0}, {6, 9}, {12, 21}, {16, 29}, {17, 31}}) {
      for (const QString& line : k4700Results) {
        QCOMPARE(fm.horizontalAdvance(line.left(columns)),
                 fm.horizontalAdvance(kHeading.left(chars)));
      }
    }
    // On screen, a line is drawn where the same text drawn from the heading's left edge would be.
    QListView* view = driver::View(form->ListAns);
    const QRect cell = view->visualRect(view->model()->index(2, 0));
    const QRect row(view->viewport()->mapTo(form->Handle(), cell.topLeft()), cell.size());
    const QImage shot = form->Handle()->grab().toImage();
    QImage reference(shot.size(), QImage::Format_RGB32);
    reference.fill(Qt::white);
    QPainter painter(&reference);
    painter.setFont(form->ListAns->Handle()->font());
    painter.drawText(QRect(form->Label4->Handle()->x(), row.top(), 300, row.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, k4700Results[2]);
    painter.end();
    QCOMPARE(FirstInk(shot, row), FirstInk(reference, row));
  }

  // ---- Wanted-value entry -----------------------------------------------------------------------

  void typing4700() {
    Accept4700();  // the caption and every line of both lists
    QVERIFY(form->NeedReg->Handle()->width() > 4);
    for (QListView* view : {driver::View(form->ListAns), driver::View(form->ListUse)}) {
      QCOMPARE(view->visualRect(view->model()->index(1, 0)).height(), 12);
    }
  }

  // Key by key, then deleting back to nothing: only the texts that are accepted search.
  void keyByKeyAndBack() {
    const QList<QStringList> for470 = Expected(470);
    const QStringList shows470 = {"470" + kResultsFor, for470[0].join('|'), for470[1].join('|'),
                                  ""};
    Type(form, QStringLiteral("47"));
    QCOMPARE(Shown(), QStringList({"", "", "", ""}));
    Type(form, QStringLiteral("0"));
    QCOMPARE(Shown(), shows470);
    Type(form, QStringLiteral("0"));
    QCOMPARE(Lines(form->ListAns), k4700Results);
    for (const char* left : {"470", "47", "4", ""}) {
      QTest::keyClick(form->Edit1->Handle(), Qt::Key_Backspace);
      QCOMPARE(EditText(form), QString::fromLatin1(left));
      QCOMPARE(Shown(), shows470);  // searched again at "470", left standing after
    }
    // With Edit1 empty, values move (into text order) but nothing is searched.
    for (int row : {1, 0}) {
      ClickLine(form->ListUse, row);
      Click(form->Button1);
    }
    QCOMPARE(Lines(form->ListNone), for470[1].mid(0, 2));
    ClickLine(form->ListNone, 1);
    Click(form->Button2);
    QCOMPARE(Shown(),
             QStringList({shows470[0], shows470[1], for470[1].mid(1).join('|'), for470[1][0]}));
  }

  void entry_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    // Which texts are accepted is the engine's to test; here, that the window follows it.
    for (const char* refused : {"abc", "0100", "4700.5", "1000000", "100", " 4700"}) {
      QTest::newRow(refused) << QString::fromLatin1(refused) << false;
    }
    for (const char* accepted : {"101", "0101", "470", "999999"}) {
      QTest::newRow(accepted) << QString::fromLatin1(accepted) << true;
    }
    // Hostile text: never a crash, never a changed list.
    const auto u = [](const char* s) { return QString::fromUtf8(s); };
    QTest::newRow("full-width digits") << u("４７００") << false;
    QTest::newRow("emoji") << u("47😀00") << false;
    QTest::newRow("binary") << QString::fromLatin1("4\0\x01\x7f\xff\x37\x30\x30", 8) << false;
    QTest::newRow("lone surrogate") << u("47") + QChar(0xD800) + u("00") << false;
    QTest::newRow("mixed scripts") << u("४७००Ωab") << false;
    QTest::newRow("superscripts") << u("4²³¹0") << false;
    QTest::newRow("long mixed") << u("抵抗").repeated(5000) << false;
  }
  // Pasted over the results for 4700 with 5100 left out.
  void entry() {
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    Accept4700();
    ClickLine(form->ListUse, 0);
    Click(form->Button1);
    const QStringList before = Shown();
    QCOMPARE(before[3], QStringLiteral("   5100"));
    Paste(form, text);
    QCOMPARE(EditText(form), text.left(7));
    if (!accepted) {
      QCOMPARE(Shown(), before);
      return;
    }
    QCOMPARE(engine::NoneCount, 0);  // so the expected lists below are found without exclusions
    const QList<QStringList> expected = Expected(text.toDouble());
    QCOMPARE(Shown(), QStringList({text + kResultsFor, expected[0].join('|'), expected[1].join('|'),
                                   ""}));  // ListNone emptied
  }

  // ---- Moving values ----------------------------------------------------------------------------

  void moves_data() {
    QTest::addColumn<int>("modifier");  // for the click on the last of moved
    QTest::addColumn<QStringList>("moved");
    QTest::newRow("ctrl-click") << int(Qt::ControlModifier) << QStringList({"   5100", "   6200"});
    QTest::newRow("shift-click") << int(Qt::ShiftModifier)
                                 << QStringList({"   5600", "   6200", "   6800", "   7500"});
  }
  void moves() {
    QFETCH(int, modifier);
    QFETCH(QStringList, moved);
    Accept4700();
    const QStringList before = Shown();
    Click(form->Button1);  // nothing selected: nothing moves
    Click(form->Button2);
    QCOMPARE(Shown(), before);

    ClickLine(form->ListUse, int(k4700Used.indexOf(moved.first())));
    ClickLine(form->ListUse, int(k4700Used.indexOf(moved.last())), Qt::KeyboardModifiers(modifier));
    Click(form->Button1);
    QCOMPARE(Lines(form->ListNone), moved);
    QVERIFY(!Lines(form->ListAns).isEmpty());
    // The search ran again without them: neither list names them now.
    for (const QString& line : Lines(form->ListAns) + Lines(form->ListUse)) {
      const QStringList words = line.split(' ', Qt::SkipEmptyParts);
      for (const QString& value : moved)
        QVERIFY2(!words.contains(value.trimmed()), qPrintable(line));
    }
    // The first back alone: the search is free to use it again, and does.
    ClickLine(form->ListNone, 0);
    Click(form->Button2);
    QCOMPARE(Lines(form->ListNone), moved.mid(1));
    QVERIFY(Lines(form->ListUse).contains(moved[0]));
    // The rest back at once: no exclusions are left.
    ClickLine(form->ListNone, 0);
    ClickLine(form->ListNone, int(moved.size()) - 2, Qt::ShiftModifier);
    Click(form->Button2);
    QCOMPARE(Shown(), before);
  }

  // ---- The error box ----------------------------------------------------------------------------

  void movingWithLettersInEdit1() {
    Accept4700();
    Paste(form, QStringLiteral("abc"));
    ClickLine(form->ListUse, 0);
    QStringList box = driver::AnswerBox([&] { Click(form->Button1); });
    QCOMPARE(box, QStringList({"OhmSift", box.value(1)}));  // titled as the window
    QVERIFY2(box[1].contains("abc"), qPrintable(box[1]));
    QCOMPARE(Shown(), QStringList({"4700" + kResultsFor, "", "", "   5100"}));
    // The window carries on.
    Paste(form, QStringLiteral("4700"));
    QCOMPARE(Lines(form->ListAns), k4700Results);
    // A fraction is refused as the wanted value, but read when a move searches again.
    Paste(form, QStringLiteral("4700.5"));
    ClickLine(form->ListUse, 0);
    box = driver::AnswerBox([&] { Click(form->Button1); });
    QCOMPARE(box, QStringList());
    QCOMPARE(Lines(form->ListAns), Expected(4700.5)[0]);  // 5100 is left out there too
  }

  void exclusionTableIsNeverOverrun() {
    Accept4700();
    // More lines than the table holds can only be put there by code, never through the window.
    for (int v = 1; v <= 201; ++v) form->ListNone->Items->Add(AnsiString(std::to_string(v)));
    engine::NoneTable[engine::kNoneCapacity - 1] = -1.0;
    ClickLine(form->ListUse, 0);
    const QStringList box = driver::AnswerBox([&] { Click(form->Button1); });
    QVERIFY2(box.size() == 2 && box[1].contains(QStringLiteral("200")), qPrintable(box.join('|')));
    QCOMPARE(engine::NoneTable[engine::kNoneCapacity - 1], -1.0);
    QVERIFY(engine::NoneCount <= engine::kNoneCapacity);
    QVERIFY(Lines(form->ListAns).isEmpty());
  }
};

QTEST_MAIN(WindowTest)
#include "test_window.moc"
