// The pair search written out step by step with no shortcut: every first value from the start,
// every second value from the start, the exclusion table scanned in order. The engine's search
// must give exactly what this gives.
#pragma once

#include <cstdint>

namespace reference {

struct Result {
  int count = 0;
  double reg1[30], reg2[30], value[30], error[30];
};

// Reads the engine's SeriesTable, Tolerance, NoneTable and NoneCount like the search does.
Result OhmSift(int maxCount, double target);

}  // namespace reference
