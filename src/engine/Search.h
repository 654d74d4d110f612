// The parallel pair search: from a wanted value, the values on offer and the values to leave out,
// the pairs of values whose parallel value comes closest to it.
//
// Pairs are found in the order R1 ascending and, for each R1, R2 ascending; the first `count`
// pairs inside the band are kept, and each later one replaces the kept pair of largest error (the
// first of them, if several tie) only when its own error is strictly smaller. The kept pairs are
// then ordered by error with a stable sort, so pairs of equal error keep the order of the places
// they came to occupy. Every figure follows the engine's arithmetic (engine/Arithmetic.h).
#pragma once

#include <array>
#include <span>

#include "engine/Sequences.h"

namespace engine {

constexpr int kMaxPairs = 100;  // the most pairs one search keeps
// The most values a search chooses from: a whole E192 set fits, or a drawer, whose table of
// parallel values then takes at most 16 MB.
constexpr int kMaxValues = 2000;

struct Pair {
  int first, second;  // indexes of the two values in the sequences
  double reg1, reg2;  // the two resistors, reg1 <= reg2
  double value;       // reg1 || reg2
  double error;       // signed: (target - value) / target, positive below the target
};

// Found pairs, best first; the caller owns it.
struct SearchResult {
  int count = 0;
  Pair pairs[kMaxPairs];
};

// The values of a sequence that a search may not use, matched by their whole-ohm figures.
class Exclusions {
 public:
  explicit Exclusions(const Sequences& sequences);
  // Leaves out every value with the whole-ohm figure of one of these.
  void LeaveOut(std::span<const double> values);
  // Leaves out every value without the whole-ohm figure of one of these.
  void KeepOnly(std::span<const double> values);
  bool operator[](int index) const { return marked_[std::size_t(index)]; }

 private:
  // Calls mark(i) for every value whose figure is that of x.
  template <class Mark>
  void ForMatches(double x, Mark mark);

  const Sequences& sequences_;
  std::array<bool, kMaxValues> marked_;
};

// Both resistors above the target, R1 <= R2 with R1 from the first sequence and R2 from the second,
// neither excluded, their parallel value within (1 -+ tolerance) x target inclusive. Keeps at most
// count pairs (1 to kMaxPairs). A target outside the wanted range (engine/Wanted.h) finds nothing.
SearchResult Search(const Sequences& sequences, const Exclusions& excluded, double target,
                    int count, double tolerance) noexcept;

}  // namespace engine
