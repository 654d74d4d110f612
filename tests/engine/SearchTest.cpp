#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

#include "engine/Engine.h"

using namespace engine;

namespace {

struct Pair {
  long reg1;
  long reg2;
  const char* value;  // three decimals
  const char* error;  // signed, six significant digits
};

std::string Fixed3(double x) {
  char text[64];
  std::snprintf(text, sizeof text, "%.3f", x);
  return text;
}

std::string Signed6(double x) {
  char text[64];
  std::snprintf(text, sizeof text, "%+#.6g", x);
  return text;
}

void Exclude(std::initializer_list<double> values) {
  NoneCount = 0;
  for (const double v : values) NoneTable[NoneCount++] = v;
}

void ExpectSlot(int slot, const Pair& want) {
  SCOPED_TRACE("slot " + std::to_string(slot));
  EXPECT_EQ(WholeOhm(AnsReg1[slot]), want.reg1);
  EXPECT_EQ(WholeOhm(AnsReg2[slot]), want.reg2);
  EXPECT_EQ(Fixed3(AnsValue[slot]), want.value);
  EXPECT_EQ(Signed6(AnsError[slot]), want.error);
}

class SearchTest : public ::testing::Test {
 protected:
  void SetUp() override { InitTable(); }
};

const std::vector<Pair> k4700 = {
    {8200, 11000, "4697.917", "+0.000443262"}, {5100, 62000, "4712.370", "-0.00263183"},
    {5600, 30000, "4719.101", "-0.00406407"},  {6800, 15000, "4678.899", "+0.00448956"},
    {5100, 56000, "4674.304", "+0.00546714"},  {6200, 20000, "4732.824", "-0.00698392"},
    {5100, 68000, "4744.186", "-0.00940129"},  {7500, 13000, "4756.098", "-0.0119357"},
    {5600, 27000, "4638.037", "+0.0131837"},   {5100, 51000, "4636.364", "+0.0135397"},
    {9100, 10000, "4764.398", "-0.0137017"},   {6800, 16000, "4771.930", "-0.0153042"},
    {5100, 75000, "4775.281", "-0.0160172"},   {7500, 12000, "4615.385", "+0.0180033"},
    {5600, 33000, "4787.565", "-0.0186308"},
};

TEST_F(SearchTest, FindsTheFifteenBestPairsFor4700InSlotOrder) {
  ASSERT_EQ(OhmSift(15, 4700), 15);
  for (int k = 0; k < 15; ++k) ExpectSlot(k, k4700[k]);
}

TEST_F(SearchTest, LeavesOutExcludedValuesAndMovesTheRestUp) {
  Exclude({8200});
  ASSERT_EQ(OhmSift(15, 4700), 15);
  for (int k = 0; k < 14; ++k) ExpectSlot(k, k4700[k + 1]);
  ExpectSlot(14, {6200, 18000, "4611.570", "+0.0188148"});
}

TEST_F(SearchTest, KeepsNoMoreThanAskedFor) {
  ASSERT_EQ(OhmSift(1, 4700), 1);
  ExpectSlot(0, k4700[0]);
}

TEST_F(SearchTest, EqualErrorsKeepTheOrderOfTheSlotsTheyTook) {
  ASSERT_EQ(OhmSift(15, 1000), 15);
  ExpectSlot(0, {2000, 2000, "1000.000", "+0.00000"});
  ExpectSlot(1, {1500, 3000, "1000.000", "+0.00000"});
  ExpectSlot(2, {1100, 11000, "1000.000", "+0.00000"});
  ExpectSlot(3, {1300, 4300, "998.214", "+0.00178571"});
  ExpectSlot(14, {1100, 15000, "1024.845", "-0.0248447"});
  for (int k = 0; k < 3; ++k) EXPECT_EQ(AnsValue[k], 1000.0);
}

TEST_F(SearchTest, AHairWidthDecidesTheTieAt101) {
  ASSERT_EQ(OhmSift(15, 101), 15);
  ExpectSlot(0, {110, 1200, "100.763", "+0.00234298"});
  ExpectSlot(5, {110, 1100, "100.000", "+0.00990099"});
  ExpectSlot(6, {150, 300, "100.000", "+0.00990099"});
  ExpectSlot(7, {200, 200, "100.000", "+0.00990099"});
  ExpectSlot(8, {120, 680, "102.000", "-0.00990099"});
  ExpectSlot(14, {180, 220, "99.000", "+0.0198020"});
  EXPECT_EQ(AnsValue[5], std::nextafter(100.0, 200.0));  // 110 is held a hair above 110
  EXPECT_LT(std::fabs(AnsError[5]), std::fabs(AnsError[6]));
}

// Under plain double evaluation 68 000 || 510 000 falls short of 60 000 and loses its place.
TEST_F(SearchTest, TheArithmeticRuleDecidesTheOrderAt60090) {
  ASSERT_EQ(OhmSift(15, 60090), 15);
  const long reg1[] = {100000, 68000, 120000, 75000};
  const long reg2[] = {150000, 510000, 120000, 300000};
  for (int k = 0; k < 4; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(WholeOhm(AnsReg1[k]), reg1[k]);
    EXPECT_EQ(WholeOhm(AnsReg2[k]), reg2[k]);
    EXPECT_EQ(AnsValue[k], 60000.0);
    EXPECT_EQ(Signed6(AnsError[k]), "+0.00149775");
  }
}

TEST_F(SearchTest, TheArithmeticRuleDecidesTheSetOfPairsAt58500) {
  ASSERT_EQ(OhmSift(15, 58500), 15);
  ExpectSlot(0, {75000, 270000, "58695.652", "-0.00334448"});
  ExpectSlot(14, {75000, 300000, "60000.000", "-0.0256410"});
  for (int k = 0; k < 15; ++k) EXPECT_NE(WholeOhm(AnsReg2[k]), 510000) << "slot " << k;
}

TEST_F(SearchTest, TheUpperBandLimitIsInclusiveAndEndsTheScan) {
  Exclude({180, 200, 220, 270, 300, 330});
  ASSERT_EQ(OhmSift(15, 160), 4);
  ExpectSlot(0, {240, 470, "158.873", "+0.00704225"});
  ExpectSlot(1, {240, 510, "163.200", "-0.0200000"});
  ExpectSlot(2, {240, 430, "154.030", "+0.0373134"});
  ExpectSlot(3, {240, 560, "168.000", "-0.0500000"});
}

TEST_F(SearchTest, NoPairAboveTheLargestParallelValue) {
  ASSERT_EQ(OhmSift(15, 478947), 1);
  ExpectSlot(0, {910000, 910000, "455000.000", "+0.0499993"});
  for (const double target : {478948.0, 500000.0, 999999.0}) EXPECT_EQ(OhmSift(15, target), 0);
}

// Targets the search refuses: nothing is written to any slot.
TEST_F(SearchTest, RefusedTargetsWriteNoSlot) {
  const double kNaN = std::numeric_limits<double>::quiet_NaN();
  const double kInf = std::numeric_limits<double>::infinity();
  const double refused[] = {100.0,
                            1000000.0,
                            99.999,
                            0.0,
                            -4700.0,
                            -kInf,
                            kInf,
                            kNaN,
                            -kNaN,
                            1e300,
                            -0.0,
                            5e-324,
                            std::nextafter(100.0, 0.0)};
  for (const double target : refused) {
    SCOPED_TRACE(target);
    for (int k = 0; k < kSlotCapacity; ++k)
      AnsReg1[k] = AnsReg2[k] = AnsValue[k] = AnsError[k] = -1;
    EXPECT_EQ(OhmSift(15, target), 0);
    for (int k = 0; k < kSlotCapacity; ++k) ASSERT_EQ(AnsValue[k], -1) << k;
  }
  EXPECT_EQ(OhmSift(15, 100.5), 15);  // the range check is on the value, not on whole numbers
}

TEST_F(SearchTest, BadCountsAreKeptInsideTheTables) {
  EXPECT_EQ(OhmSift(0, 4700), 0);
  EXPECT_EQ(OhmSift(-5, 4700), 0);
  EXPECT_EQ(OhmSift(1000, 4700), 30);
  EXPECT_EQ(OhmSift(1000, 1000), 30);
  NoneCount = -3;
  EXPECT_EQ(OhmSift(15, 4700), 15);
  ExpectSlot(0, k4700[0]);
  // A count beyond the table reads only the table: all of it, values that match nothing.
  for (int j = 0; j < kNoneCapacity; ++j) NoneTable[j] = 1.0e9 + j;
  NoneCount = 1 << 30;
  EXPECT_EQ(OhmSift(15, 4700), 15);
  ExpectSlot(0, k4700[0]);
}

TEST_F(SearchTest, ExclusionsThatAreNoNumberMatchNothing) {
  Exclude({std::nan(""), std::numeric_limits<double>::infinity(), -1e300, 1e300, -0.0});
  ASSERT_EQ(OhmSift(15, 4700), 15);
  for (int k = 0; k < 15; ++k) ExpectSlot(k, k4700[k]);
}

TEST_F(SearchTest, FindsNothingBeforeTheTablesAreFilled) {
  for (double& entry : SeriesTable) entry = 0.0;
  EXPECT_EQ(OhmSift(15, 4700), 0);
  InitTable();
  EXPECT_EQ(OhmSift(15, 4700), 15);
}

}  // namespace
