#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/Arithmetic.h"
#include "engine/Engine.h"
#include "engine/Sequences.h"

namespace engine {

using detail::kMaxValues;
using detail::Sequences;

namespace detail {

int SlotIndex1[kSlotCapacity];
int SlotIndex2[kSlotCapacity];

namespace {

constexpr int kDecades = 7;  // 1 to 1,000,000

Sequences sequences;  // static storage: the pair table is too large for the stack

void Build(Sequences& s) {
  std::memcpy(s.snapshot, SeriesTable, sizeof s.snapshot);
  s.built = true;
  s.firstCount = 0;
  s.secondCount = 0;
  double decade = 1.0;
  for (int d = 0; d < kDecades; ++d) {
    // An entry of 0.0 ends a decade; so does the end of the table, should the mark be missing.
    for (int index = 0; index < kSeriesCapacity; ++index) {
      const double value = arith::Product(SeriesTable[index], decade);
      if (value == 0.0) break;
      s.value[s.firstCount] = value;
      s.whole[s.firstCount] = WholeOhm(value);
      s.columnLength[s.firstCount] = static_cast<std::uint8_t>(
          ComposeValueColumn(s.column[s.firstCount], s.whole[s.firstCount]));
      ++s.firstCount;
    }
    if (decade < 1000000.0) s.secondCount = s.firstCount;
    decade = arith::Product(decade, 10.0);
  }
  s.ascending = true;
  for (int i = 0; i < s.firstCount; ++i) {
    const double previous = i == 0 ? 0.0 : s.value[i - 1];
    if (!std::isgreater(s.value[i], previous)) s.ascending = false;
  }
  // Ascending, a pair has its first value's index at or below its second's.
  for (int i1 = 0; i1 < s.firstCount; ++i1) {
    for (int i2 = s.ascending ? i1 : 0; i2 < s.secondCount; ++i2) {
      s.parallel[i1][i2] = arith::Parallel(s.value[i1], s.value[i2]);
    }
  }
}

}  // namespace

const Sequences& CurrentSequences() {
  if (!sequences.built || std::memcmp(sequences.snapshot, SeriesTable, sizeof SeriesTable) != 0) {
    Build(sequences);
  }
  return sequences;
}

}  // namespace detail

namespace {

// Which sequence values the user does not have, by their whole-ohm figure.
struct Exclusions {
  bool marked[kMaxValues];
};

void MarkExclusions(const Sequences& s, Exclusions& out) {
  std::fill(out.marked, out.marked + s.firstCount, false);
  const int count = std::clamp(NoneCount, 0, kNoneCapacity);
  for (int j = 0; j < count; ++j) {
    const std::int32_t figure = WholeOhm(NoneTable[j]);
    if (s.ascending) {
      // Whole-ohm figures of an ascending sequence never descend.
      int i = static_cast<int>(std::lower_bound(s.whole, s.whole + s.firstCount, figure) - s.whole);
      for (; i < s.firstCount && s.whole[i] == figure; ++i) out.marked[i] = true;
    } else {
      for (int i = 0; i < s.firstCount; ++i) out.marked[i] = out.marked[i] || s.whole[i] == figure;
    }
  }
}

// The kept pairs while the search runs; error is the magnitude the slots are ranked by.
struct Slots {
  double reg1[kSlotCapacity];
  double reg2[kSlotCapacity];
  double value[kSlotCapacity];
  double error[kSlotCapacity];
  double signedError[kSlotCapacity];
  int index1[kSlotCapacity];  // sequence indexes of the two values
  int index2[kSlotCapacity];
  int count = 0;
  int worst = -1;  // lowest-numbered slot with the largest error, once every slot is taken

  void Put(int k, int i1, int i2, double r1, double r2, double p, double e, double signedE) {
    index1[k] = i1;
    index2[k] = i2;
    reg1[k] = r1;
    reg2[k] = r2;
    value[k] = p;
    error[k] = e;
    signedError[k] = signedE;
  }

