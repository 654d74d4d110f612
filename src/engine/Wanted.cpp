#include "engine/Wanted.h"

namespace engine {

std::optional<double> WantedValue(std::string_view text) noexcept {
  if (text.empty()) return {};
  double value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return {};
    // Exact while below 2^53; anything that large is out of range anyway.
    value = value < 1e7 ? value * 10 + (c - '0') : value;
  }
  if (!InWantedRange(value)) return {};
  return value;
}

}  // namespace engine
