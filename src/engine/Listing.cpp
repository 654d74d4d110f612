#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/Arithmetic.h"
#include "engine/Engine.h"

namespace engine {
namespace {

constexpr int kLineBuffer = 256;
__extension__ typedef unsigned __int128 Uint128;

// Fixed-point text of x with the given number of decimals, right-aligned in width, exactly as
// printf's "%*.*f" writes it: the exact binary value rounded half to even. Handles what the
// listing meets (0 <= x < 1e12, up to 6 decimals) by integer arithmetic and returns -1 for
// anything else, which the caller then hands to printf itself.
int FixedPoint(char* out, double x, int decimals, int width) noexcept {
  static constexpr std::uint64_t kPow10[] = {1, 10, 100, 1000, 10000, 100000, 1000000};
  if (!(x >= 0.0 && x < 1e12) || std::signbit(x) || decimals < 0 || decimals > 6) return -1;
  std::uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  const int biased = static_cast<int>(bits >> 52);  // the sign bit is clear
  std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
  int exponent = -1074;
  if (biased != 0) {
    mantissa |= std::uint64_t{1} << 52;
    exponent = biased - 1075;
  }
  const std::uint64_t scale = kPow10[decimals];
  std::uint64_t scaled;  // x * 10^decimals, rounded half to even
  if (exponent >= 0) {
    scaled = (mantissa << exponent) * scale;  // below 1e12 * 1e6
  } else {
    const Uint128 exact = static_cast<Uint128>(mantissa) * scale;
    const int shift = -exponent;
    if (shift >= 100) {
      scaled = 0;  // exact < 2^73: far below one half
    } else {
      const Uint128 one = 1;
      const Uint128 rest = exact & ((one << shift) - 1);
      const Uint128 half = one << (shift - 1);
      scaled = static_cast<std::uint64_t>(exact >> shift);
      if (rest > half || (rest == half && (scaled & 1) != 0)) ++scaled;
    }
  }
  char digits[32];
  int n = 0;
  std::uint64_t fraction = scaled % scale;
  std::uint64_t whole = scaled / scale;
  for (int d = 0; d < decimals; ++d) {
    digits[n++] = static_cast<char>('0' + fraction % 10);
    fraction /= 10;
  }
  if (decimals > 0) digits[n++] = '.';
  do {
    digits[n++] = static_cast<char>('0' + whole % 10);
    whole /= 10;
  } while (whole != 0);
  int length = 0;
  for (int pad = width - n; pad > 0; --pad) out[length++] = ' ';
  while (n > 0) out[length++] = digits[--n];
  return length;
}

// "%*ld" of a 32-bit value.
int Integer(char* out, std::int32_t v, int width) noexcept {
  char digits[16];
  int n = 0;
  std::int64_t magnitude = v < 0 ? -static_cast<std::int64_t>(v) : v;
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (v < 0) digits[n++] = '-';
  int length = 0;
  for (int pad = width - n; pad > 0; --pad) out[length++] = ' ';
  while (n > 0) out[length++] = digits[--n];
  return length;
}

int Clamped(int printed) {
  return printed < 0 ? 0 : (printed >= kLineBuffer ? kLineBuffer - 1 : printed);
}

// Adds x to UseTable unless a value of the same whole-ohm figure is there already.
void OfferUsed(double x) {
  const std::int32_t figure = WholeOhm(x);
  for (int i = 0; i < UseCount; ++i) {
    if (WholeOhm(UseTable[i]) == figure) return;
  }
  if (UseCount < kUseCapacity) UseTable[UseCount++] = x;
}

}  // namespace

int ComposeResultLine(char* out, double error, double reg1, double reg2, double value) noexcept {
  const double percent = std::fabs(arith::Product(error, 100.0));
  const long r1 = WholeOhm(reg1);
  const long r2 = WholeOhm(reg2);
  int n = 0;
  out[n++] = ' ';
  const int errorLength = FixedPoint(out + n, percent, 6, 0);
  // 1 + 18 + 10 + 2 + 8 + 2 + 8 + 2 + 15 characters at most on this path, within the buffer.
  if (errorLength >= 0) {
    n += errorLength;
    std::memcpy(out + n, "  ", 2);
    n += 2;
    n += Integer(out + n, r1, 8);
    std::memcpy(out + n, "  ", 2);
    n += 2;
    n += Integer(out + n, r2, 8);
    std::memcpy(out + n, "  ", 2);
    n += 2;
    const int valueLength = FixedPoint(out + n, value, 3, 8);
    if (valueLength >= 0) {
      n += valueLength;
      out[n] = '\0';
      return n;
    }
  }
  return Clamped(std::snprintf(out, kLineBuffer, " %f  %8ld  %8ld  %8.3f", percent, r1, r2, value));
}

int ComposeValueLine(char* out, double value) noexcept {
  const int n = Integer(out, WholeOhm(value), 7);
  out[n] = '\0';
  return n;
}

void CalcSub(double target, TStrings& ansLines, TStrings& useLines) {
  const int n = OhmSift(kListedPairs, target);
  UseCount = 0;
  char line[kLineBuffer];
  for (int k = 0; k < n; ++k) {
    const int length = ComposeResultLine(line, AnsError[k], AnsReg1[k], AnsReg2[k], AnsValue[k]);
    ansLines.Add(AnsiString(line, static_cast<std::size_t>(length)));
    OfferUsed(AnsReg1[k]);
    OfferUsed(AnsReg2[k]);
  }
  for (int i = 1; i < UseCount; ++i) {
    const double x = UseTable[i];
    int j = i;
    for (; j > 0 && UseTable[j - 1] > x; --j) UseTable[j] = UseTable[j - 1];
    UseTable[j] = x;
  }
  for (int i = 0; i < UseCount; ++i) {
    const int length = ComposeValueLine(line, UseTable[i]);
    useLines.Add(AnsiString(line, static_cast<std::size_t>(length)));
  }
}

}  // namespace engine
