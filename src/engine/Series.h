// The standard series of preferred values, as mantissas from 1 up to 10.
#pragma once

namespace engine {

// E24: two significant digits. Each is the double nearest its decimal value, so some lie a hair
// above it (1.1) and some a hair below (5.1); those exact doubles enter every figure.
inline constexpr double kE24[] = {1.0, 1.1, 1.2, 1.3, 1.5, 1.6, 1.8, 2.0, 2.2, 2.4, 2.7, 3.0,
                                  3.3, 3.6, 3.9, 4.3, 4.7, 5.1, 5.6, 6.2, 6.8, 7.5, 8.2, 9.1};

}  // namespace engine
