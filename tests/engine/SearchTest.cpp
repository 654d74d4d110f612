// The search: worked examples whose figures follow by hand from its rules, and the fast search
// held bit for bit to the step-by-step one over whole and random targets, exclusions, counts,
// tolerances and series, through the search's own inputs and through the window's tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "ReferenceSearch.h"
#include "engine/Arithmetic.h"
#include "engine/Engine.h"
#include "engine/Search.h"
#include "engine/Series.h"

using namespace engine;

namespace {

void Exclude(const std::vector<double>& values) {
  std::copy(values.begin(), values.end(), NoneTable);
  NoneCount = static_cast<std::int32_t>(values.size());
}

TEST(SearchTest, WorkedExamples) {
  struct Row {
    double target;
    std::vector<double> without;
    std::map<int, const char*> slots;  // resistors, value to 3 decimals, signed error to 6 digits
  };
  const Row rows[] = {
      // The best pair gone, the rest move up and one more comes in.
      {4700,
       {8200},
       {{0, "5100 62000 4712.370 -0.00263183"}, {14, "6200 18000 4611.570 +0.0188148"}}},
      // 110 is held a hair above 110, so 110 || 1100 is a hair above 100 and sorts first.
      {101,
       {},
       {{0, "110 1200 100.763 +0.00234298"},
        {5, "110 1100 100.000 +0.00990099"},
        {6, "150 300 100.000 +0.00990099"},
        {7, "200 200 100.000 +0.00990099"},
        {8, "120 680 102.000 -0.00990099"},
        {14, "180 220 99.000 +0.0198020"}}},
      // Under plain double evaluation 68 000 || 510 000 falls short of 60 000: it would sort last
      // of the four here, and at 58 500 it would be kept in place of 75 000 || 300 000.
      {60090,
       {},
       {{0, "100000 150000 60000.000 +0.00149775"},
        {1, "68000 510000 60000.000 +0.00149775"},
        {2, "120000 120000 60000.000 +0.00149775"},
        {3, "75000 300000 60000.000 +0.00149775"}}},
      {58500,
       {},
       {{0, "75000 270000 58695.652 -0.00334448"}, {14, "75000 300000 60000.000 -0.0256410"}}},
  };
  for (const Row& row : rows) {
    InitTable();
    Exclude(row.without);
    ASSERT_EQ(OhmSift(15, row.target), 15);
    for (const auto& [k, slot] : row.slots) {
      char text[96];
      std::snprintf(text, sizeof text, "%ld %ld %.3f %+#.6g", long{WholeOhm(AnsReg1[k])},
                    long{WholeOhm(AnsReg2[k])}, AnsValue[k], AnsError[k]);
      EXPECT_STREQ(text, slot) << row.target << " slot " << k;
    }
  }
  // Counts outside what the tables hold are kept inside them.
  EXPECT_EQ(OhmSift(0, 4700), 0);
  EXPECT_EQ(OhmSift(1000, 1000), kSlotCapacity);
  for (const int count : {-1, 1 << 30}) {
    Exclude(std::vector<double>(kNoneCapacity, 8200));  // the whole table, when read beyond it
    NoneCount = count;
    ASSERT_EQ(OhmSift(15, 4700), 15);
    EXPECT_EQ(WholeOhm(AnsReg1[0]), count < 0 ? 8200 : 5100);
  }
}

constexpr int kTraps = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

struct Input {
  std::vector<double> series{std::begin(kE24), std::end(kE24)};
  double target = 4700;
  int count = 15;
  double tolerance = 0.05;
  std::vector<double> without;
  std::optional<std::vector<double>> only;
};

// The fast search against the step-by-step one: through the search's own inputs always, and
// through the window's tables wherever they can hold the input.
void ExpectSame(const Input& in) {
  const reference::Result want =
      reference::Search(in.series, in.target, in.count, in.tolerance, in.without,
                        in.only ? std::optional<std::span<const double>>(*in.only) : std::nullopt);
  reference::Result got;
  const auto same = [&] {
    const std::size_t n = sizeof(double) * std::size_t(want.count);
    return got.count == want.count && !std::memcmp(got.reg1, want.reg1, n) &&
           !std::memcmp(got.reg2, want.reg2, n) && !std::memcmp(got.value, want.value, n) &&
           !std::memcmp(got.error, want.error, n);
  };
  // The engine runs with the traps for invalid operations, division by zero and overflow on: any
  // of them would end the test with a signal. Machines that cannot trap (most ARM cores) still
  // record the exception in its flag.
  std::feclearexcept(FE_ALL_EXCEPT);
  feenableexcept(kTraps);
  static std::map<std::vector<double>, std::unique_ptr<Sequences>> built;
  std::unique_ptr<Sequences>& sequences = built[in.series];
  if (!sequences) sequences = std::make_unique<Sequences>(in.series);
  Exclusions excluded(*sequences);
  excluded.LeaveOut(in.without);
  if (in.only) excluded.KeepOnly(*in.only);
  const SearchResult found = Search(*sequences, excluded, in.target, in.count, in.tolerance);
  const int raised = std::fetestexcept(kTraps);
  fedisableexcept(FE_ALL_EXCEPT);
  ASSERT_EQ(raised, 0) << "target " << in.target;
  got.count = found.count;
  for (int k = 0; k < found.count; ++k) {
    const Pair& p = found.pairs[k];
    std::tie(got.reg1[k], got.reg2[k], got.value[k], got.error[k]) =
        std::tie(p.reg1, p.reg2, p.value, p.error);
  }
  ASSERT_TRUE(same()) << "target " << in.target << " count " << in.count << " tolerance "
                      << in.tolerance << " without " << in.without.size();
  if (!in.only && in.series.size() < kSeriesCapacity && in.count <= kSlotCapacity &&
      in.without.size() <= kNoneCapacity) {
    std::fill(std::begin(SeriesTable), std::end(SeriesTable), 0.0);
    std::copy(in.series.begin(), in.series.end(), SeriesTable);
    Tolerance = in.tolerance;
    Exclude(in.without);
    std::feclearexcept(FE_ALL_EXCEPT);
    feenableexcept(kTraps);
    TStringList answers(true), used(true);
    CalcSub(in.target, answers, used);
    got.count = OhmSift(in.count, in.target);
    ASSERT_EQ(std::fetestexcept(kTraps), 0) << "through the tables: target " << in.target;
    fedisableexcept(FE_ALL_EXCEPT);
    for (auto [from, to] : {std::pair{AnsReg1, got.reg1},
                            {AnsReg2, got.reg2},
                            {AnsValue, got.value},
                            {AnsError, got.error}}) {
      std::copy_n(from, got.count, to);
    }
    ASSERT_TRUE(same()) << "through the tables: target " << in.target << " count " << in.count;
  }
}

TEST(SearchTest, TheSeriesAreTheStandardOnes) {
  const std::span<const double> e[] = {kE3, kE6, kE12, kE24, kE48, kE96, kE192};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(e[i].size(), std::size_t(3) << i);
    EXPECT_EQ(kSeries[i].mantissas.data(), e[i].data());
    EXPECT_EQ(kSeries[i].name, "E" + std::to_string(3 << i));
    EXPECT_TRUE(std::is_sorted(e[i].begin(), e[i].end()) && e[i].front() == 1.0 &&
                e[i].back() < 10);
    for (const double m : e[i]) {  // the double nearest a decimal of two (three) digits
      char text[16];
      std::snprintf(text, sizeof text, i < 4 ? "%.1f" : "%.2f", m);
      EXPECT_EQ(std::strtod(text, nullptr), m);
    }
  }
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(std::includes(e[i + 1].begin(), e[i + 1].end(), e[i].begin(), e[i].end()));
  for (int i = 4; i < 6; ++i) {
    for (std::size_t k = 0; k < e[i].size(); ++k) EXPECT_EQ(e[i][k], e[i + 1][2 * k]);
  }
}

