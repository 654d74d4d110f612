// The engine's search skips work it can prove irrelevant; here it is held to the step-by-step
// search over a wide spread of targets, exclusion sets and counts, bit for bit.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "ReferenceSearch.h"
#include "engine/Arithmetic.h"
#include "engine/Engine.h"

using namespace engine;

namespace {

bool SameBits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

void ExpectSame(int maxCount, double target) {
  const reference::Result want = reference::OhmSift(maxCount, target);
  const int count = OhmSift(maxCount, target);
  ASSERT_EQ(count, want.count) << "target " << target << " maxCount " << maxCount;
  for (int k = 0; k < count; ++k) {
    ASSERT_TRUE(SameBits(AnsReg1[k], want.reg1[k]) && SameBits(AnsReg2[k], want.reg2[k]) &&
                SameBits(AnsValue[k], want.value[k]) && SameBits(AnsError[k], want.error[k]))
        << "target " << target << " maxCount " << maxCount << " slot " << k;
  }
}

// Every value a result can hold, 110 to 910,000.
std::vector<double> UsableValues() {
  InitTable();
  std::vector<double> values;
  for (double decade = 100; decade <= 100000; decade *= 10) {
    for (int i = 0; SeriesTable[i] != 0.0; ++i) {
      const double v = arith::Product(SeriesTable[i], decade);
      if (v > 100) values.push_back(v);
    }
  }
  return values;
}

TEST(EquivalenceTest, WholeTargetsWithoutExclusions) {
  InitTable();
  for (int target = 101; target <= 480000; target += (target < 20000 ? 1 : 37)) {
    ExpectSame(15, target);
  }
}

TEST(EquivalenceTest, RandomTargetsExclusionsAndCounts) {
  const std::vector<double> usable = UsableValues();
  std::mt19937_64 random(20261206);
  std::uniform_real_distribution<double> logTarget(std::log(100.0), std::log(1000000.0));
  std::uniform_int_distribution<int> count(1, kSlotCapacity);
  std::uniform_int_distribution<int> pick(0, static_cast<int>(usable.size()) - 1);
  for (int round = 0; round < 20000; ++round) {
    InitTable();
    double target = std::exp(logTarget(random));
    if (round % 3 == 0) target = std::floor(target);
    const int excluded = round % 4 == 0 ? 0 : static_cast<int>(random() % 40);
    for (int j = 0; j < excluded; ++j) {
      // Mostly series values, read back from their lines or as held; now and then another.
      const double v = usable[static_cast<std::size_t>(pick(random))];
      switch (random() % 4) {
        case 0:
          NoneTable[j] = WholeOhm(v);
          break;
        case 1:
          NoneTable[j] = v;
          break;
        case 2:
          NoneTable[j] = WholeOhm(v) + 0.5;
          break;
        default:
          NoneTable[j] = static_cast<double>(random() % 1000000);
          break;
      }
    }
    NoneCount = excluded;
    ExpectSame(count(random), target);
  }
}

TEST(EquivalenceTest, ExcludingTheBestValuesOneByOne) {
  InitTable();
  for (const double target : {101.0, 470.0, 1000.0, 4700.0, 33333.0, 220000.0}) {
    NoneCount = 0;
    while (NoneCount < kNoneCapacity) {
      ExpectSame(15, target);
      if (OhmSift(15, target) == 0) break;
      NoneTable[NoneCount++] = AnsReg1[0];
    }
  }
}

// Other band widths, down to none at all, change which shortcuts are safe.
TEST(EquivalenceTest, OtherTolerances) {
  InitTable();
  NoneCount = 0;
  for (const double tolerance : {0.0, 1e-9, 0.001, 0.2, 0.9, 3.0}) {
    Tolerance = tolerance;
    for (const double target : {101.0, 1000.0, 4700.0, 60000.0, 60090.0, 455000.0}) {
      ExpectSame(15, target);
    }
  }
  InitTable();
}

// A table that is not the standard one must still give the step-by-step answer.
TEST(EquivalenceTest, AnUnorderedSeriesTable) {
  const double shuffled[] = {4.7, 1.0, 2.2, 9.1, 3.3, 1.5, 6.8, 0.0};
  for (double& entry : SeriesTable) entry = 0.0;
  std::memcpy(SeriesTable, shuffled, sizeof shuffled);
  Tolerance = 0.05;
  NoneCount = 0;
  for (const double target : {150.0, 1000.0, 4700.0, 12345.0}) ExpectSame(15, target);
  InitTable();
}

}  // namespace
