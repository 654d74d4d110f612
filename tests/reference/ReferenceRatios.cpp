#include "ReferenceRatios.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <tuple>

#include "engine/Arithmetic.h"

namespace reference {

using namespace engine::ratios;
using engine::networks::Network;
using engine::networks::Shape;
namespace arith = engine::arith;

namespace {

// A value's significant decimal digits and the power of ten of its last one, read from printf.
std::pair<std::string, int> Decimal(double v) {
  char text[64];
  int n = 1;  // the fewest digits that read back as v
  for (; n < 17; ++n) {
    std::snprintf(text, sizeof text, "%.*e", n - 1, v);
    if (std::strtod(text, nullptr) == v) break;
  }
  std::snprintf(text, sizeof text, "%.*e", n - 1, v);
  std::string digits(text, std::strchr(text, 'e'));
  digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  return {digits, std::atoi(std::strchr(text, 'e') + 1) - int(digits.size()) + 1};
}

double Formula(const Problem& p, double s, double i, double a, double b) {
  switch (p.formula) {
    case engine::ratios::Formula::kDivider:
      return arith::Divider(s, a, b);
    case engine::ratios::Formula::kFeedback:
      return arith::Feedback(s, i, a, b);
    case engine::ratios::Formula::kAdjust:
      return arith::Adjust(s, i, a, b);
    case engine::ratios::Formula::kRatio:
      break;
  }
  return arith::Ratio(a, b);
}

struct Candidate {
  Result r;
  std::string family;  // the same for copies scaled by a power of ten
  double fromMiddle;
};

}  // namespace

std::vector<Result> Ratios(const std::vector<double>& v, double spread, const Problem& p,
                           double wanted, double tolerance, int count) {
  const double a = arith::Scaled(-tolerance, wanted), b = arith::Scaled(tolerance, wanted);
  const double lower = std::min(a, b), upper = std::max(a, b);
  // Every position, with its members' decimals: the class of its copies.
  struct Position {
    Network n;
    std::vector<int> members;
  };
  std::vector<Position> positions;
  const int n = int(v.size());
  for (int i = 0; i < n; ++i)
    positions.push_back({{v[i], 0, Shape::kSingle, 1, {std::uint16_t(i)}}, {i}});
  for (int i = 0; i < n && p.parts >= 3; ++i)
    for (int j = i; j < n; ++j) {
      if (v[j] > arith::Product(spread, v[i])) continue;
      if (p.connect != engine::networks::Connect::kParallel)
        positions.push_back(
            {{arith::Sum(v[i], v[j]), 0, Shape::kSeries2, 2, {std::uint16_t(i), std::uint16_t(j)}},
             {i, j}});
      if (p.connect != engine::networks::Connect::kSeries)
        positions.push_back({{arith::Parallel(v[i], v[j]),
                              0,
                              Shape::kParallel2,
                              2,
                              {std::uint16_t(i), std::uint16_t(j)}},
                             {i, j}});
    }
  const auto limit = [&](const Position& q, double offset) {
    const double x = arith::Scaled(offset, v[q.members[0]]);
    if (q.n.shape == Shape::kSingle) return x;
    const double y = arith::Scaled(offset, v[q.members[1]]);
    return q.n.shape == Shape::kSeries2 ? arith::Sum(x, y) : arith::Parallel(x, y);
  };
  std::vector<Candidate> candidates;
  for (const Position& r1 : positions)
    for (const Position& r2 : positions) {
      if (r1.n.parts + r2.n.parts > p.parts) continue;
      const double total = arith::Sum(r1.n.value, r2.n.value);
      if (total < p.totalLow || total > p.totalHigh) continue;
      const double value = Formula(p, p.source.typ, p.current.typ, r1.n.value, r2.n.value);
      if (value < lower || value > upper) continue;
      double low = HUGE_VAL, high = -HUGE_VAL;  // every corner, tried
      for (const double ra : {limit(r1, -p.partTolerance), limit(r1, p.partTolerance)})
        for (const double rb : {limit(r2, -p.partTolerance), limit(r2, p.partTolerance)})
          for (const double s : {p.source.min, p.source.max})
            for (const double i : {p.current.min, p.current.max})
              low = std::min(low, Formula(p, s, i, ra, rb)),
              high = std::max(high, Formula(p, s, i, ra, rb));
      if (p.within && (low < p.withinLow || high > p.withinHigh)) continue;
      Candidate c{{r1.n, r2.n, value, arith::RelativeError(wanted, value), low, high, total,
                   r1.n.parts + r2.n.parts},
                  "",
                  0};
      // Shapes, each member's digits, and each member's power of ten against the first's.
      const int base = Decimal(v[r1.members[0]]).second;
      for (const Position* q : {&r1, &r2}) {
        c.family += std::to_string(int(q->n.shape)) + ":";
        for (const int m : q->members) {
          const auto [digits, exponent] = Decimal(v[m]);
          c.family += digits + "e" + std::to_string(exponent - base) + ",";
        }
      }
      const double q = total * total / (p.totalLow * p.totalHigh);
      c.fromMiddle = q >= 1 ? q : 1 / q;
      candidates.push_back(c);
    }
  // Of each family, the one nearest the middle, of two as near the smaller total.
  std::map<std::string, Candidate> nearest;
  for (const Candidate& c : candidates) {
    auto [at, fresh] = nearest.emplace(c.family, c);
    if (!fresh &&
        std::tie(c.fromMiddle, c.r.total) < std::tie(at->second.fromMiddle, at->second.r.total))
      at->second = c;
  }
  std::vector<Result> results;
  for (const auto& [family, c] : nearest) results.push_back(c.r);
  // The width to a part in 10^9 of the wanted value, rounded.
  const auto key = [&](const Result& r) {
    return std::tuple(std::fabs(r.error), r.parts, std::llround((r.high - r.low) / std::fabs(wanted) * 1e9), r.r1.value, r.r2.value,
                      r.r1.shape, r.r2.shape, r.r1.member[0], r.r1.member[1], r.r2.member[0],
                      r.r2.member[1]);
  };
  std::sort(results.begin(), results.end(),
            [&](const Result& x, const Result& y) { return key(x) < key(y); });
  if (int(results.size()) > count) results.resize(std::size_t(count));
  return results;
}

}  // namespace reference
