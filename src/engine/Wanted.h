// The rule by which a typed text is a wanted resistance, shared by the window and the command line.
#pragma once

#include <optional>
#include <string_view>

namespace engine {

// Non-empty, decimal digits only (no blank, sign, point, exponent, nor any byte of a double-byte
// character), and a value strictly between 100 and 1,000,000: that value, else nothing.
std::optional<double> WantedValue(std::string_view text) noexcept;

}  // namespace engine
