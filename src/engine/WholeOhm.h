// The whole-ohm figure of a resistor value, by which values are compared, collected and printed.
#pragma once

#include <cstdint>

namespace engine {

// x + 0.01, truncated toward zero: 5.1 x 100, held as 509.99999999999994, is 510. Values beyond
// the range of a 32-bit integer give its ends; NaN gives the lower end.
std::int32_t WholeOhm(double x) noexcept;

}  // namespace engine
