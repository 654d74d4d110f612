// The class library's toolkit half on its own: the code-page boundary, list boxes as line lists,
// forms built from descriptions, and the error box for whatever a handler raises.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <stdexcept>

#include "WindowDriver.h"
#include "platform/Codepage.h"
#include "platform/Forms.h"
#include "platform/QtText.h"

namespace {

QByteArray Bytes(const AnsiString& s) {
  return QByteArray(s.c_str(), static_cast<qsizetype>(s.Length()));
}

// A small form whose buttons raise each kind of error, to see the dispatch catch them.
class TRaiseForm : public TForm {
 public:
  TRaiseForm();
  TButton* RaiseLibrary = nullptr;
  TButton* RaiseStandard = nullptr;
  TButton* RaiseOther = nullptr;
  TEdit* Edit = nullptr;
  int changes = 0;
  void LibraryClick(TObject*) { throw EConvertError("\x82\xa0 not a number"); }  // "あ ..."
  void StandardClick(TObject*) { throw std::runtime_error("standard failure"); }
  void OtherClick(TObject*) { throw 42; }
  void EditChange(TObject*) { ++changes; }
};

const TControlDescription kRaiseControls[] = {
    {TControlClass::Button,
     "RaiseLibrary",
     0,
     0,
     40,
     20,
     "a",
     "",
     false,
     true,
     true,
     {},
     0,
     0,
     false,
     false,
     13,
     nullptr,
     nullptr,
     "LibraryClick"},
    {TControlClass::Button,
     "RaiseStandard",
     0,
     30,
     40,
     20,
     "b",
     "",
     false,
     true,
     true,
     {},
     1,
     0,
     false,
     false,
     13,
     nullptr,
     nullptr,
     "StandardClick"},
    {TControlClass::Button,
     "RaiseOther",
     0,
     60,
     40,
     20,
     "c",
     "",
     false,
     true,
     true,
     {},
     2,
     0,
     false,
     false,
     13,
     nullptr,
     nullptr,
     "OtherClick"},
    {TControlClass::Edit,
     "Edit",
     50,
     0,
     40,
     20,
     "",
     "",
     false,
     true,
     true,
     {},
     3,
     3,
     false,
     false,
     13,
     nullptr,
     "EditChange",
     nullptr},
};
const TFormDescription kRaiseDescription{"RaiseForm", "Raise", bsSingle, poScreenCenter, 0,
                                         0,           100,     100,      clBtnFace,      {},
                                         nullptr,     96,      12,       kRaiseControls, 4};
const TPublishedMethod kRaiseMethods[] = {
    {"LibraryClick", PublishedMethod(&TRaiseForm::LibraryClick)},
    {"StandardClick", PublishedMethod(&TRaiseForm::StandardClick)},
    {"OtherClick", PublishedMethod(&TRaiseForm::OtherClick)},
    {"EditChange", PublishedMethod(&TRaiseForm::EditChange)},
};
const TPublishedField kRaiseFields[] = {
    {"RaiseLibrary", &BindPublishedField<TRaiseForm, TButton, &TRaiseForm::RaiseLibrary>},
    {"RaiseStandard", &BindPublishedField<TRaiseForm, TButton, &TRaiseForm::RaiseStandard>},
    {"RaiseOther", &BindPublishedField<TRaiseForm, TButton, &TRaiseForm::RaiseOther>},
    {"Edit", &BindPublishedField<TRaiseForm, TEdit, &TRaiseForm::Edit>},
};
const TPublishedTable kRaisePublished{kRaiseMethods, 4, kRaiseFields, 4};
TRaiseForm::TRaiseForm() : TForm(kRaiseDescription, kRaisePublished) {}

// A description naming a handler its form does not publish.
class TBrokenForm : public TForm {
 public:
  TBrokenForm();
};
const TControlDescription kBrokenControls[] = {
    {TControlClass::Button,
     "Button",
     0,
     0,
     40,
     20,
     "x",
     "",
     false,
     true,
     true,
     {},
     0,
     0,
     false,
     false,
     13,
     nullptr,
     nullptr,
     "Missing"},
};
const TFormDescription kBrokenDescription{
    "BrokenForm", "Broken", bsSingle, poDesigned,      0, 0, 50, 50, clBtnFace, {},
    nullptr,      96,       12,       kBrokenControls, 1};
const TPublishedTable kBrokenPublished{nullptr, 0, nullptr, 0};
TBrokenForm::TBrokenForm() : TForm(kBrokenDescription, kBrokenPublished) {}

}  // namespace

class TextTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { Application->Initialize(); }

  // ---- Code page 932 ----------------------------------------------------------------------------

  void toCodePage_data() {
    QTest::addColumn<QString>("unicode");
    QTest::addColumn<QByteArray>("cp932");
    QTest::newRow("ascii") << "4700" << QByteArray("4700");
    QTest::newRow("kanji") << QString::fromUtf8("欲しい抵抗値")
                           << QByteArray("\x97~\x82\xb5\x82\xa2\x92\xef\x8dR\x92l");
    QTest::newRow("ohm sign") << QString::fromUtf8("Ω") << QByteArray("\x83\xb6");
    QTest::newRow("full-width digits") << QString::fromUtf8("４７") << QByteArray("\x82S\x82V");
    QTest::newRow("ideographic space") << QString::fromUtf8("　") << QByteArray("\x81@");
    QTest::newRow("emoji") << QString::fromUtf8("4😀7") << QByteArray("4?7");
    QTest::newRow("superscript digits") << QString::fromUtf8("²³¹") << QByteArray("???");
    QTest::newRow("devanagari digits") << QString::fromUtf8("४७") << QByteArray("??");
    QTest::newRow("lone surrogate")
        << (QString("1") + QChar(0xDC00) + QString("2")) << QByteArray("1?2");
    QTest::newRow("nul kept") << QString::fromLatin1(
                                     "1\0"
                                     "2",
                                     3)
                              << QByteArray(
                                     "1\0"
                                     "2",
                                     3);
    QTest::newRow("hangul") << QString::fromUtf8("한") << QByteArray("?");
  }
  void toCodePage() {
    QFETCH(QString, unicode);
    QFETCH(QByteArray, cp932);
    QCOMPARE(Bytes(FromQString(unicode)), cp932);
  }

  void fromCodePage_data() {
    QTest::addColumn<QByteArray>("cp932");
    QTest::addColumn<QString>("unicode");
    QTest::newRow("round trip") << QByteArray("\x8c\xeb\x8d\xb7(%)\x81@")
                                << QString::fromUtf8("誤差(%)　");
    QTest::newRow("half-width katakana") << QByteArray("\xb1") << QString::fromUtf8("ｱ");
    QTest::newRow("lead byte at the end") << QByteArray("47\x82") << "47?";
    QTest::newRow("bad trail keeps the digit") << QByteArray(
                                                      "\x82\x31"
                                                      "0")
                                               << "?10";
    QTest::newRow("undefined byte") << QByteArray(
                                           "\xff"
                                           "5")
                                    << "?5";
    QTest::newRow("unassigned pair") << QByteArray(
                                            "\x85\x40"
                                            "x")
                                     << "?x";
  }
  void fromCodePage() {
    QFETCH(QByteArray, cp932);
    QFETCH(QString, unicode);
    QCOMPARE(ToQString(AnsiString(cp932.constData(), static_cast<std::size_t>(cp932.size()))),
             unicode);
  }

  void everyByteSurvives() {
    // Whatever bytes come in, decoding and encoding again never fails and never makes a digit
    // out of a byte that was not one.
    for (int lead = 0; lead < 256; ++lead) {
      for (int trail : {0x00, 0x30, 0x39, 0x40, 0x7f, 0x80, 0x9f, 0xa0, 0xfc, 0xff}) {
        const char raw[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        const AnsiString back = FromQString(ToQString(AnsiString(raw, 2)));
        int digitsIn = 0, digitsOut = 0;
        for (char c : raw) digitsIn += c >= '0' && c <= '9';
        for (char c : back.View()) digitsOut += c >= '0' && c <= '9';
        QVERIFY2(digitsOut <= digitsIn, qPrintable(QString::number(lead, 16)));
      }
    }
  }

  // ---- List boxes as line lists -----------------------------------------------------------------

  void listBoxLines() {
    TRaiseForm* holder = nullptr;
    Application->CreateForm(holder);
    TListBox sorted("Sorted", holder->Handle(), true, true, 12);
    TListBox plain("Plain", holder->Handle(), false, false, 12);
    for (const char* line : {"  75000", "    470", "   5100", "   5100", " 910000"}) {
      sorted.Items->Add(line);
      plain.Items->Add(line);
    }
    QCOMPARE(sorted.Items->Count(), 5);
    QCOMPARE(sorted.Items->Get(0), AnsiString("    470"));
    QCOMPARE(sorted.Items->Get(4), AnsiString(" 910000"));
    QCOMPARE(plain.Items->Get(0), AnsiString("  75000"));
    sorted.Items->Delete(1);
    QCOMPARE(sorted.Items->Get(1), AnsiString("   5100"));
    QCOMPARE(sorted.Items->Count(), 4);
    // What the list shows is what it holds.
    QCOMPARE(driver::View(&sorted)->model()->index(3, 0).data().toString(),
             QStringLiteral(" 910000"));
    QVERIFY_THROWS_EXCEPTION(EListError, sorted.Items->Get(4));
    QVERIFY_THROWS_EXCEPTION(EListError, sorted.Items->Delete(-1));
    QVERIFY_THROWS_EXCEPTION(EListError, sorted.GetSelected(4));
    QVERIFY(!sorted.GetSelected(0));
    sorted.Clear();
    QCOMPARE(sorted.Items->Count(), 0);
    Application->Release(holder);
  }

  // ---- Forms and the error box ------------------------------------------------------------------

  void brokenDescriptionRaises() {
    TBrokenForm* form = nullptr;
    QVERIFY_THROWS_EXCEPTION(Exception, Application->CreateForm(form));
    QVERIFY(form == nullptr);
  }

  void handlerErrorsAreShown_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("message");
    QTest::newRow("library error") << 0 << QString::fromUtf8("あ not a number");
    QTest::newRow("standard error") << 1 << QStringLiteral("standard failure");
    QTest::newRow("anything else") << 2 << QStringLiteral("An unknown error occurred.");
  }
  void handlerErrorsAreShown() {
    QFETCH(int, button);
    QFETCH(QString, message);
    TRaiseForm* form = nullptr;
    Application->CreateForm(form);
    form->Show();
    QVERIFY(QTest::qWaitForWindowExposed(form->Handle()));
    TButton* buttons[] = {form->RaiseLibrary, form->RaiseStandard, form->RaiseOther};

    QString title, text;
    int polls = 0;
    std::function<void()> poll = [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        title = box->windowTitle();
        text = box->text();
        box->button(QMessageBox::Ok)->click();
      } else if (++polls < 200) {
        QTimer::singleShot(5, poll);
      }
    };
    QTimer::singleShot(0, poll);
    driver::Click(buttons[button]);
    QCOMPARE(text, message);
    QVERIFY(!title.isEmpty());
    // The loop goes on: the next event is delivered as usual.
    QTest::keyClicks(form->Edit->Handle(), QStringLiteral("12"));
    QCOMPARE(form->changes, 2);
    Application->Release(form);
  }
};

QTEST_MAIN(TextTest)
#include "test_text.moc"
