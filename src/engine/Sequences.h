// Inside the engine: the value sequences the search walks, derived from SeriesTable, and what the
// listing may reuse of them.
#pragma once

#include <cstdint>

#include "engine/Engine.h"

namespace engine::detail {

constexpr int kMaxValues = 7 * kSeriesCapacity;  // seven decades of at most a full table

// The two value sequences. The second (decades up to 100,000) is a prefix of the first, so one
// array holds both. Rebuilt whenever SeriesTable's contents change, which in practice is once:
// InitTable always writes the same values.
struct Sequences {
  double snapshot[kSeriesCapacity];
  bool built = false;
  bool ascending = false;  // strictly ascending and positive: the search may skip by bisection
  int firstCount = 0;
  int secondCount = 0;
  double value[kMaxValues];
  std::int32_t whole[kMaxValues];  // WholeOhm of each value
  char column[kMaxValues][16];     // "%8ld" of that figure, as a result line shows it
  std::uint8_t columnLength[kMaxValues];
  // Parallel value of every pair of sequence values the search can meet: it does not depend on
  // the target, so it is worked out once instead of on every search.
  double parallel[kMaxValues][kMaxValues];
};

const Sequences& CurrentSequences();

// Sequence indexes of the two values in each result slot, as the last search left them.
extern int SlotIndex1[kSlotCapacity];
extern int SlotIndex2[kSlotCapacity];

// "%8ld" of figure into out (at least 12 characters); returns the length.
int ComposeValueColumn(char* out, std::int32_t figure) noexcept;

}  // namespace engine::detail
