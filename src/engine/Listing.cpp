#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "engine/Arithmetic.h"
#include "engine/Engine.h"
#include "engine/Sequences.h"

namespace engine {
namespace {

constexpr int kLineBuffer = 256;
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

// Blanks that right-align `length` characters in width; returns how many were written.
int Padded(char* out, int length, int width) noexcept {
  const int pad = width > length ? width - length : 0;
  for (int i = 0; i < pad; ++i) out[i] = ' ';
  return pad;
}

// Fixed-point text of x with the given number of decimals, right-aligned in width, exactly as
// printf's "%*.*f" writes it: the exact binary value rounded half to even. Handles what the
// listing meets (0 <= x < 1e12) by integer arithmetic and returns -1 for anything else, which
// the caller then hands to printf itself.
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
  const int pad = Padded(out, length, width);
  char* end = out + pad + length;
  Digits(end, scaled % scale, decimals);
  end[-decimals - 1] = '.';
  Digits(end - decimals - 1, whole, wholeDigits);
  return pad + length;
}

// "%*ld" of a 32-bit value.
int Integer(char* out, std::int32_t v, int width) noexcept {
  const std::uint64_t magnitude = v < 0 ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(v))
                                        : static_cast<std::uint64_t>(v);
  const int digits = DigitCount(magnitude);
  const int length = digits + (v < 0 ? 1 : 0);
  const int pad = Padded(out, length, width);
  if (v < 0) out[pad] = '-';
  Digits(out + pad + length, magnitude, digits);
  return pad + length;
}

int Clamped(int printed) {
  return printed < 0 ? 0 : (printed >= kLineBuffer ? kLineBuffer - 1 : printed);
}

// Sequence indexes of UseTable's entries, kept beside them while a listing gathers them.
int useIndex[kUseCapacity];

// Adds the sequence value at index to UseTable unless one of the same whole-ohm figure is there.
void OfferUsed(const detail::Sequences& seq, int index) {
  for (int i = 0; i < UseCount; ++i) {
    if (seq.whole[useIndex[i]] == seq.whole[index]) return;
  }
  if (UseCount < kUseCapacity) {
    useIndex[UseCount] = index;
    UseTable[UseCount++] = seq.value[index];
  }
}

// The result line of slot k, its resistor columns taken from the sequence texts.
int ComposeSlotLine(char* out, const detail::Sequences& seq, int k) noexcept {
  const int i1 = detail::SlotIndex1[k];
  const int i2 = detail::SlotIndex2[k];
  if (seq.columnLength[i1] != 8 || seq.columnLength[i2] != 8) {
    return ComposeResultLine(out, AnsError[k], AnsReg1[k], AnsReg2[k], AnsValue[k]);
  }
  int n = 0;
  out[n++] = ' ';
  const int errorLength = FixedPoint<6>(out + n, std::fabs(arith::Product(AnsError[k], 100.0)), 0);
  if (errorLength < 0)
    return ComposeResultLine(out, AnsError[k], AnsReg1[k], AnsReg2[k], AnsValue[k]);
  n += errorLength;
  std::memcpy(out + n, "  ", 2);
  std::memcpy(out + n + 2, seq.column[i1], 8);
  std::memcpy(out + n + 10, "  ", 2);
  std::memcpy(out + n + 12, seq.column[i2], 8);
  std::memcpy(out + n + 20, "  ", 2);
  n += 22;
  const int valueLength = FixedPoint<3>(out + n, AnsValue[k], 8);
  if (valueLength < 0)
    return ComposeResultLine(out, AnsError[k], AnsReg1[k], AnsReg2[k], AnsValue[k]);
  n += valueLength;
  out[n] = '\0';
  return n;
}

}  // namespace

int ComposeResultLine(char* out, double error, double reg1, double reg2, double value) noexcept {
  value = arith::Quiet(value);  // printf, the fallback, would raise on a signalling NaN
  // The search's errors are small; a larger one is shown as its product would be, without
  // overflowing on the way.
  const double magnitude = std::fabs(arith::Quiet(error));
  const double percent =
      std::isless(magnitude, std::numeric_limits<double>::max() / 100)
          ? std::fabs(arith::Product(error, 100.0))
          : (std::isnan(magnitude) ? magnitude : std::numeric_limits<double>::infinity());
  const long r1 = WholeOhm(reg1);
  const long r2 = WholeOhm(reg2);
  int n = 0;
  out[n++] = ' ';
  const int errorLength = FixedPoint<6>(out + n, percent, 0);
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
    const int valueLength = FixedPoint<3>(out + n, value, 8);
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

namespace detail {
int ComposeValueColumn(char* out, std::int32_t figure) noexcept {
  const int n = Integer(out, figure, 8);
  out[n] = '\0';
  return n;
}
}  // namespace detail

void CalcSub(double target, TStrings& ansLines, TStrings& useLines) {
  const int n = OhmSift(kListedPairs, target);
  const detail::Sequences& seq = detail::CurrentSequences();
  UseCount = 0;
  char line[kLineBuffer];
  for (int k = 0; k < n; ++k) {
    const int length = ComposeSlotLine(line, seq, k);
    ansLines.Add(AnsiString(line, static_cast<std::size_t>(length)));
    OfferUsed(seq, detail::SlotIndex1[k]);
    OfferUsed(seq, detail::SlotIndex2[k]);
  }
  for (int i = 1; i < UseCount; ++i) {
    const double x = UseTable[i];
    const int index = useIndex[i];
    int j = i;
    for (; j > 0 && UseTable[j - 1] > x; --j) {
      UseTable[j] = UseTable[j - 1];
      useIndex[j] = useIndex[j - 1];
    }
    UseTable[j] = x;
    useIndex[j] = index;
  }
  for (int i = 0; i < UseCount; ++i) {
    // "%7ld" is "%8ld" without its first blank wherever the figure has at most seven digits.
    const int index = useIndex[i];
    if (seq.columnLength[index] == 8 && seq.column[index][0] == ' ') {
      useLines.Add(AnsiString(seq.column[index] + 1, 7));
    } else {
      const int length = ComposeValueLine(line, UseTable[i]);
      useLines.Add(AnsiString(line, static_cast<std::size_t>(length)));
    }
  }
}

}  // namespace engine
