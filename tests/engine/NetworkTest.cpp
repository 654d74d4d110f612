// The network search held bit for bit, in order, to the step-by-step one: whole series and one
// decade with up to four resistors, random stock lists, spreads, bands, counts and connections, and
// targets where networks tie: a value itself, a band of no width, a band's limit exactly on a
// network.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <random>

#include "ReferenceNetworks.h"
#include "engine/Arithmetic.h"
#include "engine/Series.h"

using namespace engine;
using namespace engine::networks;

namespace {

// A series over the decades from..to, or with no mantissas a random stock list; the spread its
// networks may have (the command line's default, none, and narrow ones that cut most networks).
constexpr double kAny = HUGE_VAL;
struct Row { std::span<const double> mantissas; double from, to; int parts; double spread; } const kRows[] = {
    {kE3, 0.1, 1e6, 4, 100}, {kE6, 0.1, 1e6, 4, kAny}, {kE12, 0.1, 1e6, 4, 100}, {kE24, 0.1, 1e6, 3, 100},
    {kE24, 1, 1e6, 3, kAny}, {kE96, 1e3, 1e3, 4, 1.5}, {{}, 1, 0, 1, 100}, {{}, 1, 0, 2, 3},
    {{}, 1, 0, 3, kAny}, {{}, 1, 0, 4, 10}, {{}, 1, 0, 4, kAny}};

// A line of its figures' bits, shape and members as written: by the letters' order, or by the
// leaves of Written's terms.
std::string Describe(const Network& x, bool written) {
  std::string line = std::to_string(std::bit_cast<std::uint64_t>(x.value)) + " " +
                     std::to_string(std::bit_cast<std::uint64_t>(x.error)) + " " + std::to_string(int(x.shape));
  const auto leaves = [&line](auto& self, const Term& t) -> void {
    if (t.kind == Term::kValue) line += " " + std::to_string(t.value);
    for (const Term& member : t.members) self(self, member);
  };
  for (int k = 0; k < x.parts && !written; ++k) line += " " + std::to_string(x.member[x.order[k]]);
  if (written) leaves(leaves, Written(x));
  return line + "\n";
}

class NetworkTest : public testing::TestWithParam<int> {};

TEST_P(NetworkTest, MatchesTheStepByStepSearch) {
  const Row& row = kRows[GetParam()];
  std::mt19937_64 random(20261207 + GetParam());
  // Stock values whole, so that sums tie often, and some twice the one before, so that a value ties
  // with a group (a + (2a || 2a)); under the sanitizers, which make
  // every step many times slower (OHMSIFT_TEST_THIN), the lower values only of the long series.
  std::vector<double> values(row.mantissas.empty() ? 2 + random() % 50 : 0);
  for (std::size_t k = 0; k < values.size(); ++k)
    values[k] = !k ? 1 : random() % 3 ? values[k - 1] + double(1 + random() % 40) : 2 * values[k - 1];
  if (row.from < 1) values = SeriesValues(row.mantissas);  // the command line's: 0.1 ohm to 10 megohms
  for (double decade = row.from; decade <= row.to && row.from >= 1; decade *= 10)
    for (const double m : row.mantissas) values.push_back(arith::Product(m, decade));
  if (const char* thin = std::getenv("OHMSIFT_TEST_THIN"); thin && row.parts == 4 && values.size() > 60)
    values.resize(values.size() / std::max(1, std::atoi(thin)));
  const auto pick = [&] { return values[random() % values.size()]; };
  const auto uniform = [&](double a, double b) { return std::uniform_real_distribution(a, b)(random); };
  std::vector<reference::NetworkQuery> queries;
  for (int i = 0; i < 12; ++i) {
    // A value, where every network of that value ties at no error; a band of no width on a
    // network; a band's limit exactly on one, with all in the band kept; anywhere.
    const double v = pick(), network = i % 2 ? arith::Sum(v, pick()) : arith::Parallel(v, pick());
    const double side = std::ldexp(i % 8 < 4 ? 1 : -1, -20);
    double target = std::array{v, network, network / (1 + side), std::exp(uniform(-1, std::log(values.back() * 5)))}[i % 4];
    for (int step = 0; i % 4 == 2 && step < 4 && arith::Scaled(side, target) != network; ++step)
      target = std::nextafter(target, arith::Scaled(side, target) < network ? 1e300 : 0);
    const double tolerance = i % 4 == 1 ? 0 : i % 4 == 2 ? std::fabs(side) : uniform(0, 0.3);
    queries.push_back({target, tolerance, Connect(i % 3), i % 4 == 2 ? 100 : int(1 + random() % 100)});
  }
  // The values given backwards, the first twice.
  const Tables tables([&] { std::vector<double> g(values.rbegin(), values.rend()); g.push_back(values[0]); return g; }(), row.parts, row.spread);
  const auto expected = reference::Networks(values, row.parts, row.spread, queries);
  for (std::size_t q = 0; q < queries.size(); ++q) {
    const auto& [target, tolerance, connect, count] = queries[q];
    Network out[kMaxNetworks];
    std::string found, wanted;
    const int n = Search(tables, target, tolerance, connect, std::span(out, std::size_t(count)));
    for (int k = 0; k < n; ++k) found += Describe(out[k], true);
    for (const Network& x : expected[q]) wanted += Describe(x, false);
    ASSERT_EQ(found, wanted) << row.parts << " parts, target " << target << ", query " << q;
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, NetworkTest, testing::Range(0, int(std::size(kRows))));

}  // namespace
