// The network search written out step by step: every network of every shape, each set of members
// once, its value folded member by member, judged against each query in turn. The engine's
// network search must give exactly what this gives.
#pragma once

#include "engine/Networks.h"

namespace reference {

struct NetworkQuery { double target, tolerance; engine::networks::Connect connect; int count; };

// For each query, its best networks of at most parts of the values (ascending, distinct) whose
// largest value is at most spread times the smallest, best first, each with its letters in the
// order written.
std::vector<std::vector<engine::networks::Network>> Networks(const std::vector<double>& values, int parts,
                                                             double spread, std::span<const NetworkQuery> queries);

}  // namespace reference
