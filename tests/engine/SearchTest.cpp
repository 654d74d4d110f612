// The search: the series against statements of what they are, and the fast search held bit for
// bit to the step-by-step one over whole and random targets, exclusions, counts, tolerances,
// series and stock lists, through its own inputs and through the window's tables, with the traps
// for floating-point exceptions on.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cfenv>
#include <cmath>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <random>

#include "ReferenceSearch.h"
#include "engine/Arithmetic.h"
#include "engine/Search.h"
#include "engine/Series.h"
#include "engine/WholeOhm.h"
#include "platform/Exception.h"
#include "tables/Tables.h"

using namespace engine;

namespace {

constexpr int kTraps = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

// What each figure must be is held to the step-by-step search below and, for every whole target
// of E24, to the digests of the command line's output; here, what only the tables can be asked.
TEST(SearchTest, CountsOutsideTheTables) {
  InitTable();
  // More values not owned than the table holds (which only code can set aside): refused, the
  // table untouched.
  NoneTable[kNoneCapacity - 1] = -1.0;
  EXPECT_THROW(SetNoneTable(std::vector<double>(kNoneCapacity + 1, 8200)), EListError);
  EXPECT_EQ(NoneTable[kNoneCapacity - 1], -1.0);
  // Counts outside what the tables hold are kept inside them.
  EXPECT_EQ(OhmSift(0, 4700), 0);
  EXPECT_EQ(OhmSift(1000, 1000), kSlotCapacity);
  for (const int count : {-1, 1 << 30}) {
    SetNoneTable(std::vector<double>(kNoneCapacity, 8200));  // the whole table, when read beyond it
    NoneCount = count;
    ASSERT_EQ(OhmSift(15, 4700), 15);
    EXPECT_EQ(WholeOhm(AnsReg1[0]), count < 0 ? 8200 : 5100);
  }
}

TEST(SearchTest, TheSeriesAreTheStandardOnes) {
  const std::span<const double> e[] = {kE3, kE6, kE12, kE24, kE48, kE96, kE192};
  for (int i = 0; i < 7; ++i) {
    EXPECT_TRUE(e[i].size() == std::size_t(3) << i && kSeries[i].mantissas.data() == e[i].data() &&
                kSeries[i].name == "E" + std::to_string(3 << i));
    // Each series is every other value of the next, but E24 of E48; E24 is held, every value of
    // it, to the digests of the command line's output.
    for (std::size_t k = 0; i > 0 && i != 4 && k < e[i - 1].size(); ++k)
      EXPECT_EQ(e[i - 1][k], e[i][2 * k]);
  }
  // E192: 10^(k/192) to three figures, but for 9.20, which the formula makes 9.19.
  for (int k = 0; k < 192; ++k) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", k == 185 ? 9.2 : std::pow(10.0, k / 192.0));
    EXPECT_EQ(kE192[k], std::strtod(text, nullptr)) << k;
  }
}

struct Input {
  std::vector<double> series{std::begin(kE24), std::end(kE24)};
  double target = 4700;
  int count = 15;
  double tolerance = 0.05;
  std::vector<double> without;
  std::optional<std::vector<double>> only;
  bool stock = false;  // only is a stock list, whose values are searched, not the series'
};

// The figures of count pairs, each pair's four as at(k) gives them, as the bits they are.
template <class Pairs>
std::vector<std::uint64_t> Bits(int count, const Pairs& at) {
  std::vector<std::uint64_t> bits;
  for (int k = 0; k < count; ++k) {
    for (const double x : at(k)) bits.push_back(std::bit_cast<std::uint64_t>(x));
  }
  return bits;
}

