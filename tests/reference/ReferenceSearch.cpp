#include "ReferenceSearch.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

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

}  // namespace

Result Search(std::span<const double> series, double target, int count, double tolerance,
              std::span<const double> without, std::optional<std::span<const double>> only) {
  Result out;
  if (!(target > 100 && target < 1000000) || count < 1) return out;
  const auto excluded = [&](double r) {
    return Matches(r, without) || (only && !Matches(r, *only));
  };
  // A value of the sequence: series[i] times the decade; 0.0 past a decade's end.
  const auto value = [&](std::size_t i, double decade) {
    return arith::Product(i < series.size() ? series[i] : 0.0, decade);
  };
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
  // Every second value for one first value, until a parallel value reaches the band's top.
  const auto scan = [&](double r1) {
    for (double decade = 1.0; decade < 1000000; decade = arith::Product(decade, 10.0)) {
      for (std::size_t i = 0; value(i, decade) != 0.0; ++i) {
        const double r2 = value(i, decade);
        if (r2 <= target || r2 < r1 || excluded(r2)) continue;
        const double p = arith::Parallel(r1, r2);
        if (lower <= p && p <= upper) offer(r1, r2, p);
        if (p >= upper) return;
      }
    }
  };
  for (double decade = 1.0; decade <= 1000000; decade = arith::Product(decade, 10.0)) {
    for (std::size_t i = 0; value(i, decade) != 0.0; ++i) {
      const double r1 = value(i, decade);
      if (r1 > target && !excluded(r1)) scan(r1);
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

}  // namespace reference
