#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/Arithmetic.h"
#include "engine/Engine.h"

using namespace engine;

namespace {

TEST(TablesTest, InitTableFillsTheSeriesAndEndsItWithTheMark) {
  const double e24[] = {1.0, 1.1, 1.2, 1.3, 1.5, 1.6, 1.8, 2.0, 2.2, 2.4, 2.7, 3.0,
                        3.3, 3.6, 3.9, 4.3, 4.7, 5.1, 5.6, 6.2, 6.8, 7.5, 8.2, 9.1};
  InitTable();
  int i = 0;
  while (SeriesTable[i] != 0.0) {
    ASSERT_LT(i, 24);
    EXPECT_EQ(SeriesTable[i], e24[i]) << i;
    ++i;
  }
  EXPECT_EQ(i, 24);
  EXPECT_EQ(Tolerance, 0.05);
}

TEST(TablesTest, InitTableResetsOnlyTheCounts) {
  InitTable();
  ASSERT_EQ(OhmSift(15, 4700), 15);
  const double slot0 = AnsValue[0];
  UseTable[3] = 1234.0;
  NoneTable[5] = 5678.0;
  UseCount = 7;
  NoneCount = 6;
  InitTable();
  EXPECT_EQ(UseCount, 0);
  EXPECT_EQ(NoneCount, 0);
  EXPECT_EQ(AnsValue[0], slot0);
  EXPECT_EQ(UseTable[3], 1234.0);
  EXPECT_EQ(NoneTable[5], 5678.0);
}

TEST(TablesTest, WholeOhmAddsAHundredthAndTruncates) {
  struct Case {
    double x;
    std::int32_t figure;
  };
  const double kInf = std::numeric_limits<double>::infinity();
  const std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  const std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  const Case cases[] = {
      {509.99999999999994, 510},  // 5.1 x 100 as held; truncation alone gives 509
      {110.00000000000001, 110},
      {220000.00000000003, 220000},
      {4700.0, 4700},
      {1.5, 1},
      {4699.995, 4700},
      {4699.98, 4699},
      {0.0, 0},
      {-0.5, 0},  // toward zero
      {-2.5, -2},
      {2147483646.0, 2147483646},
      {3e9, kMax},
      {kInf, kMax},
      {-3e9, kMin},
      {-kInf, kMin},
      {std::nan(""), kMin},
  };
  for (const Case& c : cases) EXPECT_EQ(WholeOhm(c.x), c.figure) << c.x;
}

// Every series value times its decade comes back as its whole number of ohms (1.5 as 1).
TEST(TablesTest, WholeOhmOfEverySequenceValueIsItsWholeNumber) {
  InitTable();
  long decade = 1;
  for (int d = 0; d < 7; ++d, decade *= 10) {
    for (int i = 0; i < 24; ++i) {
      const double held = arith::Product(SeriesTable[i], static_cast<double>(decade));
      const long whole = std::lround(SeriesTable[i] * 10) * decade / 10;
      EXPECT_EQ(WholeOhm(held), whole) << SeriesTable[i] << " x " << decade;
    }
  }
}

}  // namespace