TEST(SearchTest, SameAsTheStepByStepSearch) {
  std::mt19937_64 random(20261206);
  std::vector<double> values;  // every value of the sequences of every series
  for (double decade = 1; decade <= 1e6; decade *= 10) {
    for (const double m : kE192) values.push_back(arith::Product(m, decade));
    for (const double m : kE24) values.push_back(arith::Product(m, decade));
  }
  const auto target = [&] {
    const double t =
        std::exp(std::uniform_real_distribution<double>(std::log(100.0), std::log(1e6))(random));
    return random() % 3 == 0 ? std::floor(t) : t;
  };
  // Mostly sequence values, as held or read back from their lines, now and then anything.
  const auto someValues = [&](int n) {
    std::vector<double> some;
    for (; n > 0; --n) {
      const double v = values[random() % values.size()];
      const double variants[] = {double(WholeOhm(v)), v, WholeOhm(v) + 0.5,
                                 double(random() % 1000000)};
      some.push_back(variants[random() % 4]);
    }
    return some;
  };
  const struct {
    const char* name;
    int rounds;
    std::function<void(int, Input&)> make;
  } rows[] = {
      {"every whole target to 20,000, every 37th to 480,000", 19900 + 12433,
       [](int i, Input& in) { in.target = i < 19900 ? 101 + i : 20001 + 37 * (i - 19900); }},
      {"random targets, exclusions and counts", 20000,
       [&](int, Input& in) {
         in.target = target();
         in.count = 1 + static_cast<int>(random() % kMaxPairs);
         in.without = someValues(random() % 4 == 0 ? 0 : static_cast<int>(random() % 40));
       }},
      {"other band widths, down to none", 800,
       [&](int i, Input& in) {
         in.tolerance = std::vector{0.0, 1e-9, 1e-6, 0.001, 0.2, 0.5, 0.9, 3.0}[i % 8];
         in.target = target();
         in.count = 1 + i % 30;
       }},
      {"every series, band width and count, with stock lists", 1500,
       [&](int i, Input& in) {
         const std::span<const double> series = kSeries[i % 7].mantissas;
         in.series.assign(series.begin(), series.end());
         in.tolerance = std::uniform_real_distribution<double>(1e-4, 0.5)(random);
         in.target = target();
         in.count = 1 + static_cast<int>(random() % kMaxPairs);
         in.without = someValues(static_cast<int>(random() % 8));
         if (random() % 2) in.only = someValues(5 + static_cast<int>(random() % 60));
       }},
      {"targets and values no user can give: NaN (signalling too), infinities, extremes", 400,
       [&](int i, Input& in) {
         using Limits = std::numeric_limits<double>;
         const std::uint64_t signalling = 0xfff0000000000001ull;
         const double extremes[] = {Limits::quiet_NaN(),
                                    Limits::signaling_NaN(),
                                    std::bit_cast<double>(signalling),
                                    Limits::infinity(),
                                    -Limits::infinity(),
                                    Limits::max(),
                                    -Limits::max(),
                                    Limits::min(),
                                    Limits::denorm_min(),
                                    -0.0,
                                    4294967296.5,
                                    -2147483648.5,
                                    100,
                                    100.5,
                                    999999.99,
                                    1e6};
         in.target = i % 2 ? extremes[i / 2 % std::size(extremes)] : target();
         in.count = 1 + i % kSlotCapacity;
         for (int j = 0; j < i % 12; ++j)
           in.without.push_back(random() % 3 ? extremes[random() % std::size(extremes)]
                                             : values[random() % values.size()]);
       }},
      {"a series out of order", 200,
       [&](int, Input& in) {
         in.series = {4.7, 1.0, 2.2, 9.1, 3.3, 1.5, 6.8};
         in.target = target();
       }},
      {"the best values left out one by one, to the table's last entry", 200,
       [&](int i, Input& in) {
         in.target = (i / 40 + 1) * 1237.0;
         in.without.assign(kNoneCapacity - 1 - i % 40, 1e9);
         for (int j = 0; j <= i % 40; ++j) {
           const reference::Result best =
               reference::Search(in.series, in.target, 1, 0.05, in.without);
           in.without.push_back(best.count > 0 ? best.reg1[0] : 1e9);
         }
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    for (int i = 0; i < row.rounds && !HasFatalFailure(); ++i) {
      Input in;
      row.make(i, in);
      ExpectSame(in);
    }
  }
  InitTable();
}

}  // namespace
