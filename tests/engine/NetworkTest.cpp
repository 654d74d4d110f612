// The network search held bit for bit, in order, to the step-by-step one: whole series and one
// decade with up to four resistors, random stock lists, bands, counts and connections, and targets
// where networks tie: a value itself, a band of no width, a band's limit exactly on a network.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>

#include "ReferenceNetworks.h"
#include "engine/Arithmetic.h"
#include "engine/Networks.h"
#include "engine/Series.h"

using namespace engine;
using namespace engine::networks;

namespace {

std::vector<double> Decades(std::span<const double> mantissas, double from, double to) {
  std::vector<double> values;
  for (double decade = from; decade <= to; decade *= 10)
    for (const double m : mantissas) values.push_back(arith::Product(m, decade));
  return values;
}

// Integers, so that sums tie often, or two figures times a power of ten.
std::vector<double> Stock(std::mt19937_64& random) {
  std::vector<double> values(2 + random() % 50);
  const bool whole = random() % 2;
  for (double& x : values)
    x = whole ? double(1 + random() % 200) : double(10 + random() % 90) * std::pow(10.0, random() % 6);
  return values;
}

struct Row {
  const char* name;
  int parts;  // 0: any
  std::function<std::vector<double>(std::mt19937_64&)> values;
};
const Row kRows[] = {
    {"E3", 4, [](auto&) { return Decades(kE3, 1, 1e6); }},
    {"E6", 4, [](auto&) { return Decades(kE6, 1, 1e6); }},
    {"E12", 4, [](auto&) { return Decades(kE12, 1, 1e6); }},
    {"E24", 3, [](auto&) { return Decades(kE24, 1, 1e6); }},
    {"E96 1k-10k", 4, [](auto&) { return Decades(kE96, 1000, 1000); }},
    {"stock", 0, Stock}, {"stock", 0, Stock}, {"stock", 0, Stock}, {"stock", 4, Stock},
};

std::string Describe(const Network& x) {
  char text[96];
  std::snprintf(text, sizeof text, "%a %a shape %d:", x.value, x.error, int(x.shape));
  std::string line = text;
  for (int k = 0; k < x.parts; ++k)
    line += " " + std::to_string(x.member[k]) + "/" + std::to_string(x.member[x.order[k]]);
  return line;
}

void Leaves(const Term& term, std::string& out) {
  if (term.kind == Term::kValue) out += " " + std::to_string(term.value);
  for (const Term& member : term.members) Leaves(member, out);
}

class NetworkTest : public testing::TestWithParam<int> {};

TEST_P(NetworkTest, MatchesTheStepByStepSearch) {
  const Row& row = kRows[GetParam()];
  std::mt19937_64 random(20261207 + GetParam());
  std::vector<double> values = row.values(random);
  std::sort(values.begin(), values.end());
  values.erase(std::unique(values.begin(), values.end()), values.end());
  const int parts = row.parts ? row.parts : int(1 + random() % 4);
  const auto pick = [&] { return values[random() % values.size()]; };
  const auto uniform = [&](double a, double b) { return std::uniform_real_distribution(a, b)(random); };
  std::vector<reference::NetworkQuery> queries;
  for (int i = 0; i < 15; ++i) {
    double target = std::exp(uniform(-1, std::log(values.back() * 5))), tolerance = uniform(0, 0.3);
    int count = int(1 + random() % 100);
    const double v = pick(), w = pick(), network = i % 2 ? arith::Sum(v, w) : arith::Parallel(v, w);
    if (i % 5 == 0) target = v;  // a value: every network of that value ties at no error
    if (i % 5 == 1) target = network, tolerance = 0;
    if (i % 5 == 2) {  // a limit exactly on a network, with all in the band listed
      tolerance = 1.0 / 512, count = 100, target = network / (i % 2 ? 1 + tolerance : 1 - tolerance);
      for (int step = 0; step < 4 && arith::Scaled(i % 2 ? tolerance : -tolerance, target) != network; ++step)
        target = std::nextafter(target, arith::Scaled(i % 2 ? tolerance : -tolerance, target) < network ? 1e300 : 0);
    }
    queries.push_back({target, tolerance, Connect(random() % 3), count});
  }
  const Tables tables(values, parts);
  ASSERT_TRUE(std::equal(values.begin(), values.end(), tables.values().begin(), tables.values().end()));
  const auto expected = reference::Networks(values, parts, queries);
  for (std::size_t q = 0; q < queries.size(); ++q) {
    const auto& [target, tolerance, connect, count] = queries[q];
    Network out[kMaxNetworks];
    const int found = Search(tables, target, tolerance, connect, std::span(out, std::size_t(count)));
    ASSERT_EQ(std::size_t(found), expected[q].size()) << row.name << " " << target << " " << tolerance;
    for (int k = 0; k < found; ++k) {
      std::string leaves, written;
      Leaves(Written(out[k]), leaves);
      for (int j = 0; j < out[k].parts; ++j) written += " " + std::to_string(out[k].member[out[k].order[j]]);
      EXPECT_EQ(leaves, written);
      ASSERT_EQ(Describe(out[k]), Describe(expected[q][k]))
          << row.name << " parts " << parts << " target " << target << " tolerance " << tolerance
          << " connect " << int(connect) << " count " << count << " rank " << k;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, NetworkTest, testing::Range(0, int(std::size(kRows))));

}  // namespace
