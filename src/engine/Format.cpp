#include "engine/Format.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>

#include "engine/Arithmetic.h"

namespace engine {
namespace {

using arith::soft::U128;

constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The eight decimal digits of v < 10^8, leading zeros included, in two halves of four worked out
// apart: a chain of divisions by 100, one per pair, was most of the cost of a line.
inline void EightDigits(char* out, std::uint32_t v) noexcept {
  const std::uint32_t high = v / 10000, low = v % 10000;
  std::memcpy(out, kPairs + 2 * (high / 100), 2);
  std::memcpy(out + 2, kPairs + 2 * (high % 100), 2);
  std::memcpy(out + 4, kPairs + 2 * (low / 100), 2);
  std::memcpy(out + 6, kPairs + 2 * (low % 100), 2);
}

// The sixteen digits of v < 10^16 and how many of them count (at least one); no branch on the
// value, for those mispredict.
inline int SixteenDigits(char* out, std::uint64_t v) noexcept {
  EightDigits(out, static_cast<std::uint32_t>(v / 100000000));
  EightDigits(out + 8, static_cast<std::uint32_t>(v % 100000000));
  int count = 1;
  for (std::uint64_t p = 10; p <= 1000000000000000; p *= 10) count += v >= p;
  return count;
}

// Writes the blanks that right-align a text of `length` characters in `width`; returns how many.
// A narrow field takes sixteen blanks in one store, the text then written over them: a call to
// memset for so few bytes costs more than the rest of the field (out holds at least 16 bytes).
inline int AlignRight(char* out, int length, int width) noexcept {
  const int blanks = width > length ? width - length : 0;
  if (width <= 16) {
    std::memcpy(out, "                ", 16);
  } else {
    std::memset(out, ' ', static_cast<std::size_t>(blanks));
  }
  return blanks;
}

constexpr std::uint64_t kPow10[] = {1, 10, 100, 1000, 10000, 100000, 1000000};

// x x 10^decimals rounded half to even, for 0 <= x < 1e12 (all a listing meets); nothing beyond.
template <int decimals>
inline std::optional<std::uint64_t> Scaled(double x) noexcept {
  if (!(std::isgreaterequal(x, 0.0) && std::isless(x, 1e12)) || std::signbit(x)) return {};
  const auto bits = std::bit_cast<std::uint64_t>(x);
  const int biased = static_cast<int>(bits >> 52);  // the sign bit is clear
  std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
  int exponent = -1074;
  if (biased != 0) {
    mantissa |= std::uint64_t{1} << 52;
    exponent = biased - 1075;  // below 1e12 this is always negative
  }
  const int shift = -exponent;
  if (shift >= 100) return 0;  // x x 10^decimals < 2^74 / 2^100: far below one half
  const U128 exact = static_cast<U128>(mantissa) * kPow10[decimals];
  const U128 rest = exact & ((U128{1} << shift) - 1), half = U128{1} << (shift - 1);
  std::uint64_t scaled = static_cast<std::uint64_t>(exact >> shift);
  if (rest > half || (rest == half && (scaled & 1) != 0)) ++scaled;
  return scaled;
}

// "%*.*f" of x, right-aligned in width, into out (which holds 32 characters past it); -1 where
// Scaled gives nothing. The digits go as one fixed-size block, the point then written among them.
template <int decimals>
int FixedPoint(char* out, double x, int width, std::uint64_t& shown) noexcept {
  static_assert(decimals >= 1 && decimals <= 6, "the integer path holds up to six decimals");
  const std::optional<std::uint64_t> scaled = Scaled<decimals>(x);
  shown = scaled.value_or(std::numeric_limits<std::uint64_t>::max());
  if (!scaled || *scaled >= 10000000000000000) return -1;
  char digits[32];
  int count = 1;
  if (*scaled < 100000000) {  // every error, and values below 100 kilohms: half the work
    EightDigits(digits + 8, static_cast<std::uint32_t>(*scaled));
    for (std::uint64_t p = 10; p <= 10000000; p *= 10) count += *scaled >= p;
  } else {
    count = SixteenDigits(digits, *scaled);
  }
  const int whole = count > decimals ? count - decimals : 1;
  const int length = whole + 1 + decimals;
  const int blanks = AlignRight(out, length, width);
  std::memcpy(out + blanks, digits + 16 - decimals - whole, 16);
  out[blanks + whole] = '.';
  std::memcpy(out + blanks + whole + 1, digits + 16 - decimals, decimals);
  return blanks + length;
}

// "%*ld" of a 32-bit value, NUL-terminated.
int Integer(char* out, std::int32_t v, int width) noexcept {
  const std::uint64_t magnitude = v < 0 ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(v))
                                        : static_cast<std::uint64_t>(v);
  char digits[16];
  const int count = SixteenDigits(digits, magnitude);
  const int length = count + (v < 0 ? 1 : 0);
  const int blanks = AlignRight(out, length, width);
  if (v < 0) out[blanks] = '-';
  std::memcpy(out + blanks + length - count, digits + 16 - count, std::size_t(count));
  out[blanks + length] = '\0';
  return blanks + length;
}

// |error| x 100 as the listing shows it; an error too large to scale is shown as infinite
// rather than overflowing on the way.
double Percent(double error) noexcept {
  const double magnitude = std::fabs(arith::Quiet(error));
  if (std::isless(magnitude, std::numeric_limits<double>::max() / 100)) {
    return std::fabs(arith::Product(error, 100.0));
  }
  return std::isnan(magnitude) ? magnitude : std::numeric_limits<double>::infinity();
}

// The error as a line shows it, in millionths of a percent; the largest figure for what no fixed
// point shows (infinity, NaN).
std::uint64_t Shown(double percent) noexcept {
  return Scaled<6>(percent).value_or(std::numeric_limits<std::uint64_t>::max());
}

// The line's fields by the integer path; -1 where a figure lies outside its range. At most
// 1 + 17 + 2 + 11 + 2 + 11 + 2 + 17 characters, and the fixed-size stores past them: within the
// buffer.
template <int errorWidth>
int Compose(char* out, double percent, const Column& first, const Column& second, double value,
            std::uint64_t& shown) noexcept {
  int n = 0;
  out[n++] = ' ';
  const int errorLength = FixedPoint<6>(out + n, percent, errorWidth, shown);
  if (errorLength < 0) return -1;
  n += errorLength;
  for (const Column* column : {&first, &second}) {
    std::memcpy(out + n, "  ", 2);
    std::memcpy(out + n + 2, column->chars, sizeof column->chars);
    n += 2 + column->length;
  }
  std::memcpy(out + n, "  ", 2);
  std::uint64_t thousandths;
  const int valueLength = FixedPoint<3>(out + n + 2, value, 8, thousandths);
  if (valueLength < 0) return -1;
  n += 2 + valueLength;
  out[n] = '\0';
  return n;
}

}  // namespace