  void FindWorst() {
    int w = 0;
    double largest = error[0];
    for (int k = 1; k < count; ++k) {
      // Written to compile without a branch: which slot wins is data the predictor cannot learn.
      const bool larger = error[k] > largest;
      w = larger ? k : w;
      largest = larger ? error[k] : largest;
    }
    worst = w;
  }

  // A pair that only ties the worst kept error never displaces it.
  void Offer(int maxCount, int i1, int i2, double r1, double r2, double p, double signedE) {
    const double e = signedE < 0.0 ? -signedE : signedE;
    if (count < maxCount) {
      Put(count++, i1, i2, r1, r2, p, e, signedE);
      if (count == maxCount) FindWorst();
    } else if (error[worst] > e) {
      Put(worst, i1, i2, r1, r2, p, e, signedE);
      FindWorst();
    }
  }

  // Stable, so that pairs of equal error keep the order of the slots they came to occupy.
  // Returns the slot numbers in sorted order.
  void SortedOrder(int* order) const {
    for (int k = 0; k < count; ++k) {
      int j = k;
      for (; j > 0 && error[order[j - 1]] > error[k]; --j) order[j] = order[j - 1];
      order[j] = k;
    }
  }
};

// Relative margin far wider than any rounding of the search's figures (a few parts in 1e16):
// work is skipped only where the exact figures clear the band by this much.
constexpr double kMargin = 1e-9;

}  // namespace

std::int32_t OhmSift(std::int32_t maxCount, double target) noexcept {
  target = arith::Quiet(target);
  if (!(std::isgreater(target, 100.0) && std::isless(target, 1000000.0))) return 0;
  if (maxCount < 1) return 0;
  maxCount = std::min(maxCount, kSlotCapacity);

  const Sequences& seq = detail::CurrentSequences();
  Exclusions excluded;
  MarkExclusions(seq, excluded);
  const double lower = arith::Scaled(-Tolerance, target);
  const double upper = arith::Scaled(Tolerance, target);

  Slots slots;
  const double* value = seq.value;
  int first = 0;
  if (seq.ascending)
    first = static_cast<int>(std::upper_bound(value, value + seq.firstCount, target) - value);
  // Every pair of a first value this large lies above the band: R2 >= R1 makes P >= R1 / 2.
  const double lastUseful = 2.0 * upper * (1.0 + kMargin);
  // Passing under the band by bisection is safe while the band is far wider than the margin.
  const bool skipBelow = seq.ascending && std::isgreaterequal(arith::Quiet(Tolerance), 1e-6);

  for (int i1 = first; i1 < seq.firstCount; ++i1) {
    const double r1 = value[i1];
    if (r1 <= target || excluded.marked[i1]) continue;
    int i2 = 0;
    if (seq.ascending) {
      // Past the second sequence's end no second value is as large as R1.
      if (r1 > lastUseful || i1 >= seq.secondCount) break;
      i2 = i1;
      if (skipBelow) {
        // Second values below this give a parallel value under the band, so the scan passes
        // them without an offer and without stopping.
        const double below = lower * r1 / (r1 - lower) * (1.0 - kMargin);
        i2 = static_cast<int>(std::lower_bound(value + i1, value + seq.secondCount, below) - value);
      }
    }
    for (; i2 < seq.secondCount; ++i2) {
      const double r2 = value[i2];
      if (r2 <= target || r2 < r1 || excluded.marked[i2]) continue;
      const double p = seq.parallel[i1][i2];
      if (lower <= p && p <= upper) {
        slots.Offer(maxCount, i1, i2, r1, r2, p, arith::RelativeError(target, p));
      }
      if (p >= upper) break;
    }
  }

  int order[kSlotCapacity];
  slots.SortedOrder(order);
  for (int k = 0; k < slots.count; ++k) {
    AnsReg1[k] = slots.reg1[order[k]];
    AnsReg2[k] = slots.reg2[order[k]];
    AnsValue[k] = slots.value[order[k]];
    AnsError[k] = slots.signedError[order[k]];
    detail::SlotIndex1[k] = slots.index1[order[k]];
    detail::SlotIndex2[k] = slots.index2[order[k]];
  }
  return slots.count;
}

}  // namespace engine
