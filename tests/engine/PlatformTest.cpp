// The toolkit-free class-library pieces the engine and the window rely on.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

#include "engine/Engine.h"
#include "platform/Classes.h"
#include "platform/Exception.h"
#include "platform/SysUtils.h"

namespace {

TEST(StrToFloatTest, ReadsDecimalNumbers) {
  const std::pair<const char*, double> cases[] = {
      {"4700", 4700.0},
      {"   4700", 4700.0},
      {"\t 101", 101.0},
      {"0100", 100.0},
      {"4700.5", 4700.5},
      {"-4700", -4700.0},
      {"+4700", 4700.0},
      {"1e5", 100000.0},
      {"1E+5", 100000.0},
      {"2.5e-3", 0.0025},
      {".5", 0.5},
      {"5.", 5.0},
      {"0.1", 0.1},
      {"9999999", 9999999.0},
      {"1e-999", 0.0},
      {"4.9e-324", 5e-324},
      {"1.7976931348623157e308", 1.7976931348623157e308},
      {"0e99999999999999999999", 0.0},
      {"0.30000000000000004441", 0.30000000000000004},  // correctly rounded, not truncated
  };
  for (const auto& [text, value] : cases) {
    EXPECT_EQ(StrToFloat(text), value) << '"' << text << '"';
  }
  EXPECT_TRUE(std::signbit(StrToFloat("-0")));
}

TEST(StrToFloatTest, RefusesWhatIsNoDecimalNumber) {
  const std::string longText(5000, '7');
  const char* refused[] = {"",
                           "   ",
                           "abc",
                           "12a",
                           "4700 ",
                           "4 700",
                           "1e",
                           "e5",
                           ".",
                           "-",
                           "+-1",
                           "nan",
                           "NaN",
                           "inf",
                           "-inf",
                           "infinity",
                           "0x1p3",
                           "0x10",
                           "1e999",
                           "-1e999",
                           "1.8e308",
                           "4,700",
                           "\xef\xbc\x94\xef\xbc\x97"};
  for (const char* text : refused) {
    EXPECT_THROW(StrToFloat(text), EConvertError) << '"' << text << '"';
  }
  EXPECT_THROW(StrToFloat(AnsiString("47\0"
                                     "00",
                                     5)),
               EConvertError);
  EXPECT_THROW(StrToFloat(AnsiString(longText + "x")), EConvertError);
  EXPECT_EQ(StrToFloat(AnsiString(longText.substr(0, 300))), 7.777777777777778e299);
}

std::string ErrorMessage(const AnsiString& text) {
  try {
    StrToFloat(text);
  } catch (const EConvertError& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(StrToFloatTest, TheErrorNamesTheTextSafely) {
  EXPECT_NE(ErrorMessage("abc").find("'abc'"), std::string::npos);
  const std::string message = ErrorMessage(AnsiString(std::string(1000, 'x') + "\n\x01"));
  EXPECT_LT(message.size(), 120u);
  EXPECT_EQ(message.find('\n'), std::string::npos);
  // A lead byte whose next byte cannot end a double-byte character stands alone.
  EXPECT_EQ(ErrorMessage("\x81\n7"), "'\x81?7' is not a valid number");
}

TEST(StrToFloatTest, TheLocaleDoesNotMatter) {
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr &&
      std::setlocale(LC_NUMERIC, "C.UTF-8") == nullptr) {
    GTEST_SKIP() << "no other locale here";
  }
  EXPECT_EQ(StrToFloat("4700.5"), 4700.5);
  EXPECT_THROW(StrToFloat("4700,5"), EConvertError);
  std::setlocale(LC_NUMERIC, "C");
}

TEST(AcceptWantedTextTest, TakesDigitsStrictlyBetween100And1000000) {
  const std::pair<const char*, double> accepted[] = {
      {"101", 101}, {"0101", 101}, {"4700", 4700}, {"999999", 999999}, {"000000000000470", 470}};
  for (const auto& [text, value] : accepted) {
    double v = 0;
    EXPECT_TRUE(engine::AcceptWantedText(text, v)) << text;
    EXPECT_EQ(v, value) << text;
  }
  const char* refused[] = {"",
                           "abc",
                           "12a",
                           "4700.5",
                           " 4700",
                           "4700 ",
                           "-4700",
                           "+4700",
                           "1e5",
                           "100",
                           "0100",
                           "0000000",
                           "1000000",
                           "9999999",
                           "\xef\xbc\x94\xef\xbc\x97\xef\xbc\x90\xef\xbc\x90",
                           "\x82\x53\x82\x56\x82\x4f\x82\x4f"};  // full-width digits, both codings
  for (const char* text : refused) {
    double v = -1;
    EXPECT_FALSE(engine::AcceptWantedText(text, v)) << text;
    EXPECT_EQ(v, -1) << text;
  }
  double v = -1;
  EXPECT_FALSE(engine::AcceptWantedText(AnsiString("47\0"
                                                   "00",
                                                   5),
                                        v));
  EXPECT_FALSE(engine::AcceptWantedText(AnsiString(std::string(100000, '9')), v));
}

TEST(StringListTest, ASortedListPutsBlanksBeforeDigits) {
  TStringList list(true);
  for (const char* line : {"  75000", "   5100", " 910000", "    110", "  10000", "   5100"}) {
    list.Add(line);
  }
  const char* want[] = {"    110", "   5100", "   5100", "  10000", "  75000", " 910000"};
  ASSERT_EQ(list.Count(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(list.Get(i), want[i]) << i;
  list.Delete(1);
  EXPECT_EQ(list.Get(1), "   5100");
  EXPECT_EQ(list.Count(), 5);
  EXPECT_THROW(list.Delete(5), EListError);
  EXPECT_THROW(list.Get(-1), EListError);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(StringListTest, AnUnsortedListKeepsItsOrder) {
  TStringList list;
  list.Add("b");
  EXPECT_EQ(list.Add("a"), 1);
  EXPECT_EQ(list.Get(0), "b");
}

// Short texts live inside the string and long ones are shared: both must behave as values.
TEST(AnsiStringTest, CopiesAreIndependentValues) {
  for (const std::size_t size : {0, 47, 48, 5000}) {
    const std::string text(size, 'q');
    AnsiString a(text);
    AnsiString b = a;
    b += "!";
    AnsiString c = std::move(b);
    AnsiString& same = a;
    a = same;  // assigned to itself
    EXPECT_EQ(a.ToStdString(), text);
    EXPECT_EQ(c.ToStdString(), text + "!");
    EXPECT_EQ(c.c_str()[size + 1], '\0');
  }
  EXPECT_EQ(AnsiString("47\0"
                       "00",
                       5)
                .Length(),
            5u);
}

}  // namespace
