// The listing's lines, composed exactly as printf composes them, for any figures. Every whole
// target's listing is held to a recorded digest by the command line's test, and the window's
// lists and tables of used values to the step-by-step search by the search's test.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "engine/Arithmetic.h"
#include "engine/Format.h"
#include "engine/WholeOhm.h"
#include "tables/Tables.h"

using namespace engine;

namespace {

// A line as the listing composes it (its length as it says), and as printf does.
std::pair<std::string, std::string> Lines(double error, double reg1, double reg2, double value) {
  char composed[kLineBuffer], printed[kLineBuffer];
  const int length = ComposeResultLine(composed, error, ComposeColumn(WholeOhm(reg1)),
                                       ComposeColumn(WholeOhm(reg2)), value);
  std::snprintf(printed, sizeof printed, " %f  %8ld  %8ld  %8.3f",
                std::fabs(arith::Product(error, 100.0)), long{WholeOhm(reg1)}, long{WholeOhm(reg2)},
                value);
  return {std::string(composed, std::size_t(std::max(length, 0))), printed};
}

TEST(ListingTest, LinesAreComposedAsPrintfComposesThem) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> error(-0.6, 0.6), logValue(-30, std::log(5e6));
  for (int i = 0; i < 200000; ++i) {
    double e = error(random), v = std::exp(logValue(random));
    if (i % 5 == 0) v = std::round(v * 16) / 16;  // exact binary fractions: halves and ties
    if (i % 7 == 0) e = std::round(e * 1e8) / 1e8;
    const auto [composed, printed] = Lines(e, v, v * 3, v);
    ASSERT_EQ(composed, printed) << e << " " << v;
  }
  // Beyond the integer path's range, printf itself, cut to the buffer.
  for (const double v : {-4700.5, 1e13, 1e300, HUGE_VAL, std::nan(""), -0.0, 4.9e-324}) {
    const auto [composed, printed] = Lines(0.01, 1000, 1000, v);
    EXPECT_EQ(composed, printed.substr(0, 255)) << v;
  }
  char line[kValueLineBuffer];
  for (const auto& [value, text] : {std::pair{110.00000000000001, "    110"},
                                    {4699.995, "   4700"},
                                    {12345678.0, "12345678"}}) {
    EXPECT_EQ(ComposeValueLine(line, WholeOhm(value)), int(std::strlen(text)));
    EXPECT_STREQ(line, text);
  }
  const std::pair<double, std::int32_t> wholeOhms[] = {
      {509.99999999999994, 510}, {4699.98, 4699},        {-2.5, -2},
      {3e9, INT32_MAX},          {-HUGE_VAL, INT32_MIN}, {std::nan(""), INT32_MIN}};
  for (const auto& [x, figure] : wholeOhms) EXPECT_EQ(WholeOhm(x), figure) << x;
}

}  // namespace