// The fast search against the step-by-step one, with the traps on: through the search's own
// inputs, and through the window's tables and lists wherever they take the input (E24 within
// 5 %). Machines that cannot trap (most ARM cores) still record an exception in its flag.
void ExpectSame(const Input& in) {
  const reference::Result r =
      in.stock ? reference::SearchStock(*in.only, in.target, in.count, in.tolerance, in.without)
               : reference::Search(
                     in.series, in.target, in.count, in.tolerance, in.without,
                     in.only ? std::optional<std::span<const double>>(*in.only) : std::nullopt);
  const auto want = Bits(r.count, [&](int k) {
    return std::array{r.reg1[k], r.reg2[k], r.value[k], r.error[k]};
  });
  std::feclearexcept(FE_ALL_EXCEPT);
  feenableexcept(kTraps);
  static std::map<std::vector<double>, std::unique_ptr<Sequences>> built;
  std::unique_ptr<Sequences>& sequences = built[in.series];
  if (!sequences) sequences = std::make_unique<Sequences>(in.series);
  const Sequences stock = Sequences::Stock(in.only.value_or(std::vector<double>()));
  Exclusions excluded(in.stock ? stock : *sequences);
  excluded.LeaveOut(in.without);
  if (in.only && !in.stock) excluded.KeepOnly(*in.only);
  const SearchResult found =
      Search(in.stock ? stock : *sequences, excluded, in.target, in.count, in.tolerance);
  const auto got = Bits(found.count, [&](int k) {
    const Pair& p = found.pairs[k];
    return std::array{p.reg1, p.reg2, p.value, p.error};
  });
  if (!in.only && in.series == Input().series && in.tolerance == 0.05 &&
      in.count <= kSlotCapacity && in.without.size() <= kNoneCapacity) {
    InitTable();
    SetNoneTable(in.without);
    TStringList answers(true), used(true);
    answers.Add("~");  // the lists only gain lines
    CalcSub(in.target, answers, used);
    // The used values, once each, ascending, as the search held them, and their lines.
    EXPECT_TRUE(UseCount == used.Count() && answers.Get(answers.Count() - 1) == "~");
    for (int i = 0; i < UseCount && i < used.Count(); ++i) {
      char line[16];
      std::snprintf(line, sizeof line, "%7ld", long{WholeOhm(UseTable[i])});
      const bool held = std::count(AnsReg1, AnsReg1 + kListedPairs, UseTable[i]) +
                        std::count(AnsReg2, AnsReg2 + kListedPairs, UseTable[i]);
      EXPECT_TRUE(used.Get(i) == line && held && (i == 0 || UseTable[i - 1] < UseTable[i]));
    }
    const auto slots = [](int k) {
      return std::array{AnsReg1[k], AnsReg2[k], AnsValue[k], AnsError[k]};
    };
    EXPECT_EQ(Bits(OhmSift(in.count, in.target), slots), want)
        << "through the tables: target " << in.target << " count " << in.count;
  }
  const int raised = std::fetestexcept(kTraps);
  fedisableexcept(FE_ALL_EXCEPT);
  ASSERT_EQ(raised, 0) << "target " << in.target;
  ASSERT_EQ(got, want) << "target " << in.target << " count " << in.count << " tolerance "
                       << in.tolerance << " without " << in.without.size() << " only "
                       << in.only.value_or(std::vector<double>()).size();
}

