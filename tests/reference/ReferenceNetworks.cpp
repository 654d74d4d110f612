#include "ReferenceNetworks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <tuple>

#include "engine/Arithmetic.h"

namespace reference {

using namespace engine::networks;
using enum Shape;
using enum Connect;
using L = std::array<int, 4>;
namespace arith = engine::arith;

std::vector<std::vector<Network>> Networks(const std::vector<double>& v, int parts, double spread,
                                           std::span<const NetworkQuery> queries) {
  std::vector<std::vector<Network>> best(queries.size());
  std::vector<double> lower, upper;
  for (const NetworkQuery& q : queries)
    lower.push_back(arith::Scaled(-q.tolerance, q.target)), upper.push_back(arith::Scaled(q.tolerance, q.target));
  // By |error|, fewer resistors, fewer different values, shape, the values as written, then the
  // values by letters (the values ascend, so their indexes compare as they do).
  const auto key = [](const Network& x) {
    const std::set<int> different(x.member, x.member + x.parts);
    return std::tuple(std::fabs(x.error), x.parts, different.size(), x.shape, x.member[x.order[0]], x.member[x.order[1]],
                      x.member[x.order[2]], x.member[x.order[3]], x.member[0], x.member[1], x.member[2], x.member[3]);
  };
  const auto before = [&key](const Network& x, const Network& y) { return key(x) < key(y); };
  // A network with groups of one kind (kSeries or kParallel) or of both (kAny): its members by
  // letters, then its letters in the order written, each group's members ascending by value.
  const auto judge = [&](Shape shape, Connect kind, int n, double value, L m, L order = {0, 1, 2, 3}) {
    for (std::size_t q = 0; q < queries.size(); ++q) {
      const auto& [target, tolerance, connect, count] = queries[q];
      if ((connect != kAny && shape != kSingle && kind != connect) || value < lower[q] || value > upper[q]) continue;
      // The largest member against spread times the smallest.
      const auto [least, most] = std::minmax_element(m.begin(), m.begin() + n);
      if (v[std::size_t(*most)] > arith::Product(spread, v[std::size_t(*least)])) continue;
      Network x{value, arith::RelativeError(target, value), shape, std::uint8_t(n), {}, {}};
      for (int k = 0; k < 4; ++k) x.member[k] = std::uint16_t(m[k]), x.order[k] = std::uint8_t(order[k]);
      if (int(best[q].size()) == count && !before(x, best[q].back())) continue;
      best[q].insert(std::upper_bound(best[q].begin(), best[q].end(), x, before), x);
      if (int(best[q].size()) > count) best[q].pop_back();
    }
  };
  const int n = static_cast<int>(v.size());
  for (int a = 0; a < n; ++a) judge(kSingle, kAny, 1, v[a], {a});
  for (const bool so : {true, false}) {  // series outside and parallel inside, then the other way
    const auto out = so ? arith::Sum : arith::Parallel, in = so ? arith::Parallel : arith::Sum;
    const Connect pure = so ? kSeries : kParallel;
    const auto shape = [so](Shape s, Shape p) { return so ? s : p; };
    for (int b = 0; b < n && parts >= 2; ++b)
      for (int c = b; c < n; ++c) {
        judge(shape(kSeries2, kParallel2), pure, 2, out(v[b], v[c]), {b, c});
        const double x = in(v[b], v[c]);
        for (int a = 0; a < n && parts >= 3; ++a) {  // a + (b || c); a + b + c
          judge(shape(kSeriesWithParallel, kParallelWithSeries), kAny, 3, out(v[a], x), {a, b, c},
                v[a] <= x ? L{0, 1, 2} : L{1, 2, 0});
          if (a <= b) judge(shape(kSeries3, kParallel3), pure, 3, out(out(v[a], v[b]), v[c]), {a, b, c});
        }
        for (int d = c; d < n && parts >= 4; ++d) {
          const double y = in(x, v[d]);
          for (int a = 0; a < n; ++a) {  // a + (b || c || d); a + b + c + d
            const L order = v[a] <= y ? L{0, 1, 2, 3} : L{1, 2, 3, 0};
            judge(shape(kSeriesWithParallel3, kParallelWithSeries3), kAny, 4, out(v[a], y), {a, b, c, d}, order);
            if (a <= b) judge(shape(kSeries4, kParallel4), pure, 4, out(out(out(v[a], v[b]), v[c]), v[d]), {a, b, c, d});
          }
        }
      }
    for (int c = 0; c < n && parts >= 4; ++c)
      for (int d = c; d < n; ++d) {
        const double x = in(v[c], v[d]), y = out(v[c], v[d]);
        for (int b = 0; b < n; ++b) {
          const double w = in(v[b], y);
          for (int a = 0; a < n; ++a) {  // a + (b || (c + d)), written in one of four orders
            judge(shape(kSeriesParallelSeries, kParallelSeriesParallel), kAny, 4, out(v[a], w), {a, b, c, d},
                  std::array<L, 4>{{{0, 1, 2, 3}, {0, 2, 3, 1}, {1, 2, 3, 0}, {2, 3, 1, 0}}}[2 * (w < v[a]) + (y < v[b])]);
            if (a > b) continue;
            const double z = in(v[a], v[b]);  // (a || b) + (c || d), the first group no greater
            if (std::tuple(z, v[a], v[b]) <= std::tuple(x, v[c], v[d]))
              judge(shape(kSeriesOfParallelPairs, kParallelOfSeriesPairs), kAny, 4, out(z, x), {a, b, c, d});
            // a + b + (c || d), its members folded in ascending order: low, middle, high
            judge(shape(kSeries2WithParallel, kParallel2WithSeries), kAny, 4,
                  out(out(std::min(v[a], x), std::max(v[a], std::min(v[b], x))), std::max(v[b], x)), {a, b, c, d},
                  x < v[a] ? L{2, 3, 0, 1} : x < v[b] ? L{0, 2, 3, 1} : L{0, 1, 2, 3});
          }
        }
      }
  }
  return best;
}

}  // namespace reference
