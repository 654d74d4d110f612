// The engine runs with the traps for invalid operations, division by zero and overflow enabled:
// any of them would end the test with a signal. Machines that cannot trap (most ARM cores) still
// record the exception in its flag, so the flags are checked as well.
#include <gtest/gtest.h>

#include <cfenv>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "engine/Engine.h"

using namespace engine;

namespace {

TEST(TrapsTest, NoInputRaisesAFloatingPointException) {
  using Limits = std::numeric_limits<double>;
  const std::uint64_t signallingNegative = 0xfff0000000000001ull;
  double negativeSignalling;
  std::memcpy(&negativeSignalling, &signallingNegative, sizeof negativeSignalling);
  // Every kind of double the engine could be handed; a signalling NaN raises even when compared.
  const std::vector<double> extremes = {Limits::quiet_NaN(),
                                        -Limits::quiet_NaN(),
                                        Limits::signaling_NaN(),
                                        negativeSignalling,
                                        Limits::infinity(),
                                        -Limits::infinity(),
                                        Limits::max(),
                                        -Limits::max(),
                                        4294967296.5,
                                        -2147483648.5,
                                        Limits::min(),
                                        Limits::denorm_min(),
                                        -Limits::denorm_min(),
                                        0.0,
                                        -0.0,
                                        -4700,
                                        100,
                                        100.5,
                                        999999.99,
                                        1000000};
  InitTable();
  std::feclearexcept(FE_ALL_EXCEPT);
  const int watched = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;
  RecordProperty("trapping", feenableexcept(watched) != -1 ? "yes" : "flags only");
  long found = 0;
  for (int target = 101; target <= 999999; ++target) found += OhmSift(15, target);
  EXPECT_GT(found, 5000000);  // the search did run
  TStringList answers(true), used(true);
  char line[kLineBuffer];
  for (const double x : extremes) {
    CalcSub(x, answers, used);
    ComposeValueLine(line, x);
    for (const double y : extremes) ComposeResultLine(line, x, y, x, y);
  }
  // Exclusion tables of every size, now and then holding an extreme, and counts outside them.
  std::mt19937_64 random(160);
  for (int size = 0; size <= kNoneCapacity; ++size) {
    for (int j = 0; j < size; ++j) {
      NoneTable[j] = random() % 8 == 0 ? extremes[random() % extremes.size()]
                                       : static_cast<double>(100 + random() % 100000);
    }
    NoneCount = size;
    for (const double target : {101.0, 160.0, 4700.5, 58500.0, 478947.0}) {
      CalcSub(target, answers, used);
    }
  }
  for (const int count : {-1, kNoneCapacity + 1, INT32_MAX, INT32_MIN}) {
    NoneCount = count;
    OhmSift(15, 4700);
  }
  EXPECT_EQ(std::fetestexcept(watched), 0);
  fedisableexcept(FE_ALL_EXCEPT);
  std::feclearexcept(FE_ALL_EXCEPT);

  // Counts outside what the tables hold are kept inside them.
  InitTable();
  EXPECT_EQ(OhmSift(0, 4700), 0);
  EXPECT_EQ(OhmSift(1000, 1000), kSlotCapacity);
  NoneTable[0] = 8200;
  for (int j = 1; j < kNoneCapacity; ++j) NoneTable[j] = 1e9;
  NoneCount = 1 << 30;  // read as the whole table
  ASSERT_EQ(OhmSift(15, 4700), 15);
  EXPECT_EQ(WholeOhm(AnsReg1[0]), 5100);
}

}  // namespace
