// The ratio search written out step by step: every position (each value, and with more parts
// every pair of values in series and in parallel), every R1 with every R2, judged one by one,
// the worst case from every corner of the tolerances, the copies scaled by a power of ten found
// by their decimals. The engine's ratio search must give exactly what this gives.
#pragma once

#include <vector>

#include "engine/Ratios.h"

namespace reference {

// The best results for wanted within the tolerance, best first, at most count of them, from the
// values (ascending, distinct) and their pairs within spread.
std::vector<engine::ratios::Result> Ratios(const std::vector<double>& values, double spread,
                                           const engine::ratios::Problem& problem, double wanted,
                                           double tolerance, int count);

}  // namespace reference
