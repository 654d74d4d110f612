// The listing's numbers, composed exactly as the standard printf would compose them (the exact
// binary value rounded half to even), but with integer arithmetic, which is many times faster.
#pragma once

#include <cstdint>
#include <string_view>

namespace engine {

constexpr int kLineBuffer = 256;      // a result line is composed in this many characters
constexpr int kValueLineBuffer = 16;  // "%7ld" or "%8ld" of any 32-bit figure, NUL included

// " %f  %8ld  %8ld  %8.3f" of |error| x 100, WholeOhm(reg1), WholeOhm(reg2) and value into out
// (kLineBuffer characters, NUL-terminated, cut to fit as snprintf would). Returns the length.
int ComposeResultLine(char* out, double error, double reg1, double reg2, double value) noexcept;

// The same with the two resistor fields given as their "%8ld" texts, for a search's figures
// (finite, the error below 1e10); -1 unless both texts have 8 characters.
int ComposeResultLine(char* out, double error, std::string_view column1, std::string_view column2,
                      double value) noexcept;

// "%7ld" of WholeOhm(value), and "%8ld" of a whole-ohm figure, into out (kValueLineBuffer).
int ComposeValueLine(char* out, double value) noexcept;
int ComposeValueColumn(char* out, std::int32_t figure) noexcept;

}  // namespace engine
