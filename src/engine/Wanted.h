// The rule by which a typed text is a wanted resistance, shared by the window and the command line.
#pragma once

#include <cmath>
#include <optional>
#include <string_view>

namespace engine {

// A wanted resistance lies strictly between these, in ohms: the window's rule, which the pair
// search keeps.
inline constexpr double kLeastWanted = 100, kMostWanted = 1000000;
inline bool InWantedRange(double ohms) noexcept {
  return std::isgreater(ohms, kLeastWanted) && std::isless(ohms, kMostWanted);
}

// Non-empty, decimal digits only (no blank, sign, point, exponent, nor any byte of a double-byte
// character), and a value strictly between 100 and 1,000,000: that value, else nothing.
std::optional<double> WantedValue(std::string_view text) noexcept;

}  // namespace engine
