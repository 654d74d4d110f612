// The ratio search held bit for bit, in order, to the step-by-step one: E12 and E24 single
// resistors and E6 with up to four over their whole range, random stock lists; each formula with
// targets in reach, bands, totals, counts, connections, spreads, ranges of the source and of the
// pin's current, tolerances of the parts, and limits the worst case must keep within.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <random>

#include "ReferenceRatios.h"
#include "engine/Arithmetic.h"
#include "engine/Sequences.h"
#include "engine/Series.h"

using namespace engine;
using namespace engine::ratios;

namespace {

// A series from 0.1 ohm to 10 megohms, or with no mantissas a random stock list.
struct Row {
  std::span<const double> mantissas;
  int parts;
  double spread;
} const kRows[] = {{kE12, 2, 100}, {kE24, 2, 100}, {kE6, 4, 100},    {kE6, 3, HUGE_VAL},
                   {{}, 2, 10},    {{}, 3, 100},   {{}, 4, HUGE_VAL}};

std::string Describe(const Result& r) {
  std::string line;
  for (const networks::Network* n : {&r.r1, &r.r2})
    line += std::to_string(int(n->shape)) + ":" + std::to_string(n->member[0]) +
            (n->parts > 1 ? "," + std::to_string(n->member[1]) : "") + " ";
  for (const double x : {r.value, r.error, r.low, r.high, r.total})
    line += std::to_string(std::bit_cast<std::uint64_t>(x)) + " ";
  return line + std::to_string(r.parts) + "\n";
}

class RatioTest : public testing::TestWithParam<int> {};

TEST_P(RatioTest, MatchesTheStepByStepSearch) {
  const Row& row = kRows[GetParam()];
  std::mt19937_64 random(20261208 + GetParam());
  const auto uniform = [&](double a, double b) {
    return std::uniform_real_distribution(a, b)(random);
  };
  // Stock values whole and often a decade apart, so that copies scaled by ten are common.
  std::vector<double> values = SeriesValues(row.mantissas);
  for (int k = 0; row.mantissas.empty() && k < 12 + int(random() % 24); ++k)
    values.push_back(std::vector{double(1 + random() % 99), 10.0, 100.0, 1000.0}[random() % 4] *
                     std::pow(10, random() % 4));
  values = SortedDistinct(values);
  const networks::Tables tables(values, row.parts >= 3 ? 2 : 1, row.spread);
  const Positions positions(tables);
  for (int q = 0; q < 24; ++q) {
    Problem p;
    p.formula = Formula(q % 4);
    p.parts = row.parts;
    p.connect = networks::Connect(q % 3);
    const double s = std::array{12.0, 5.0, -15.0, 0.8, 1.25}[random() % 5];
    const double spread = q % 3 == 0 ? 0 : uniform(0, 0.05);
    p.source = {s * (1 - spread), s, s * (1 + spread)};
    if (s < 0) std::swap(p.source.min, p.source.max);
    if (q % 2 && p.formula != Formula::kDivider && p.formula != Formula::kRatio)
      p.current = {0, uniform(0, 1e-4), 1e-4};
    p.partTolerance = std::array{0.0, 0.001, 0.01, 0.05}[random() % 4];
    if (q % 5 == 4) p.totalLow = uniform(1, 1e4), p.totalHigh = p.totalLow * uniform(1, 1e3);
    // A target in reach, now and then exactly a ratio of two values.
    const double x = values[random() % values.size()], y = values[random() % values.size()];
    double wanted = 0;
    switch (p.formula) {
      case Formula::kDivider:
        wanted = q % 3 ? s * uniform(0.05, 0.95) : arith::Divider(s, x, y);
        break;
      case Formula::kFeedback:
        wanted = s * uniform(1.1, 20);
        break;
      case Formula::kAdjust:
        wanted = s * uniform(1.1, 20);
        break;
      case Formula::kRatio:
        wanted = q % 3 ? std::exp(uniform(-3, 3)) : arith::Ratio(x, y);
        break;
    }
    const double tolerance = std::array{0.0, 0.001, 0.01, 0.05, 0.2}[random() % 5];
    if (q % 4 == 3)
      p.within = true, p.withinLow = wanted - std::fabs(wanted) * 0.03,
      p.withinHigh = wanted + std::fabs(wanted) * 0.03;
    const int count = 1 + int(random() % 40);
    Result out[kMaxResults];
    const int n = Search(positions, p, wanted, tolerance, std::span(out, std::size_t(count)));
    std::string found, expected;
    for (int k = 0; k < n; ++k) found += Describe(out[k]);
    for (const Result& r : reference::Ratios(values, row.spread, p, wanted, tolerance, count))
      expected += Describe(r);
    ASSERT_EQ(found, expected) << "formula " << int(p.formula) << ", wanted " << wanted
                               << ", query " << q;
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, RatioTest, testing::Range(0, int(std::size(kRows))));

}  // namespace
