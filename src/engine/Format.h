// The listing's numbers as text, exactly as the C library's printf composes them (the exact binary
// value rounded half to even).
#pragma once

#include <cstdint>

namespace engine {

constexpr int kLineBuffer = 256;      // a result line is composed in this many characters
constexpr int kValueLineBuffer = 16;  // "%7ld" of any 32-bit figure, NUL included

// A resistor's column of a result line, "%8ld" of its whole-ohm figure (NUL-terminated).
struct Column {
  char chars[16];  // room for the blanks a fixed-size store writes
  int length;
};
Column ComposeColumn(std::int32_t whole) noexcept;

// " %*f  %s  %s  %8.3f" of errorWidth, |error| x 100, the two columns and value into out
// (kLineBuffer characters, NUL-terminated, cut to fit as snprintf would). Returns the length.
// With shown, also the error as the line shows it, in millionths of a percent (rounded to its
// six decimals); the largest figure for anything no fixed point shows (infinity, NaN).
int ComposeResultLine(char* out, double error, const Column& first, const Column& second,
                      double value, int errorWidth = 0, std::uint64_t* shown = nullptr) noexcept;

// "%7ld" of a whole-ohm figure into out (kValueLineBuffer characters).
int ComposeValueLine(char* out, std::int32_t whole) noexcept;

// "%*ld" of v into out (kValueLineBuffer characters); returns the length.
int ComposeInteger(char* out, std::int32_t v, int width) noexcept;

// "%*.*f" of x, width and decimals, into out (kLineBuffer characters), exactly as printf composes
// it; returns the length.
int ComposeFixed(char* out, double x, int decimals, int width) noexcept;

// |error| x 100 as a result line shows it, in millionths of a percent (ComposeResultLine's shown).
std::uint64_t ShownPercent(double error) noexcept;

}  // namespace engine
