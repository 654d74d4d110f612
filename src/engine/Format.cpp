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

// Writes the last `count` decimal digits of v so that they end just before end.
void Digits(char* end, std::uint64_t v, int count) noexcept {
  for (; count >= 2; count -= 2, v /= 100) {
    end -= 2;
    std::memcpy(end, kPairs + 2 * (v % 100), 2);
  }
  if (count == 1) *--end = static_cast<char>('0' + v % 10);
}

int DigitCount(std::uint64_t v) noexcept {
  int count = 1;
  for (; v >= 10000; v /= 10000) count += 4;
  return count + (v >= 10) + (v >= 100) + (v >= 1000);
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

// "%*.*f" of x, right-aligned in width; -1 where Scaled gives nothing.
template <int decimals>
int FixedPoint(char* out, double x, int width) noexcept {
  static_assert(decimals >= 1 && decimals <= 6, "the integer path holds up to six decimals");
  const std::optional<std::uint64_t> scaled = Scaled<decimals>(x);
  if (!scaled) return -1;
  constexpr std::uint64_t scale = kPow10[decimals];
  const std::uint64_t whole = *scaled / scale;
  const int wholeDigits = DigitCount(whole);
  const int length = wholeDigits + 1 + decimals;
  const int blanks = AlignRight(out, length, width);
  char* end = out + blanks + length;
  Digits(end, *scaled % scale, decimals);
  end[-decimals - 1] = '.';
  Digits(end - decimals - 1, whole, wholeDigits);
  return blanks + length;
}

// "%*ld" of a 32-bit value, width being 7 or 8: a resistor's column or a used value's line.
template <int width>
int Integer(char* out, std::int32_t v) noexcept {
  static_assert(width == 7 || width == 8, "one field of eight digits");
  if (v >= 0 && v < 100000000 / (width == 7 ? 10 : 1)) {
    // The common case: every digit of the field, in two halves of four worked out apart, then
    // its leading zeros as blanks at once, with no branch on the value: those mispredict, and
    // with the chain of divisions they were most of the cost of a line.
    const auto u = static_cast<std::uint32_t>(v);
    const std::uint32_t high = u / 10000, low = u % 10000;
    char eight[8];
    std::memcpy(eight, kPairs + 2 * (high / 100), 2);
    std::memcpy(eight + 2, kPairs + 2 * (high % 100), 2);
    std::memcpy(eight + 4, kPairs + 2 * (low / 100), 2);
    std::memcpy(eight + 6, kPairs + 2 * (low % 100), 2);
    int digits = 1;
    for (std::uint32_t p = 10; p <= 10000000; p *= 10) digits += u >= p;
    std::uint64_t word;
    std::memcpy(&word, eight, 8);
    static_assert(std::endian::native == std::endian::little, "the first bytes are the low ones");
    const int blanks = 8 - digits;  // in the eight; the field drops the first when it has seven
    const std::uint64_t mask = blanks == 0 ? 0 : ~std::uint64_t{0} >> (64 - 8 * blanks);
    word = (word & ~mask) | (0x2020202020202020ull & mask);
    std::memcpy(eight, &word, 8);
    std::memcpy(out, eight + 8 - width, width);
    out[width] = '\0';
    return width;
  }
  const std::uint64_t magnitude = v < 0 ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(v))
                                        : static_cast<std::uint64_t>(v);
  const int digits = DigitCount(magnitude);
  const int length = digits + (v < 0 ? 1 : 0);
  const int blanks = AlignRight(out, length, width);
  if (v < 0) out[blanks] = '-';
  Digits(out + blanks + length, magnitude, digits);
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

// The line's fields by the integer path; -1 where a figure lies outside its range.
template <int errorWidth>
int Compose(char* out, double percent, std::int32_t whole1, std::int32_t whole2,
            double value) noexcept {
  int n = 0;
  out[n++] = ' ';
  const int errorLength = FixedPoint<6>(out + n, percent, errorWidth);
  if (errorLength < 0) return -1;
  // At most 1 + 18 + 2 + 11 + 2 + 11 + 2 + 16 characters: within the buffer.
  n += errorLength;
  std::memcpy(out + n, "  ", 2);
  n += 2 + Integer<8>(out + n + 2, whole1);
  std::memcpy(out + n, "  ", 2);
  n += 2 + Integer<8>(out + n + 2, whole2);
  std::memcpy(out + n, "  ", 2);
  const int valueLength = FixedPoint<3>(out + n + 2, value, 8);
  if (valueLength < 0) return -1;
  n += 2 + valueLength;
  out[n] = '\0';
  return n;
}

}  // namespace

// The integer path, not snprintf: a line in 52 ns against 123 ns with std::to_chars, and the
// window composes fifteen of them on every keystroke.
int ComposeResultLine(char* out, double error, std::int32_t whole1, std::int32_t whole2,
                      double value, int errorWidth) noexcept {
  const double percent = Percent(error);
  value = arith::Quiet(value);  // printf must not see a signalling NaN
  const int n = errorWidth == 0   ? Compose<0>(out, percent, whole1, whole2, value)
                : errorWidth == 9 ? Compose<9>(out, percent, whole1, whole2, value)
                                  : -1;
  if (n >= 0) return n;
  const int printed = std::snprintf(out, kLineBuffer, " %*f  %8ld  %8ld  %8.3f", errorWidth,
                                    percent, long{whole1}, long{whole2}, value);
  return printed < 0 ? 0 : (printed >= kLineBuffer ? kLineBuffer - 1 : printed);
}

int ComposeValueLine(char* out, std::int32_t whole) noexcept {
  return Integer<7>(out, whole);
}

std::uint64_t PrintedMillionths(double error) noexcept {
  return Scaled<6>(Percent(error)).value_or(std::numeric_limits<std::uint64_t>::max());
}

}  // namespace engine