TEST(SearchTest, SameAsTheStepByStepSearch) {
  std::mt19937_64 random(20261206);
  std::vector<double> values;  // every value of the sequences of two series
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
  const auto some = [&](int n) {
    std::vector<double> chosen;
    for (; n > 0; --n) {
      const double v = values[random() % values.size()];
      chosen.push_back(std::vector{double(WholeOhm(v)), v, WholeOhm(v) + 0.5,
                                   double(random() % 1000000)}[random() % 4]);
    }
    return chosen;
  };
  using Limits = std::numeric_limits<double>;
  // clang-format off
  const double extremes[] = {Limits::quiet_NaN(), Limits::signaling_NaN(), std::bit_cast<double>(0xfff0000000000001ull),
                             Limits::infinity(), -Limits::infinity(), Limits::max(), -Limits::max(), Limits::min(),
                             Limits::denorm_min(), -0.0, 4294967296.5, -2147483648.5, 100, 100.5, 999999.99, 1e6};
  // clang-format on
  // clang-format off
  const std::tuple<const char*, int, std::function<void(int, Input&)>> rows[] = {
      {"every whole target to 20,000, every 37th to 480,000", 19900 + 12433, [](int i, Input& in) {
         in.target = i < 19900 ? 101 + i : 20001 + 37 * (i - 19900); }},
      {"random targets, exclusions and counts", 20000, [&](int, Input& in) {
         in.target = target();
         in.count = 1 + int(random() % kMaxPairs);
         in.without = some(random() % 4 == 0 ? 0 : int(random() % 40)); }},
      {"other band widths, down to none", 800, [&](int i, Input& in) {
         in.tolerance = std::vector{0.0, 1e-9, 1e-6, 0.001, 0.2, 0.5, 0.9, 3.0}[i % 8];
         in.target = target();
         in.count = 1 + i % 30; }},
      {"every series, band width and count, with lists of values kept or searched alone", 1500, [&](int i, Input& in) {
         in.series.assign(kSeries[i % 7].mantissas.begin(), kSeries[i % 7].mantissas.end());
         in.tolerance = std::uniform_real_distribution<double>(1e-4, 0.5)(random);
         in.target = target();
         in.count = 1 + int(random() % kMaxPairs);
         in.without = some(int(random() % 8));
         if (random() % 2) in.only = some(5 + int(random() % 60)), in.stock = random() % 2; }},
      {"targets and values no user can give: NaN (signalling too), infinities, extremes", 400, [&](int i, Input& in) {
         in.target = i % 2 ? extremes[i / 2 % std::size(extremes)] : target();
         in.count = 1 + i % kSlotCapacity;
         for (int j = 0; j < i % 12; ++j) in.without.push_back(random() % 3 ? extremes[random() % 16] : some(1)[0]); }},
      {"pairs exactly on a band's limits, in every series", 1400, [&](int i, Input& in) {
         const std::span<const double> m = kSeries[i % 7].mantissas;
         const auto value = [&] { return arith::Product(m[random() % m.size()], std::pow(10.0, 2 + random() % 4)); };
         in.series.assign(m.begin(), m.end());
         in.tolerance = std::vector{0.01, 0.02, 0.05, 0.1, 0.2, 0.25, 0.5}[i / 7 % 7];
         in.target = std::round(arith::Parallel(value(), value()) / (i % 2 ? 1 - in.tolerance : 1 + in.tolerance));
         in.count = 1 + int(random() % 30); }},
      {"a series out of order", 200, [&](int, Input& in) {
         in.series = {4.7, 1.0, 2.2, 9.1, 3.3, 1.5, 6.8};
         in.target = target(); }},
      {"the best values left out one by one, to the table's last entry", 200, [&, best = std::vector<double>(), group = -1](int i, Input& in) mutable {
         if (i / 40 != group) best.clear(), group = i / 40;  // then one more a round: the best without the others
         in.target = (group + 1) * 1237.0;
         const reference::Result r = reference::Search(in.series, in.target, 1, 0.05, best);
         best.push_back(r.count > 0 ? r.reg1[0] : 1e9);
         in.without.assign(kNoneCapacity - best.size(), 1e9);
         in.without.insert(in.without.end(), best.begin(), best.end()); }},
  };
  // clang-format on
  // Under the sanitizers, whose checks make every step many times slower, every thin-th round.
  const char* thinned = std::getenv("OHMSIFT_TEST_THIN");
  const int thin = std::max(1, thinned != nullptr ? std::atoi(thinned) : 1);
  for (const auto& [name, rounds, make] : rows) {
    SCOPED_TRACE(name);
    for (int i = 0; i < rounds && !HasFatalFailure(); i += thin) {
      Input in;
      make(i, in);
      ExpectSame(in);
    }
  }
  InitTable();
}

}  // namespace
