#include "engine/Format.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "engine/Arithmetic.h"
#include "engine/WholeOhm.h"

namespace engine {
namespace {

__extension__ typedef unsigned __int128 Uint128;

// Writes the last `count` decimal digits of v so that they end just before end.
void Digits(char* end, std::uint64_t v, int count) noexcept {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
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
int AlignRight(char* out, int length, int width) noexcept {
  const int blanks = width > length ? width - length : 0;
  std::memset(out, ' ', static_cast<std::size_t>(blanks));
  return blanks;
}

// "%*.*f" of x with `decimals` digits, right-aligned in width, for 0 <= x < 1e12 (which covers
// what the listing meets); -1 for anything else, which the caller then hands to printf itself.
template <int decimals>
int FixedPoint(char* out, double x, int width) noexcept {
  static_assert(decimals >= 1 && decimals <= 6, "the integer path holds up to six decimals");
  static constexpr std::uint64_t kPow10[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
  if (!(std::isgreaterequal(x, 0.0) && std::isless(x, 1e12)) || std::signbit(x)) return -1;
  std::uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  const int biased = static_cast<int>(bits >> 52);  // the sign bit is clear
  std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
  int exponent = -1074;
  if (biased != 0) {
    mantissa |= std::uint64_t{1} << 52;
    exponent = biased - 1075;  // below 1e12 this is always negative
  }
  constexpr std::uint64_t scale = kPow10[decimals];
  std::uint64_t scaled = 0;  // x * 10^decimals, rounded half to even
  const int shift = -exponent;
  if (shift < 100) {
    const Uint128 exact = static_cast<Uint128>(mantissa) * scale;
    const Uint128 one = 1;
    const Uint128 rest = exact & ((one << shift) - 1);
    const Uint128 half = one << (shift - 1);
    scaled = static_cast<std::uint64_t>(exact >> shift);
    if (rest > half || (rest == half && (scaled & 1) != 0)) ++scaled;
  }  // else x * 10^decimals < 2^74 / 2^100: far below one half
  const std::uint64_t whole = scaled / scale;
  const int wholeDigits = DigitCount(whole);
  const int length = wholeDigits + 1 + decimals;
  const int blanks = AlignRight(out, length, width);
  char* end = out + blanks + length;
  Digits(end, scaled % scale, decimals);
  end[-decimals - 1] = '.';
  Digits(end - decimals - 1, whole, wholeDigits);
  return blanks + length;
}

// "%*ld" of a 32-bit value.
int Integer(char* out, std::int32_t v, int width) noexcept {
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

// The line from its parts, the resistor columns composed already; -1 when the percent or the
// value lies outside the integer path's range.
int ComposeLine(char* out, double percent, std::string_view column1, std::string_view column2,
                double value) noexcept {
  if (column1.size() != 8 || column2.size() != 8) return -1;
  int n = 0;
  out[n++] = ' ';
  const int errorLength = FixedPoint<6>(out + n, percent, 0);
  if (errorLength < 0) return -1;
  n += errorLength;
  // At most 1 + 18 + 2 + 8 + 2 + 8 + 2 + 16 characters: within the buffer.
  std::memcpy(out + n, "  ", 2);
  std::memcpy(out + n + 2, column1.data(), 8);
  std::memcpy(out + n + 10, "  ", 2);
  std::memcpy(out + n + 12, column2.data(), 8);
  std::memcpy(out + n + 20, "  ", 2);
  n += 22;
  const int valueLength = FixedPoint<3>(out + n, value, 8);
  if (valueLength < 0) return -1;
  n += valueLength;
  out[n] = '\0';
  return n;
}

}  // namespace

int ComposeResultLine(char* out, double error, std::string_view column1, std::string_view column2,
                      double value) noexcept {
  // A search's figures are finite and small: no need to guard the product.
  return ComposeLine(out, std::fabs(arith::Product(error, 100.0)), column1, column2, value);
}

int ComposeResultLine(char* out, double error, double reg1, double reg2, double value) noexcept {
  char column1[kValueLineBuffer], column2[kValueLineBuffer];
  const int length1 = ComposeValueColumn(column1, WholeOhm(reg1));
  const int length2 = ComposeValueColumn(column2, WholeOhm(reg2));
  const int n = ComposeLine(out, Percent(error), {column1, std::size_t(length1)},
                            {column2, std::size_t(length2)}, arith::Quiet(value));
  if (n >= 0) return n;
  // Beyond the integer path's range: printf itself, which must not see a signalling NaN.
  const int printed =
      std::snprintf(out, kLineBuffer, " %f  %8ld  %8ld  %8.3f", Percent(error),
                    long{WholeOhm(reg1)}, long{WholeOhm(reg2)}, arith::Quiet(value));
  return printed < 0 ? 0 : (printed >= kLineBuffer ? kLineBuffer - 1 : printed);
}

int ComposeValueLine(char* out, double value) noexcept {
  return Integer(out, WholeOhm(value), 7);
}

int ComposeValueColumn(char* out, std::int32_t figure) noexcept {
  return Integer(out, figure, 8);
}

}  // namespace engine
