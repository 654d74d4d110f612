// The main window driven through real key presses and mouse clicks: layout, wanted-value entry,
// moving values between the lists, the error box, and hostile text in Edit1.
#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>
#include <functional>

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

const QString kHeading = QString::fromUtf8("誤差(%)　必要な抵抗１　抵抗２　できた抵抗値");

QString Caption(TLabel* label) {
  return static_cast<QLabel*>(label->Handle())->text();
}
QString EditText(TForm1* form) {
  return static_cast<QLineEdit*>(form->Edit1->Handle())->text();
}

// What the engine lists for a value, as the window should show it.
void Expected(double target, QStringList& ans, QStringList& use) {
  TStringList a(true), u(true);
  engine::CalcSub(target, a, u);
  ans.clear();
  use.clear();
  for (int i = 0; i < a.Count(); ++i) ans << QString::fromLatin1(a.Get(i).c_str());
  for (int i = 0; i < u.Count(); ++i) use << QString::fromLatin1(u.Get(i).c_str());
}

// Whether a result line uses a resistor value (either resistor column).
bool UsesValue(const QString& line, int value) {
  return line.mid(11, 8).trimmed().toInt() == value || line.mid(21, 8).trimmed().toInt() == value;
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

int SelectedCount(TListBox* list) {
  int n = 0;
  for (int i = 0; i < list->Items->Count(); ++i) n += list->GetSelected(i) ? 1 : 0;
  return n;
}

bool expectingBox = false;

// Runs action and answers the error box it opens: records its title and text, presses OK.
struct ErrorBox {
  QString title, text;
  int seen = 0;

  void During(const std::function<void()>& action) {
    expectingBox = true;
    int polls = 0;
    std::function<void()> poll = [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        ++seen;
        title = box->windowTitle();
        text = box->text();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
      } else if (++polls < 200) {
        QTimer::singleShot(5, poll);
      }
    };
    QTimer::singleShot(0, poll);
    action();
    QTest::qWait(20);
    expectingBox = false;
  }
};

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private:
  TForm1* form = nullptr;
  QTimer boxWatch;
  QStringList unexpectedBoxes;

  void Accept4700() {
    Type(form, QStringLiteral("4700"));
    QCOMPARE(Lines(form->ListAns), k4700Results);
    QCOMPARE(Lines(form->ListUse), k4700Used);
  }

 private slots:
  void init() {
    form = driver::OpenWindow();
    unexpectedBoxes.clear();
    // An error box nobody expects would wait for a click for ever: close it and fail the case.
    QObject::connect(&boxWatch, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || expectingBox) return;
      unexpectedBoxes << box->text();
      box->reject();
    });
    boxWatch.start(20);
  }
  void cleanup() {
    boxWatch.stop();
    boxWatch.disconnect();
    driver::CloseWindow(form);
    form = nullptr;
    QVERIFY2(unexpectedBoxes.isEmpty(), qPrintable(unexpectedBoxes.join('|')));
  }

  // ---- Layout -----------------------------------------------------------------------------------

  void window() {
    QWidget* w = form->Handle();
    QCOMPARE(w->objectName(), QStringLiteral("Form1"));
    QCOMPARE(w->windowTitle(), QStringLiteral("OhmSift"));
    QCOMPARE(w->size(), QSize(314, 292));
    // Fixed size: the frame cannot resize it.
    QCOMPARE(w->minimumSize(), QSize(314, 292));
    QCOMPARE(w->maximumSize(), QSize(314, 292));
    // Centred on its screen.
    const QRect screen = w->screen()->availableGeometry();
    QVERIFY(qAbs(w->geometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(w->geometry().center().y() - screen.center().y()) <= 1);
    QVERIFY(!w->windowIcon().isNull());
    QCOMPARE(w->windowIcon().pixmap(32, 32).size(), QSize(32, 32));
    QCOMPARE(Caption(form->NeedReg), QString());
    QCOMPARE(form->ListAns->Items->Count() + form->ListUse->Items->Count() +
                 form->ListNone->Items->Count(),
             0);
  }

  void controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hint");
    QTest::newRow("ListAns") << "ListAns" << QRect(0, 160, 313, 129) << ""
                             << "";
    QTest::newRow("Edit1") << "Edit1" << QRect(8, 16, 73, 20) << ""
                           << QString::fromUtf8("100Ω以上の欲しい抵抗値（整数）を入力");
    QTest::newRow("ListUse") << "ListUse" << QRect(104, 16, 81, 113) << ""
                             << "";
    QTest::newRow("ListNone") << "ListNone" << QRect(224, 16, 81, 113) << ""
                              << "";
    QTest::newRow("Button1") << "Button1" << QRect(192, 40, 25, 25) << "->"
                             << QString::fromUtf8("持っていない抵抗に移す");
    QTest::newRow("Button2") << "Button2" << QRect(192, 80, 25, 25) << "<-"
                             << QString::fromUtf8("必要な抵抗に移す");
    // Labels size themselves to their captions; their place is fixed.
    QTest::newRow("Label1") << "Label1" << QRect(8, 0, -1, -1) << QString::fromUtf8("欲しい抵抗値")
                            << "";
    QTest::newRow("Label2") << "Label2" << QRect(112, 0, -1, -1) << QString::fromUtf8("必要な抵抗")
                            << "";
    QTest::newRow("Label3") << "Label3" << QRect(216, 0, -1, -1)
                            << QString::fromUtf8("持っていない抵抗") << "";
    QTest::newRow("Label4") << "Label4" << QRect(8, 144, 258, -1) << kHeading << "";
    QTest::newRow("NeedReg") << "NeedReg" << QRect(8, 120, 4, -1) << ""
                             << "";
  }
  void controls() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(QString, hint);
    auto* w = form->Handle()->findChild<QWidget*>(name);
    QVERIFY(w != nullptr);
    QCOMPARE(w->pos(), geometry.topLeft());
    if (geometry.width() >= 0) QCOMPARE(w->width(), geometry.width());
    if (geometry.height() >= 0) QCOMPARE(w->height(), geometry.height());
    if (auto* label = qobject_cast<QLabel*>(w)) QCOMPARE(label->text(), text);
    if (auto* button = qobject_cast<QPushButton*>(w)) QCOMPARE(button->text(), text);
    QCOMPARE(w->toolTip(), hint);
    // Labels fit their captions.
    if (auto* label = qobject_cast<QLabel*>(w); label != nullptr && !text.isEmpty()) {
      QCOMPARE(w->width(), QFontMetrics(w->font()).horizontalAdvance(text));
    }
  }

  void listsAreSortedWithTwelvePixelLines() {
    QVERIFY(form->ListAns->Sorted && form->ListUse->Sorted && form->ListNone->Sorted);
    QCOMPARE(driver::View(form->ListAns)->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(driver::View(form->ListUse)->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(driver::View(form->ListNone)->selectionMode(), QAbstractItemView::ExtendedSelection);
    Accept4700();
    for (TListBox* list : {form->ListAns, form->ListUse}) {
      QListView* view = driver::View(list);
      for (int row = 0; row < 3; ++row) {
        QCOMPARE(view->visualRect(view->model()->index(row, 0)).height(), 12);
      }
    }
    // Lines added out of order are kept in text order.
    form->ListNone->Items->Add("  75000");
    form->ListNone->Items->Add("    470");
    form->ListNone->Items->Add("   5100");
    QCOMPARE(Lines(form->ListNone), QStringList({"    470", "   5100", "  75000"}));
  }

  void focusAndTabOrder() {
    QCOMPARE(QApplication::focusWidget(), form->ListAns->Handle());
    // Right after start, typed digits go to the result list, not to Edit1.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("4700"));
    QCOMPARE(EditText(form), QString());
    QCOMPARE(Caption(form->NeedReg), QString());
    const QList<TControl*> order = {form->Edit1,   form->ListUse, form->ListNone,
                                    form->Button1, form->Button2, form->ListAns};
    for (TControl* next : order) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), next->Handle());
    }
    for (TLabel* label : {form->Label1, form->Label2, form->Label3, form->Label4, form->NeedReg}) {
      QCOMPARE(label->Handle()->focusPolicy(), Qt::NoFocus);
    }
  }

  void maxLength() {
    Type(form, QStringLiteral("12345678"));
    QCOMPARE(EditText(form), QStringLiteral("1234567"));
  }

  void accessibleNames() {
    QCOMPARE(form->Edit1->Handle()->accessibleName(), QString::fromUtf8("欲しい抵抗値"));
    QCOMPARE(form->ListUse->Handle()->accessibleName(), QString::fromUtf8("必要な抵抗"));
    QCOMPARE(form->ListNone->Handle()->accessibleName(), QString::fromUtf8("持っていない抵抗"));
    QCOMPARE(form->ListAns->Handle()->accessibleName(), kHeading);
    QCOMPARE(form->Button1->Handle()->accessibleDescription(),
             QString::fromUtf8("持っていない抵抗に移す"));
    QCOMPARE(form->Button2->Handle()->accessibleDescription(),
             QString::fromUtf8("必要な抵抗に移す"));
  }

  // ---- Fonts and columns ------------------------------------------------------------------------

  void fonts() {
    QCOMPARE(QFontInfo(form->Label1->Handle()->font()).family(), QStringLiteral("IPAPGothic"));
    QCOMPARE(QFontInfo(form->Edit1->Handle()->font()).family(), QStringLiteral("IPAPGothic"));
    for (TControl* c :
         {static_cast<TControl*>(form->ListAns), static_cast<TControl*>(form->ListUse),
          static_cast<TControl*>(form->ListNone), static_cast<TControl*>(form->Label4)}) {
      QCOMPARE(QFontInfo(c->Handle()->font()).family(), QStringLiteral("IPAGothic"));
      QCOMPARE(QFontInfo(c->Handle()->font()).pixelSize(), 12);
    }
  }

  void listFontIsFixedPitch() {
    const QFontMetrics fm(form->ListAns->Handle()->font());
    for (QChar c : QStringLiteral(" 0123456789.%()")) QCOMPARE(fm.horizontalAdvance(c), 6);
    for (QChar c : kHeading) {
      if (c.unicode() >= 0x3000) QCOMPARE(fm.horizontalAdvance(c), 12);
    }
    QCOMPARE(fm.horizontalAdvance(kHeading), 258);
  }

  void columns_data() {
    QTest::addColumn<int>("headingChars");  // the heading up to a word's edge
    QTest::addColumn<int>("lineColumns");   // the result line up to the field's edge
    QTest::newRow("error starts") << 0 << 0;
    QTest::newRow("first resistor word starts at column 9") << 6 << 9;
    QTest::newRow("first resistor word ends at column 20") << 12 << 21;
    QTest::newRow("second resistor ends with its word") << 16 << 29;
    QTest::newRow("resulting value starts with its word") << 17 << 31;
  }
  void columns() {
    QFETCH(int, headingChars);
    QFETCH(int, lineColumns);
    Accept4700();
    const QFontMetrics fm(form->ListAns->Handle()->font());
    QCOMPARE(
        QFontMetrics(form->Label4->Handle()->font()).horizontalAdvance(kHeading.left(headingChars)),
        fm.horizontalAdvance(kHeading.left(headingChars)));
    for (const QString& line : Lines(form->ListAns)) {
      QCOMPARE(fm.horizontalAdvance(line.left(lineColumns)),
               fm.horizontalAdvance(kHeading.left(headingChars)));
    }
    // On screen, a line is drawn where the same text drawn from the heading's left edge would be.
    QListView* view = driver::View(form->ListAns);
    const QModelIndex index = view->model()->index(2, 0);
    const QRect row(view->viewport()->mapTo(form->Handle(), view->visualRect(index).topLeft()),
                    view->visualRect(index).size());
    const QImage shot = form->Handle()->grab().toImage();
    QImage reference(shot.size(), QImage::Format_RGB32);
    reference.fill(Qt::white);
    {
      QPainter painter(&reference);
      painter.setFont(form->ListAns->Handle()->font());
      painter.setPen(Qt::black);
      painter.drawText(QRect(form->Label4->Handle()->x(), row.top(), 300, row.height()),
                       Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                       Lines(form->ListAns)[2]);
    }
    QCOMPARE(FirstInk(shot, row), FirstInk(reference, row));
  }

  // ---- Wanted-value entry -----------------------------------------------------------------------

  void typing4700() {
    Accept4700();
    QCOMPARE(Caption(form->NeedReg), QString::fromUtf8("4700 の結果"));
    QCOMPARE(form->NeedReg->GetText(), AnsiString("4700 \x82\xcc\x8c\x8b\x89\xca"));
    QVERIFY(form->NeedReg->Handle()->width() > 4);
  }

  void keyByKey() {
    QStringList ans470, use470;
    Expected(470, ans470, use470);
    QVERIFY(!ans470.isEmpty());
    Type(form, QStringLiteral("4"));
    QCOMPARE(Caption(form->NeedReg), QString());
    QVERIFY(Lines(form->ListAns).isEmpty());
    Type(form, QStringLiteral("7"));
    QVERIFY(Lines(form->ListAns).isEmpty());
    Type(form, QStringLiteral("0"));
    QCOMPARE(Caption(form->NeedReg), QString::fromUtf8("470 の結果"));
    QCOMPARE(Lines(form->ListAns), ans470);
    QCOMPARE(Lines(form->ListUse), use470);
    Type(form, QStringLiteral("0"));
    QCOMPARE(Lines(form->ListAns), k4700Results);
    // Deleting back: "470" searches again, "47" leaves the results for 470 standing.
    QTest::keyClick(form->Edit1->Handle(), Qt::Key_Backspace);
    QCOMPARE(Caption(form->NeedReg), QString::fromUtf8("470 の結果"));
    QCOMPARE(Lines(form->ListAns), ans470);
    QTest::keyClick(form->Edit1->Handle(), Qt::Key_Backspace);
    QCOMPARE(EditText(form), QStringLiteral("47"));
    QCOMPARE(Caption(form->NeedReg), QString::fromUtf8("470 の結果"));
    QCOMPARE(Lines(form->ListAns), ans470);
    QCOMPARE(Lines(form->ListUse), use470);
  }

  void entry_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<double>("value");
    for (const char* refused : {"abc", "12a", "4700.5", " 4700", "-4700", "+4700", "1e5", "100",
                                "0100", "0000000", "1000000", "9999999", "47 00"}) {
      QTest::newRow(refused) << QString::fromLatin1(refused) << false << 0.0;
    }
    QTest::newRow("full-width digits") << QString::fromUtf8("４７００") << false << 0.0;
    QTest::newRow("full-width and ASCII") << QString::fromUtf8("4７00") << false << 0.0;
    QTest::newRow("101") << "101" << true << 101.0;
    QTest::newRow("0101") << "0101" << true << 101.0;
    QTest::newRow("470") << "470" << true << 470.0;
    QTest::newRow("60090") << "60090" << true << 60090.0;
    QTest::newRow("478947") << "478947" << true << 478947.0;
    QTest::newRow("999999, no pair") << "999999" << true << 999999.0;
  }
  void entry() {
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(double, value);
    Accept4700();
    ClickLine(form->ListUse, 0);
    Click(form->Button1);
    QCOMPARE(Lines(form->ListNone), QStringList({"   5100"}));
    const QStringList ans = Lines(form->ListAns), use = Lines(form->ListUse);

    Paste(form, text);
    QCOMPARE(EditText(form), text);
    if (!accepted) {
      QCOMPARE(Caption(form->NeedReg), QString::fromUtf8("4700 の結果"));
      QCOMPARE(Lines(form->ListAns), ans);
      QCOMPARE(Lines(form->ListUse), use);
      QCOMPARE(Lines(form->ListNone), QStringList({"   5100"}));
      return;
    }
    QCOMPARE(Caption(form->NeedReg), text + QString::fromUtf8(" の結果"));
    QVERIFY(Lines(form->ListNone).isEmpty());  // a new value forgets the exclusions
    QCOMPARE(engine::NoneCount, 0);
    QStringList expectedAns, expectedUse;
    Expected(value, expectedAns, expectedUse);
    QCOMPARE(Lines(form->ListAns), expectedAns);
    QCOMPARE(Lines(form->ListUse), expectedUse);
    if (value == 101.0) {
      QCOMPARE(Lines(form->ListAns).value(0),
               QStringLiteral(" 0.234298       110      1200   100.763"));
    }
    if (value == 999999.0) QVERIFY(expectedAns.isEmpty());
  }

  void emptyingEdit1ChangesNothing() {
    Accept4700();
    for (int i = 0; i < 4; ++i) QTest::keyClick(form->Edit1->Handle(), Qt::Key_Backspace);
    QCOMPARE(EditText(form), QString());
    QStringList ans470, use470;
    Expected(470, ans470, use470);
    QCOMPARE(Lines(form->ListAns), ans470);  // "470" on the way back was searched
    QCOMPARE(Caption(form->NeedReg), QString::fromUtf8("470 の結果"));
  }

  // ---- Moving values ----------------------------------------------------------------------------

  void moveWithCtrlClick() {
    Accept4700();
    ClickLine(form->ListUse, 0);                       // "   5100"
    ClickLine(form->ListUse, 2, Qt::ControlModifier);  // "   6200"
    QCOMPARE(SelectedCount(form->ListUse), 2);
    Click(form->Button1);
    QCOMPARE(Lines(form->ListNone), QStringList({"   5100", "   6200"}));
    QCOMPARE(engine::NoneCount, 2);
    QCOMPARE(engine::NoneTable[0], 5100.0);
    QCOMPARE(engine::NoneTable[1], 6200.0);
    QCOMPARE(SelectedCount(form->ListUse), 0);
    QCOMPARE(SelectedCount(form->ListNone), 0);
    QVERIFY(!Lines(form->ListAns).isEmpty());
    for (const QString& line : Lines(form->ListAns)) {
      QVERIFY2(!UsesValue(line, 5100) && !UsesValue(line, 6200), qPrintable(line));
    }
    QVERIFY(!Lines(form->ListUse).contains("   5100"));
    QVERIFY(!Lines(form->ListUse).contains("   6200"));
    QCOMPARE(Caption(form->NeedReg), QString::fromUtf8("4700 の結果"));

    // Back again: 5100 is free for the search, which uses it at once.
    ClickLine(form->ListNone, 0);
    Click(form->Button2);
    QCOMPARE(Lines(form->ListNone), QStringList({"   6200"}));
    QCOMPARE(engine::NoneCount, 1);
    QVERIFY(Lines(form->ListUse).contains("   5100"));
    QVERIFY(Lines(form->ListAns).contains(" 0.263183      5100     62000  4712.370"));

    // A new accepted value empties ListNone and uses every value again.
    Paste(form, QStringLiteral("4700"));
    QVERIFY(Lines(form->ListNone).isEmpty());
    QCOMPARE(Lines(form->ListAns), k4700Results);
  }

  void moveWithShiftClick() {
    Accept4700();
    ClickLine(form->ListUse, 1);
    ClickLine(form->ListUse, 4, Qt::ShiftModifier);
    QCOMPARE(SelectedCount(form->ListUse), 4);
    Click(form->Button1);
    QCOMPARE(Lines(form->ListNone), QStringList({"   5600", "   6200", "   6800", "   7500"}));
    for (const QString& line : Lines(form->ListAns)) {
      for (int v : {5600, 6200, 6800, 7500}) QVERIFY2(!UsesValue(line, v), qPrintable(line));
    }
    // All four back at once: no exclusions are left.
    ClickLine(form->ListNone, 0);
    ClickLine(form->ListNone, 3, Qt::ShiftModifier);
    Click(form->Button2);
    QVERIFY(Lines(form->ListNone).isEmpty());
    QCOMPARE(engine::NoneCount, 0);
    QCOMPARE(Lines(form->ListAns), k4700Results);
    QCOMPARE(Lines(form->ListUse), k4700Used);
  }

  void nothingSelectedMovesNothing() {
    Accept4700();
    Click(form->Button1);
    Click(form->Button2);
    QCOMPARE(Lines(form->ListAns), k4700Results);
    QCOMPARE(Lines(form->ListUse), k4700Used);
    QVERIFY(Lines(form->ListNone).isEmpty());
    QCOMPARE(engine::NoneCount, 0);
  }

  void movingEverythingLeavesNoPair() {
    Accept4700();
    int rounds = 0;
    while (form->ListUse->Items->Count() > 0 && rounds++ < 40) {
      ClickLine(form->ListUse, 0);
      ClickLine(form->ListUse, form->ListUse->Items->Count() - 1, Qt::ShiftModifier);
      Click(form->Button1);
    }
    QVERIFY(Lines(form->ListUse).isEmpty());
    QVERIFY(Lines(form->ListAns).isEmpty());
    QVERIFY(form->ListNone->Items->Count() <= 95);
    QCOMPARE(engine::NoneCount, form->ListNone->Items->Count());
    // Moving one back brings results again only if some pair can use it.
    ClickLine(form->ListNone, 0);
    Click(form->Button2);
    QCOMPARE(engine::NoneCount, form->ListNone->Items->Count());
  }

  void movingWithEdit1EmptyDoesNotSearch() {
    Accept4700();
    for (int i = 0; i < 4; ++i) QTest::keyClick(form->Edit1->Handle(), Qt::Key_Backspace);
    const QStringList ans = Lines(form->ListAns);
    const QStringList use = Lines(form->ListUse);
    ClickLine(form->ListUse, 0);
    ClickLine(form->ListUse, 2, Qt::ShiftModifier);
    Click(form->Button1);
    QCOMPARE(Lines(form->ListNone), use.mid(0, 3));
    QCOMPARE(Lines(form->ListUse), use.mid(3));
    QCOMPARE(Lines(form->ListAns), ans);
    ClickLine(form->ListNone, 1);
    ClickLine(form->ListNone, 2, Qt::ControlModifier);
    Click(form->Button2);
    QCOMPARE(Lines(form->ListNone), use.mid(0, 1));
    QCOMPARE(Lines(form->ListUse), use.mid(1));
    QCOMPARE(Lines(form->ListAns), ans);
  }

  void unreadableEdit1ShowsErrorBox() {
    Accept4700();
    Paste(form, QStringLiteral("abc"));
    QCOMPARE(Lines(form->ListAns), k4700Results);
    ClickLine(form->ListUse, 0);
    ErrorBox box;
    box.During([&] { Click(form->Button1); });
    QCOMPARE(box.seen, 1);
    QCOMPARE(box.title, QStringLiteral("OhmSift"));
    QVERIFY2(box.text.contains(QStringLiteral("abc")), qPrintable(box.text));
    QVERIFY(Lines(form->ListAns).isEmpty());
    QVERIFY(Lines(form->ListUse).isEmpty());
    QCOMPARE(Lines(form->ListNone), QStringList({"   5100"}));
    // The window carries on.
    QVERIFY(form->Handle()->isVisible());
    Paste(form, QStringLiteral("4700"));
    QCOMPARE(Lines(form->ListAns), k4700Results);
  }

  void readableButRefusedEdit1Reruns() {
    Accept4700();
    Paste(form, QStringLiteral("4700.5"));
    ClickLine(form->ListUse, 0);
    Click(form->Button1);
    QStringList ans, use;
    Expected(4700.5, ans, use);  // NoneTable holds 5100 now, as in the window
    QCOMPARE(Lines(form->ListAns), ans);
    QCOMPARE(Caption(form->NeedReg), QString::fromUtf8("4700 の結果"));
  }

  void exclusionTableIsNeverOverrun() {
    Accept4700();
    // More lines than the table holds can only be put there by code, never through the window.
    for (int v = 1; v <= 201; ++v)
      form->ListNone->Items->Add(AnsiString(std::to_string(v).c_str()));
    engine::NoneTable[200 - 1] = -1.0;
    ClickLine(form->ListUse, 0);
    ErrorBox box;
    box.During([&] { Click(form->Button1); });
    QCOMPARE(box.seen, 1);
    QVERIFY2(box.text.contains(QStringLiteral("200")), qPrintable(box.text));
    QCOMPARE(engine::NoneTable[200 - 1], -1.0);
    QVERIFY(engine::NoneCount <= engine::kNoneCapacity);
    QVERIFY(Lines(form->ListAns).isEmpty());
  }

  // ---- Hostile text in Edit1 --------------------------------------------------------------------

  void hostileText_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("long digits") << QString(100000, QChar('1'));
    QTest::newRow("emoji") << QString::fromUtf8("47😀00");
    QTest::newRow("emoji first") << QString::fromUtf8("😀4700");
    QTest::newRow("binary") << QString::fromLatin1(
        "4\0\x01\x7f\xff"
        "700",
        9);
    QTest::newRow("lone surrogate")
        << (QStringLiteral("47") + QChar(0xD800) + QStringLiteral("00"));
    QTest::newRow("mixed scripts") << QString::fromUtf8("४७००Ωab");
    QTest::newRow("superscripts") << QString::fromUtf8("4²³¹0");
    QTest::newRow("long mixed") << QString::fromUtf8("抵抗").repeated(5000);
  }
  void hostileText() {
    QFETCH(QString, text);
    Accept4700();
    Paste(form, text);
    QVERIFY(EditText(form).size() <= 7);
    const AnsiString seen = form->Edit1->GetText();
    double value = 0.0;
    if (engine::AcceptWantedText(seen, value)) {
      QStringList ans, use;
      Expected(value, ans, use);
      QCOMPARE(Lines(form->ListAns), ans);
    } else {
      QCOMPARE(Lines(form->ListAns), k4700Results);
      QCOMPARE(Lines(form->ListUse), k4700Used);
      QCOMPARE(Caption(form->NeedReg), QString::fromUtf8("4700 の結果"));
    }
  }

  void longTextSetByCode() {
    Accept4700();
    form->Edit1->SetText(AnsiString(std::string(100000, '7')));
    QVERIFY(EditText(form).size() <= 7);
    QCOMPARE(Lines(form->ListAns), k4700Results);              // 7777777 is out of range
    form->Edit1->SetText(AnsiString("1\x82\x4f\x82\x50", 5));  // "1０１" in code page 932
    QCOMPARE(EditText(form), QString::fromUtf8("1０１"));
    QCOMPARE(Lines(form->ListAns), k4700Results);
    form->Edit1->SetText("470");
    QCOMPARE(Caption(form->NeedReg), QString::fromUtf8("470 の結果"));
  }
};

QTEST_MAIN(WindowTest)
#include "test_window.moc"
