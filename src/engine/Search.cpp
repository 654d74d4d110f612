#include "engine/Search.h"

#include <algorithm>
#include <cmath>

#include "engine/Arithmetic.h"
#include "engine/Best.h"
#include "engine/Wanted.h"
#include "engine/WholeOhm.h"

namespace engine {

Exclusions::Exclusions(const Sequences& sequences) : sequences_(sequences) {
  marked_.fill(false);
}

template <class Mark>
void Exclusions::ForMatches(double x, Mark mark) {
  const std::int32_t figure = WholeOhm(x);
  const std::vector<std::int32_t>& whole = sequences_.whole;
  const int n = sequences_.firstResistorValues;
  // The figures of an ascending sequence never descend.
  int i = sequences_.ascending
              ? static_cast<int>(std::lower_bound(whole.begin(), whole.begin() + n, figure) -
                                 whole.begin())
              : 0;
  for (; i < n; ++i) {
    if (whole[std::size_t(i)] == figure) {
      mark(i);
    } else if (sequences_.ascending) {
      break;
    }
  }
}

void Exclusions::LeaveOut(std::span<const double> values) {
  for (const double x : values) ForMatches(x, [this](int i) { marked_[std::size_t(i)] = true; });
}

void Exclusions::KeepOnly(std::span<const double> values) {
  std::array<bool, kMaxValues> kept{};
  for (const double x : values) ForMatches(x, [&kept](int i) { kept[std::size_t(i)] = true; });
  for (std::size_t i = 0; i < marked_.size(); ++i) marked_[i] = marked_[i] || !kept[i];
}

namespace {

// Relative margin far wider than any rounding of the search's figures (a few parts in 1e16):
// work is skipped only where the exact figures clear a limit by this much.
constexpr double kMargin = 1e-3;

// The pairs that rank first: the smaller error. Pairs of equal error tie, and the keeper's rule for
// ties is the window's: a later pair never displaces an equal one, and the first slot goes first.
struct Smaller {
  bool operator()(const Pair& a, const Pair& b) const noexcept {
    return std::fabs(a.error) < std::fabs(b.error);
  }
};
using Kept = Best<Pair, kMaxPairs, Smaller>;

// The parallel values that can still change the ranking: the whole band until it is full; then
// only those nearer the target than the worst kept pair (with room for rounding), as every other
// pair would be dropped. The window only narrows as the search goes on.
void Window(const Kept& kept, double target, double lower, double upper, double& from, double& to) {
  from = lower;
  to = upper;
  const double worst = kept.Full() ? std::fabs(kept.Worst().error) : 0;
  if (!(worst >= 1e-9)) return;  // the margin needs this much
  const double reach = target * worst * (1 + kMargin);
  from = std::max(lower, target - reach);
  to = std::min(upper, target + reach);
}

}  // namespace

SearchResult Search(const Sequences& sequences, const Exclusions& excluded, double target,
                    int count, double tolerance) noexcept {
  SearchResult result;
  target = arith::Quiet(target);
  if (!InWantedRange(target) || count < 1) {
    return result;
  }
  Kept kept(std::min(count, kMaxPairs), Smaller());
  const double lower = arith::Scaled(-tolerance, target);
  const double upper = arith::Scaled(tolerance, target);
  const double* values = sequences.values.data();
  const int firsts = sequences.firstResistorValues;
  const int seconds = sequences.secondResistorValues;
  const bool ascending = sequences.ascending;

  int i1 =
      ascending ? static_cast<int>(std::upper_bound(values, values + firsts, target) - values) : 0;
  double from = lower, to = upper;  // what can still change the ranking (Window)
  for (; i1 < firsts; ++i1) {
    const double r1 = values[i1];
    if (r1 <= target || excluded[i1]) continue;
    int i2 = 0;
    // R2 >= R1 makes every parallel value at least R1 / 2; past the second sequence's end no
    // second value is as large as R1.
    if (ascending && (r1 > 2 * to * (1 + kMargin) || i1 >= seconds)) break;
    const double* parallel = sequences.Row(i1);
    // A rising row: the pairs before its first value in reach change nothing, not even the end
    // of the scan.
    if (ascending) {
      i2 = static_cast<int>(std::lower_bound(parallel + i1, parallel + seconds, from) - parallel);
    }
    for (; i2 < seconds; ++i2) {
      const double r2 = values[i2];
      if (r2 <= target || r2 < r1 || excluded[i2]) continue;
      const double p = parallel[i2];
      if (lower <= p && p <= upper &&
          kept.Offer({i1, i2, r1, r2, p, arith::RelativeError(target, p)}) && ascending) {
        Window(kept, target, lower, upper, from, to);
      }
      // Past the band the scan ends; past the window, in a rising row, nothing more is kept.
      if (p >= upper || p > to) break;
    }
  }
  result.count = kept.Sorted(result.pairs);
  return result;
}

}  // namespace engine
