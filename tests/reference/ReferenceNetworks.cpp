#include "ReferenceNetworks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>

#include "engine/Arithmetic.h"

namespace reference {
namespace {

using engine::networks::Connect;
using engine::networks::Network;
using engine::networks::Shape;
using Letters = std::array<int, 4>;
using Fold = double (*)(double, double);
double S(double x, double y) { return engine::arith::Sum(x, y); }
double P(double x, double y) { return engine::arith::Parallel(x, y); }

struct Judge {
  const std::vector<double>& v;
  std::span<const NetworkQuery> queries;
  std::vector<std::vector<Network>> best;
  std::vector<double> lower, upper;  // each query's band

  // By |error|, fewer resistors, shape, the values as written, the values by letters.
  auto Key(const Network& x) const {
    std::array<double, 4> written{}, letters{};
    for (int k = 0; k < x.parts; ++k) written[k] = v[x.member[x.order[k]]], letters[k] = v[x.member[k]];
    return std::tuple(std::fabs(x.error), x.parts, x.shape, written, letters);
  }
  // A network: members by letters, then the letters in the order written.
  void operator()(Shape shape, int parts, double value, Letters m, Letters order = {0, 1, 2, 3}) {
    const bool single = shape == Shape::kSingle;
    const bool series = single || shape == Shape::kSeries2 || shape == Shape::kSeries3 ||
                        shape == Shape::kSeries4;
    const bool parallel = single || shape == Shape::kParallel2 || shape == Shape::kParallel3 ||
                          shape == Shape::kParallel4;
    for (std::size_t q = 0; q < queries.size(); ++q) {
      const NetworkQuery& query = queries[q];
      if ((query.connect == Connect::kSeries && !series) ||
          (query.connect == Connect::kParallel && !parallel) ||
          !(lower[q] <= value && value <= upper[q]))
        continue;
      Network x{value, engine::arith::RelativeError(query.target, value), shape,
                static_cast<std::uint8_t>(parts), {}, {}};
      for (int k = 0; k < 4; ++k) x.member[k] = std::uint16_t(m[k]), x.order[k] = std::uint8_t(order[k]);
      std::vector<Network>& kept = best[q];
      const auto before = [this](const Network& a, const Network& b) { return Key(a) < Key(b); };
      if (int(kept.size()) == query.count && !before(x, kept.back())) continue;
      kept.insert(std::upper_bound(kept.begin(), kept.end(), x, before), x);
      if (int(kept.size()) > query.count) kept.pop_back();
    }
  }
};

// The three members of one group folded in ascending order of value.
double Fold3(Fold f, double x, double y, double z) {
  std::array<double, 3> m{x, y, z};
  std::sort(m.begin(), m.end());
  return f(f(m[0], m[1]), m[2]);
}

}  // namespace

std::vector<std::vector<Network>> Networks(const std::vector<double>& v, int parts,
                                           std::span<const NetworkQuery> queries) {
  Judge judge{v, queries, std::vector<std::vector<Network>>(queries.size()), {}, {}};
  for (const NetworkQuery& q : queries) {
    judge.lower.push_back(engine::arith::Scaled(-q.tolerance, q.target));
    judge.upper.push_back(engine::arith::Scaled(q.tolerance, q.target));
  }
  const int n = static_cast<int>(v.size());
  for (int a = 0; a < n; ++a) judge(Shape::kSingle, 1, v[a], {a});
  // Each pattern twice: with series outside and parallel inside, then the other way round.
  for (const bool seriesOut : {true, false}) {
    const Fold out = seriesOut ? S : P, in = seriesOut ? P : S;
    const auto shape = [seriesOut](Shape s, Shape p) { return seriesOut ? s : p; };
    for (int a = 0; a < n && parts >= 2; ++a) {
      for (int b = a; b < n; ++b) judge(shape(Shape::kSeries2, Shape::kParallel2), 2, out(v[a], v[b]), {a, b});
    }
    for (int a = 0; a < n && parts >= 3; ++a) {
      for (int b = a; b < n; ++b)
        for (int c = b; c < n; ++c)
          judge(shape(Shape::kSeries3, Shape::kParallel3), 3, out(out(v[a], v[b]), v[c]), {a, b, c});
    }
    for (int b = 0; b < n && parts >= 3; ++b) {  // a + (b || c)
      for (int c = b; c < n; ++c) {
        const double x = in(v[b], v[c]);
        for (int a = 0; a < n; ++a)
          judge(shape(Shape::kSeriesWithParallel, Shape::kParallelWithSeries), 3, out(v[a], x),
                {a, b, c}, v[a] <= x ? Letters{0, 1, 2} : Letters{1, 2, 0});
      }
    }
    if (parts < 4) continue;
    for (int a = 0; a < n; ++a) {
      for (int b = a; b < n; ++b)
        for (int c = b; c < n; ++c)
          for (int d = c; d < n; ++d)
            judge(shape(Shape::kSeries4, Shape::kParallel4), 4, out(out(out(v[a], v[b]), v[c]), v[d]),
                  {a, b, c, d});
    }
    for (int a = 0; a < n; ++a) {  // (a + b) || (c + d), the group written first no greater
      for (int b = a; b < n; ++b)
        for (int c = 0; c < n; ++c)
          for (int d = c; d < n; ++d) {
            const double x = in(v[a], v[b]), y = in(v[c], v[d]);
            if (std::tuple(x, v[a], v[b]) <= std::tuple(y, v[c], v[d]))
              judge(shape(Shape::kSeriesOfParallelPairs, Shape::kParallelOfSeriesPairs), 4, out(x, y),
                    {a, b, c, d});
          }
    }
    for (int b = 0; b < n; ++b) {  // a + (b || c || d)
      for (int c = b; c < n; ++c)
        for (int d = c; d < n; ++d) {
          const double x = in(in(v[b], v[c]), v[d]);
          for (int a = 0; a < n; ++a)
            judge(shape(Shape::kSeriesWithParallel3, Shape::kParallelWithSeries3), 4, out(v[a], x),
                  {a, b, c, d}, v[a] <= x ? Letters{0, 1, 2, 3} : Letters{1, 2, 3, 0});
        }
    }
    for (int c = 0; c < n; ++c) {  // a + b + (c || d)
      for (int d = c; d < n; ++d) {
        const double x = in(v[c], v[d]);
        for (int a = 0; a < n; ++a)
          for (int b = a; b < n; ++b)
            judge(shape(Shape::kSeries2WithParallel, Shape::kParallel2WithSeries), 4,
                  Fold3(out, v[a], v[b], x), {a, b, c, d},
                  x < v[a] ? Letters{2, 3, 0, 1} : x < v[b] ? Letters{0, 2, 3, 1} : Letters{0, 1, 2, 3});
      }
    }
    for (int c = 0; c < n; ++c) {  // a + (b || (c + d))
      for (int d = c; d < n; ++d) {
        const double x = out(v[c], v[d]);
        for (int b = 0; b < n; ++b) {
          const double y = in(v[b], x);
          const Letters inner = v[b] <= x ? Letters{1, 2, 3} : Letters{2, 3, 1};
          for (int a = 0; a < n; ++a)
            judge(shape(Shape::kSeriesParallelSeries, Shape::kParallelSeriesParallel), 4, out(v[a], y),
                  {a, b, c, d},
                  v[a] <= y ? Letters{0, inner[0], inner[1], inner[2]}
                            : Letters{inner[0], inner[1], inner[2], 0});
        }
      }
    }
  }
  return judge.best;
}

}  // namespace reference