Column ComposeColumn(std::int32_t whole) noexcept {
  Column column;
  column.length = Integer(column.chars, whole, 8);
  return column;
}

// The integer path, not snprintf: a line in 30 ns against 123 ns with std::to_chars, and the
// window composes fifteen of them on every keystroke.
int ComposeResultLine(char* out, double error, const Column& first, const Column& second,
                      double value, int errorWidth, std::uint64_t* shown) noexcept {
  const double percent = Percent(error);
  value = arith::Quiet(value);  // printf must not see a signalling NaN
  std::uint64_t millionths = std::numeric_limits<std::uint64_t>::max();
  const int n = errorWidth == 0   ? Compose<0>(out, percent, first, second, value, millionths)
                : errorWidth == 9 ? Compose<9>(out, percent, first, second, value, millionths)
                                  : -1;
  if (shown != nullptr) *shown = errorWidth == 0 || errorWidth == 9 ? millionths : Shown(percent);
  if (n >= 0) return n;
  const int printed =
      std::snprintf(out, kLineBuffer, " %*f  %.*s  %.*s  %8.3f", errorWidth, percent, first.length,
                    first.chars, second.length, second.chars, value);
  return printed < 0 ? 0 : (printed >= kLineBuffer ? kLineBuffer - 1 : printed);
}

int ComposeValueLine(char* out, std::int32_t whole) noexcept {
  return Integer(out, whole, 7);
}

int ComposeInteger(char* out, std::int32_t v, int width) noexcept {
  return Integer(out, v, width);
}

int ComposeFixed(char* out, double x, int decimals, int width) noexcept {
  x = arith::Quiet(x);
  std::uint64_t shown;
  // The integer path for the fields of a result line, whose widths fit its fixed-size stores.
  const int n = width > 16      ? -1
                : decimals == 6 ? FixedPoint<6>(out, x, width, shown)
                : decimals == 3 ? FixedPoint<3>(out, x, width, shown)
                                : -1;
  if (n >= 0) {
    out[n] = '\0';
    return n;
  }
  const int printed = std::snprintf(out, kLineBuffer, "%*.*f", width, decimals, x);
  return printed < 0 ? 0 : (printed >= kLineBuffer ? kLineBuffer - 1 : printed);
}

std::uint64_t ShownPercent(double error) noexcept {
  return Shown(Percent(error));
}

}  // namespace engine
