#include "ReferenceSearch.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/Arithmetic.h"
#include "engine/WholeOhm.h"

namespace reference {
namespace {

using engine::WholeOhm;
namespace arith = engine::arith;

bool Matches(double r, std::span<const double> list) {
  return std::any_of(list.begin(), list.end(),
                     [r](double e) { return WholeOhm(e) == WholeOhm(r); });
}

// Every pair of a first and a second value, both above the target, the first no larger, neither
// excluded; for each first value until a parallel value reaches the band's top.
template <class Excluded>
Result Pairs(const std::vector<double>& firsts, const std::vector<double>& seconds, double target,
             int count, double tolerance, Excluded excluded) {
  Result out;
  if (!(target > 100 && target < 1000000) || count < 1) return out;
  const double lower = arith::Scaled(-tolerance, target);
  const double upper = arith::Scaled(tolerance, target);
  const auto offer = [&](double r1, double r2, double p) {
    const double e = std::fabs(arith::RelativeError(target, p));
    int slot = out.count;
    if (out.count < count) {
      ++out.count;
    } else {  // the first of the largest errors, if the new one is strictly smaller
      slot = 0;
      for (int s = 1; s < out.count; ++s) {
        if (out.error[s] > out.error[slot]) slot = s;
      }
      if (!(out.error[slot] > e)) return;
    }
    std::tie(out.reg1[slot], out.reg2[slot], out.value[slot], out.error[slot]) =
        std::tie(r1, r2, p, e);
  };
  for (const double r1 : firsts) {
    if (!(r1 > target) || excluded(r1)) continue;
    for (const double r2 : seconds) {
      if (r2 <= target || r2 < r1 || excluded(r2)) continue;
      const double p = arith::Parallel(r1, r2);
      if (lower <= p && p <= upper) offer(r1, r2, p);
      if (p >= upper) break;
    }
  }
  // Bubble sort by error, then the signed errors.
  for (bool exchanged = true; exchanged;) {
    exchanged = false;
    for (int s = 0; s + 1 < out.count; ++s) {
      if (out.error[s] > out.error[s + 1]) {
        for (double* table : {out.reg1, out.reg2, out.value, out.error})
          std::swap(table[s], table[s + 1]);
        exchanged = true;
      }
    }
  }
  for (int s = 0; s < out.count; ++s) out.error[s] = arith::RelativeError(target, out.value[s]);
  return out;
}

}  // namespace

Result Search(std::span<const double> series, double target, int count, double tolerance,
              std::span<const double> without, std::optional<std::span<const double>> only) {
  // A value of the sequence: series[i] times the decade; 0.0 past a decade's end.
  const auto value = [&](std::size_t i, double decade) {
    return arith::Product(i < series.size() ? series[i] : 0.0, decade);
  };
  std::vector<double> firsts, seconds;
  for (double decade = 1.0; decade <= 1000000; decade = arith::Product(decade, 10.0)) {
    for (std::size_t i = 0; value(i, decade) != 0.0; ++i) {
      firsts.push_back(value(i, decade));
      if (decade < 1000000) seconds.push_back(value(i, decade));
    }
  }
  return Pairs(firsts, seconds, target, count, tolerance,
               [&](double r) { return Matches(r, without) || (only && !Matches(r, *only)); });
}

Result SearchStock(std::span<const double> stock, double target, int count, double tolerance,
                   std::span<const double> without) {
  std::vector<double> values;
  for (const double v : stock) {
    if (v > 0 && std::find(values.begin(), values.end(), v) == values.end()) values.push_back(v);
  }
  std::sort(values.begin(), values.end());
  return Pairs(values, values, target, count, tolerance,
               [&](double r) { return Matches(r, without); });
}

}  // namespace reference
