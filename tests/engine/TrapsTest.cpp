// The engine runs with the traps for invalid operations, division by zero and overflow enabled:
// any of them would end the test with a signal. Machines that cannot trap (most ARM cores) still
// record the exception in its flag, so the flags are checked after every call as well.
#include <gtest/gtest.h>

#include <cfenv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "platform/Classes.h"

using namespace engine;

namespace {

constexpr int kWatched = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

// Named by its bits: printing a signalling NaN as a number would itself raise.
std::string Name(double x) {
  std::uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  char text[32];
  std::snprintf(text, sizeof text, "0x%016llx", static_cast<unsigned long long>(bits));
  return text;
}

double FromBits(std::uint64_t bits) {
  double x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// Every kind of double the engine could be handed.
const std::vector<double>& ExtremeValues() {
  using Limits = std::numeric_limits<double>;
  static const std::vector<double> values = {
      Limits::quiet_NaN(),
      -Limits::quiet_NaN(),
      Limits::signaling_NaN(),
      FromBits(0xfff0000000000001ull),  // signalling, negative
      Limits::infinity(),
      -Limits::infinity(),
      Limits::max(),
      -Limits::max(),
      1e308,
      -1e308,
      4294967296.5,
      -2147483648.5,
      Limits::min(),
      Limits::denorm_min(),
      -Limits::denorm_min(),
      Limits::min() / 3,
      0.0,
      -0.0,
      -4700,
      100,
      100.5,
      999999.99,
      1000000,
  };
  return values;
}

class TrapsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitTable();
    std::feclearexcept(FE_ALL_EXCEPT);
    trapping_ = feenableexcept(kWatched) != -1;
  }
  void TearDown() override {
    fedisableexcept(FE_ALL_EXCEPT);
    std::feclearexcept(FE_ALL_EXCEPT);
  }
  static int Raised() { return std::fetestexcept(kWatched); }

  bool trapping_ = false;
};

TEST_F(TrapsTest, EveryWholeTarget) {
  RecordProperty("trapping", trapping_ ? "yes" : "flags only");
  int found = 0;
  for (int target = 101; target <= 999999; ++target) {
    found += OhmSift(15, target);
    ASSERT_EQ(Raised(), 0) << target;
  }
  EXPECT_GT(found, 5000000);  // the search did run
}

TEST_F(TrapsTest, ExtremeInputsEverywhere) {
  TStringList answers(true), used(true);
  char line[256];
  for (const double x : ExtremeValues()) {
    SCOPED_TRACE(Name(x));
    OhmSift(15, x);
    CalcSub(x, answers, used);
    WholeOhm(x);
    ComposeValueLine(line, x);
    for (const double y : ExtremeValues()) ComposeResultLine(line, x, y, x, y);
    ASSERT_EQ(Raised(), 0);
  }
  // Extremes among the exclusions.
  NoneCount = 0;
  for (const double x : ExtremeValues()) NoneTable[NoneCount++] = x;
  for (const double target : {150.0, 4700.0, 60090.5, 478947.0}) {
    EXPECT_GT(OhmSift(kSlotCapacity, target), 0);
    CalcSub(target, answers, used);
    ASSERT_EQ(Raised(), 0) << target;
  }
}

TEST_F(TrapsTest, ExclusionTablesOfEverySize) {
  std::mt19937_64 random(160);
  TStringList answers(true), used(true);
  const std::vector<double>& extremes = ExtremeValues();
  for (int size = 0; size <= kNoneCapacity; ++size) {
    for (int j = 0; j < size; ++j) {
      // Mostly whole ohms near the targets, now and then an extreme.
      NoneTable[j] = random() % 8 == 0 ? extremes[random() % extremes.size()]
                                       : static_cast<double>(100 + random() % 100000);
    }
    NoneCount = size;
    for (const double target : {101.0, 160.0, 1000.0, 4700.0, 4700.5, 58500.0, 478947.0}) {
      OhmSift(15, target);
      CalcSub(target, answers, used);
    }
    ASSERT_EQ(Raised(), 0) << size;
  }
  // Counts outside the table are kept inside it.
  for (const int count :
       {-1, kNoneCapacity + 1, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()}) {
    NoneCount = count;
    OhmSift(15, 4700);
    ASSERT_EQ(Raised(), 0) << count;
  }
}

}  // namespace
