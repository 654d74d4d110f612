// The class library's toolkit half on its own: the code-page boundary, list boxes as line lists,
// forms built from descriptions, and the error box for whatever a handler raises.
#include <QApplication>
#include <QtTest>
#include <algorithm>
#include <stdexcept>
#include <string_view>

#include "WindowDriver.h"
#include "platform/Codepage.h"
#include "platform/Forms.h"
#include "platform/QtText.h"

namespace {

// A 40x20 button at the left edge whose click runs handler.
constexpr TControlDescription Button(const char* name, int top, const char* handler) {
  TControlDescription c{.Class = TControlClass::Button, .Name = name, .Top = top, .Width = 40};
  c.Height = 20;
  c.OnClick = handler;
  return c;
}

// A small form whose buttons raise each kind of error, to see the dispatch catch them.
class TRaiseForm : public TForm {
 public:
  TRaiseForm();
  void LibraryClick(TObject*) { throw EConvertError("\x82\xa0 not a number"); }  // "あ ..."
  void StandardClick(TObject*) { throw std::runtime_error("standard failure"); }
  void OtherClick(TObject*) { throw 42; }
};
constexpr TControlDescription kRaiseControls[] = {
    Button("RaiseLibrary", 0, "LibraryClick"),
    Button("RaiseStandard", 30, "StandardClick"),
    Button("RaiseOther", 60, "OtherClick"),
};
const TPublishedMethod kRaiseMethods[] = {
    {"LibraryClick", PublishedMethod(&TRaiseForm::LibraryClick)},
    {"StandardClick", PublishedMethod(&TRaiseForm::StandardClick)},
    {"OtherClick", PublishedMethod(&TRaiseForm::OtherClick)},
};
const TPublishedTable kRaisePublished{kRaiseMethods, 3, nullptr, 0};
const TFormDescription kRaiseForm{
    .Caption = "Raise", .Controls = kRaiseControls, .ControlCount = 3};
TRaiseForm::TRaiseForm() : TForm(kRaiseForm, kRaisePublished) {}

// A description naming a handler that its form's table, full of others, does not publish.
constexpr TControlDescription kBrokenControls[] = {Button("Button", 0, "Missing")};
const TFormDescription kBrokenDescription{
    .Name = "Broken", .Controls = kBrokenControls, .ControlCount = 1};
class TBrokenForm : public TForm {
 public:
  TBrokenForm() : TForm(kBrokenDescription, kRaisePublished) {}
};

constexpr int kEncode = 1, kDecode = 2, kBoth = kEncode | kDecode;

}  // namespace

class TextTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { Application->Initialize(); }

  // ---- Code page 932 ----------------------------------------------------------------------------

  void codePage_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("way");
    const auto u = [](const char* s) { return QString::fromUtf8(s); };
    QTest::newRow("ascii") << "4700" << QByteArray("4700") << kBoth;
    QTest::newRow("kanji") << u("欲しい抵抗値")
                           << QByteArray("\x97~\x82\xb5\x82\xa2\x92\xef\x8dR\x92l") << kBoth;
    QTest::newRow("full-width digits") << u("４７") << QByteArray("\x82S\x82V") << kBoth;
    QTest::newRow("heading") << u("誤差(%)　") << QByteArray("\x8c\xeb\x8d\xb7(%)\x81@") << kBoth;
    QTest::newRow("half-width katakana") << u("ｱ") << QByteArray("\xb1") << kBoth;
    QTest::newRow("nul kept") << u("1") + QChar(0) + "2" << QByteArray::fromHex("310032") << kBoth;
    // Unmappable characters become '?', never a digit, whatever they look like.
    QTest::newRow("emoji") << u("4😀7") << QByteArray("4?7") << kEncode;
    QTest::newRow("superscript digits") << u("²³¹") << QByteArray("???") << kEncode;
    QTest::newRow("devanagari digits") << u("४७") << QByteArray("??") << kEncode;
    QTest::newRow("lone surrogate") << u("1") + QChar(0xDC00) + "2" << QByteArray("1?2") << kEncode;
    // Bytes that make no character become '?' and leave the bytes after them alone.
    QTest::newRow("lead byte at the end") << "47?" << QByteArray("47\x82") << kDecode;
    QTest::newRow("bad trail keeps the digit") << "?10" << QByteArray::fromHex("823130") << kDecode;
    QTest::newRow("undefined byte") << "?5" << QByteArray::fromHex("ff35") << kDecode;
    QTest::newRow("unassigned pair") << "?x" << QByteArray::fromHex("854078") << kDecode;
  }
  void codePage() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(int, way);
    if (way & kEncode) QCOMPARE(QByteArray::fromStdString(FromQString(text).ToStdString()), bytes);
    if (way & kDecode) QCOMPARE(ToQString(AnsiString(bytes.toStdString())), text);
  }

  // Whatever bytes come in, decoding and encoding again never fails and never makes a digit out
  // of a byte that was not one.
  void everyByteSurvives() {
    const auto digits = [](std::string_view s) {
      return std::count_if(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    for (int lead = 0; lead < 256; ++lead) {
      for (int trail : {0x00, 0x30, 0x39, 0x40, 0x7f, 0x80, 0x9f, 0xa0, 0xfc, 0xff}) {
        const char raw[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        const AnsiString back = FromQString(ToQString(AnsiString(raw, 2)));
        QVERIFY2(digits(back.View()) <= digits({raw, 2}), qPrintable(QString::number(lead, 16)));
      }
    }
  }

  // ---- List boxes as line lists -----------------------------------------------------------------

  void listBoxLines() {
    QWidget parent;
    TListBox list("Sorted", &parent, true, true, 12);
    for (const char* line : {"  75000", "    470", "   5100", "   5100", " 910000"}) {
      list.Items->Add(line);
    }
    list.Items->Delete(1);  // one of the two "   5100"
    QCOMPARE(driver::Lines(&list), QStringList({"    470", "   5100", "  75000", " 910000"}));
    // What the list shows is what it holds.
    QCOMPARE(driver::View(&list)->model()->index(3, 0).data().toString(), QString(" 910000"));
    QVERIFY_THROWS_EXCEPTION(EListError, list.Items->Get(4));
    QVERIFY_THROWS_EXCEPTION(EListError, list.Items->Delete(-1));
    QVERIFY_THROWS_EXCEPTION(EListError, list.GetSelected(4));
  }

  // ---- Forms and the error box ------------------------------------------------------------------

  void missingHandlerRaises() {
    TBrokenForm* form = nullptr;
    try {
      Application->CreateForm(form);
      QFAIL("no error raised");
    } catch (const Exception& error) {
      QVERIFY2(QString::fromLatin1(error.what()).contains("Missing"), error.what());
    }
    QVERIFY(form == nullptr);
  }

  void handlerErrorsAreShown_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    QTest::newRow("library error") << "RaiseLibrary" << QString::fromUtf8("あ not a number");
    QTest::newRow("standard error") << "RaiseStandard" << QStringLiteral("standard failure");
    QTest::newRow("anything else") << "RaiseOther" << QStringLiteral("An unknown error occurred.");
  }
  void handlerErrorsAreShown() {
    QFETCH(QString, button);
    QFETCH(QString, message);
    TRaiseForm* form = nullptr;
    Application->CreateForm(form);
    form->Handle()->resize(100, 100);  // its description leaves the size to the buttons' place
    form->Show();
    QVERIFY(QTest::qWaitForWindowExposed(form->Handle()));
    QWidget* widget = form->FindControl(FromQString(button))->Handle();
    const QStringList box = driver::AnswerBox([&] { QTest::mouseClick(widget, Qt::LeftButton); });
    QCOMPARE(box, QStringList({"Raise", message}));  // titled with the main form's caption
    // The loop goes on: the next click is delivered, and answered, as usual.
    QCOMPARE(driver::AnswerBox([&] { QTest::mouseClick(widget, Qt::LeftButton); }), box);
    Application->Release(form);
  }
};

QTEST_MAIN(TextTest)
#include "test_text.moc"
