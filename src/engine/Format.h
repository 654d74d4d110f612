// The listing's numbers as text, exactly as the C library's printf composes them (the exact binary
// value rounded half to even).
#pragma once

#include <cstdint>

namespace engine {

constexpr int kLineBuffer = 256;      // a result line is composed in this many characters
constexpr int kValueLineBuffer = 16;  // "%7ld" of any 32-bit figure, NUL included

// " %*f  %8ld  %8ld  %8.3f" of errorWidth, |error| x 100, whole1, whole2 and value into out
// (kLineBuffer characters, NUL-terminated, cut to fit as snprintf would). Returns the length.
int ComposeResultLine(char* out, double error, std::int32_t whole1, std::int32_t whole2,
                      double value, int errorWidth = 0) noexcept;

// "%7ld" of a whole-ohm figure into out (kValueLineBuffer characters).
int ComposeValueLine(char* out, std::int32_t whole) noexcept;

// |error| x 100 in millionths, rounded as the result line prints it to six decimals; the largest
// value for anything beyond what a line can show in fixed point (an infinite error, NaN).
std::uint64_t PrintedMillionths(double error) noexcept;

}  // namespace engine
