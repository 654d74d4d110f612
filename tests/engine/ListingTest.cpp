#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/Arithmetic.h"
#include "engine/Engine.h"

using namespace engine;

namespace {

std::string ResultLine(double error, double reg1, double reg2, double value) {
  char line[256];
  const int n = ComposeResultLine(line, error, reg1, reg2, value);
  EXPECT_EQ(n, static_cast<int>(std::strlen(line)));
  return line;
}

std::string PrintfLine(double error, double reg1, double reg2, double value) {
  char line[256];
  std::snprintf(line, sizeof line, " %f  %8ld  %8ld  %8.3f",
                std::fabs(engine::arith::Product(error, 100.0)), static_cast<long>(WholeOhm(reg1)),
                static_cast<long>(WholeOhm(reg2)), value);
  return line;
}

std::vector<std::string> Lines(const TStrings& list) {
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Get(i).ToStdString());
  return lines;
}

TEST(ListingTest, ComposesResultLinesColumnByColumn) {
  struct Case {
    double reg1, reg2, value, error;
    const char* line;
  };
  const Case cases[] = {
      {5100, 62000, 4712.3695976154995, -0.0026318292798935138,
       " 0.263183      5100     62000  4712.370"},
      {8200, 11000, 4697.916666666667, +0.0004432624113474532,
       " 0.044326      8200     11000  4697.917"},
      {10000, 10000, 5000, 0, " 0.000000     10000     10000  5000.000"},
      {509.99999999999994, 220000.00000000003, 509.0, -0.05,
       " 5.000000       510    220000   509.000"},
      {910000, 910000, 455000, 0.0499993, " 4.999930    910000    910000  455000.000"},
      {110.00000000000001, 1100, 100.00000000000001, 0.0099009900990098,
       " 0.990099       110      1100   100.000"},
      // Exact halves round to even, as printf does.
      {1000, 1000, 1000.0625, 0.0000005, " 0.000050      1000      1000  1000.062"},
      {1000, 1000, 1000.1875, 0.0000015, " 0.000150      1000      1000  1000.188"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ResultLine(c.error, c.reg1, c.reg2, c.value), c.line);
    EXPECT_EQ(ResultLine(c.error, c.reg1, c.reg2, c.value),
              PrintfLine(c.error, c.reg1, c.reg2, c.value));
  }
}

TEST(ListingTest, ComposesLikePrintfForAnyValue) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> error(-0.06, 0.06);
  std::uniform_real_distribution<double> logValue(-30, std::log(5e6));
  for (int i = 0; i < 200000; ++i) {
    double e = error(random);
    double v = std::exp(logValue(random));
    if (i % 5 == 0) v = std::round(v * 16) / 16;  // exact binary fractions: halves and ties
    if (i % 7 == 0) e = std::round(e * 1e8) / 1e8;
    ASSERT_EQ(ResultLine(e, v, v * 3, v), PrintfLine(e, v, v * 3, v)) << e << " " << v;
  }
  // Beyond the fast range the line still comes out as printf writes it, cut to the buffer.
  for (const double v : {-4700.5, 1e13, 1e300, std::nan(""), -0.0}) {
    const std::string printed = PrintfLine(0.01, 1000, 1000, v).substr(0, 255);
    EXPECT_EQ(ResultLine(0.01, 1000, 1000, v), printed) << v;
  }
}

TEST(ListingTest, ValueLinesAreSevenColumnsWide) {
  const std::pair<double, const char*> cases[] = {
      {110.00000000000001, "    110"},
      {509.99999999999994, "    510"},
      {5100, "   5100"},
      {910000, " 910000"},
      {4699.995, "   4700"},
      {12345678, "12345678"},
  };
  char line[256];
  for (const auto& [value, text] : cases) {
    EXPECT_EQ(ComposeValueLine(line, value), static_cast<int>(std::strlen(text)));
    EXPECT_STREQ(line, text);
  }
}

class CalcSubTest : public ::testing::Test {
 protected:
  void SetUp() override { InitTable(); }
  TStringList answers{true};
  TStringList used{true};
};

TEST_F(CalcSubTest, ListsThe4700ResultsInTheOrderTheListShows) {
  CalcSub(4700, answers, used);
  EXPECT_EQ(Lines(answers), (std::vector<std::string>{
                                " 0.044326      8200     11000  4697.917",
                                " 0.263183      5100     62000  4712.370",
                                " 0.406407      5600     30000  4719.101",
                                " 0.448956      6800     15000  4678.899",
                                " 0.546714      5100     56000  4674.304",
                                " 0.698392      6200     20000  4732.824",
                                " 0.940129      5100     68000  4744.186",
                                " 1.193565      7500     13000  4756.098",
                                " 1.318366      5600     27000  4638.037",
                                " 1.353965      5100     51000  4636.364",
                                " 1.370168      9100     10000  4764.398",
                                " 1.530422      6800     16000  4771.930",
                                " 1.601721      5100     75000  4775.281",
                                " 1.800327      7500     12000  4615.385",
                                " 1.863080      5600     33000  4787.565",
                            }));
  EXPECT_EQ(Lines(used), (std::vector<std::string>{
                             "   5100", "   5600", "   6200", "   6800", "   7500", "   8200",
                             "   9100", "  10000", "  11000", "  12000", "  13000", "  15000",
                             "  16000", "  20000", "  27000", "  30000", "  33000", "  51000",
                             "  56000", "  62000", "  68000", "  75000",
                         }));
  ASSERT_EQ(UseCount, 22);
  for (int i = 1; i < UseCount; ++i) EXPECT_LT(UseTable[i - 1], UseTable[i]);
}

// The list shows equal errors by first resistor, whatever their slot order.
TEST_F(CalcSubTest, EqualErrorsAreShownByFirstResistor) {
  CalcSub(1000, answers, used);
  const std::vector<std::string> lines = Lines(answers);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], " 0.000000      1100     11000  1000.000");
  EXPECT_EQ(lines[1], " 0.000000      1500      3000  1000.000");
  EXPECT_EQ(lines[2], " 0.000000      2000      2000  1000.000");
  EXPECT_EQ(lines[3], " 0.178571      1300      4300   998.214");
  int twoThousands = 0;
  for (const std::string& line : Lines(used)) twoThousands += line == "   2000";
  EXPECT_EQ(twoThousands, 1);
}

TEST_F(CalcSubTest, KeepsTheValuesAsTheSearchHeldThem) {
  CalcSub(101, answers, used);
  ASSERT_EQ(answers.Get(0), " 0.234298       110      1200   100.763");
  EXPECT_EQ(used.Get(0), "    110");
  EXPECT_EQ(UseTable[0], 110.00000000000001);  // not rounded to its whole-ohm figure
}

TEST_F(CalcSubTest, AddsNothingWhenNoPairIsFound) {
  for (const double target : {999999.0, 100.0, -1.0, std::nan("")}) {
    UseCount = 5;
    CalcSub(target, answers, used);
    EXPECT_EQ(answers.Count(), 0);
    EXPECT_EQ(used.Count(), 0);
    EXPECT_EQ(UseCount, 0);
  }
}

TEST_F(CalcSubTest, OnlyAppendsToTheLists) {
  answers.Add("zzz");
  used.Add("  99999");
  CalcSub(4700, answers, used);
  EXPECT_EQ(answers.Count(), 16);
  EXPECT_EQ(answers.Get(15), "zzz");
  EXPECT_EQ(used.Count(), 23);
}

}  // namespace
