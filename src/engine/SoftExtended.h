// The engine's arithmetic done with integers: each operation on doubles is rounded to a 64-bit
// significand, to nearest even, and the result of a formula is rounded to double once. On
// machines whose long double is not that format this is the arithmetic (Wide below); elsewhere it
// is the second opinion the tests hold the hardware to.
//
// The exponent is an int and never overflows for these formulas (their operands are doubles), so
// only the final rounding to double can overflow or produce a subnormal, and it does both the
// way the hardware does with those exceptions masked. NaN results are the default quiet NaN;
// their payload carries no meaning in the engine.
#pragma once

#include <bit>
#include <cstdint>
#include <limits>

namespace engine::arith::soft {

__extension__ typedef unsigned __int128 U128;  // every 64-bit g++ and clang target has it

struct Ext {
  enum Kind : std::uint8_t { kZero, kFinite, kInfinite, kNaN };
  Kind kind = kZero;
  bool negative = false;
  int exponent = 0;               // value = significand * 2^exponent
  std::uint64_t significand = 0;  // top bit set when finite
};

inline Ext FromDouble(double x) noexcept {
  const auto bits = std::bit_cast<std::uint64_t>(x);
  Ext e;
  e.negative = (bits >> 63) != 0;
  const int field = static_cast<int>((bits >> 52) & 0x7ff);
  std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
  if (field == 0x7ff) {
    e.kind = fraction != 0 ? Ext::kNaN : Ext::kInfinite;
    return e;
  }
  if (field == 0 && fraction == 0) return e;  // a zero, signed
  e.kind = Ext::kFinite;
  int exponent = field == 0 ? -1074 : field - 1075;
  if (field != 0) fraction |= std::uint64_t{1} << 52;
  const int shift = __builtin_clzll(fraction);
  e.significand = fraction << shift;
  e.exponent = exponent - shift;
  return e;
}

inline Ext NaN() noexcept {
  Ext e;
  e.kind = Ext::kNaN;
  e.negative = true;  // the default NaN of an invalid operation has the sign bit set
  return e;
}

inline Ext Infinity(bool negative) noexcept {
  Ext e;
  e.kind = Ext::kInfinite;
  e.negative = negative;
  return e;
}

inline Ext Zero(bool negative) noexcept {
  Ext e;
  e.negative = negative;
  return e;
}

// Rounds wide * 2^exponent, wide != 0, to a 64-bit significand; sticky says whether nonzero bits
// were already dropped below wide's last bit.
inline Ext Round(bool negative, U128 wide, int exponent, bool sticky) noexcept {
  const int top = wide >> 64 ? 127 - __builtin_clzll(static_cast<std::uint64_t>(wide >> 64))
                             : 63 - __builtin_clzll(static_cast<std::uint64_t>(wide));
  Ext e;
  e.kind = Ext::kFinite;
  e.negative = negative;
  if (top <= 63) {  // exact: no bit to drop
    e.significand = static_cast<std::uint64_t>(wide) << (63 - top);
    e.exponent = exponent - (63 - top);
    return e;
  }
  const int drop = top - 63;
  const U128 half = U128{1} << (drop - 1);
  const U128 rest = wide & ((U128{1} << drop) - 1);
  U128 kept = wide >> drop;
  if (rest > half || (rest == half && (sticky || (kept & 1)))) ++kept;
  exponent += drop;
  if (kept >> 64) {  // rounding carried into a new top bit
    kept >>= 1;
    ++exponent;
  }
  e.significand = static_cast<std::uint64_t>(kept);
  e.exponent = exponent;
  return e;
}

inline Ext Multiply(const Ext& a, const Ext& b) noexcept {
  const bool negative = a.negative != b.negative;
  if (a.kind == Ext::kNaN || b.kind == Ext::kNaN) return NaN();
  if (a.kind == Ext::kInfinite || b.kind == Ext::kInfinite) {
    if (a.kind == Ext::kZero || b.kind == Ext::kZero) return NaN();
    return Infinity(negative);
  }
  if (a.kind == Ext::kZero || b.kind == Ext::kZero) return Zero(negative);
  return Round(negative, U128{a.significand} * b.significand, a.exponent + b.exponent, false);
}

inline Ext Add(const Ext& a, const Ext& b) noexcept {
  if (a.kind == Ext::kNaN || b.kind == Ext::kNaN) return NaN();
  if (a.kind == Ext::kInfinite || b.kind == Ext::kInfinite) {
    if (a.kind == Ext::kInfinite && b.kind == Ext::kInfinite && a.negative != b.negative)
      return NaN();
    return a.kind == Ext::kInfinite ? a : b;
  }
  if (a.kind == Ext::kZero) return b.kind == Ext::kZero ? Zero(a.negative && b.negative) : b;
  if (b.kind == Ext::kZero) return a;
  // big has the larger magnitude.
  const bool aBigger =
      a.exponent > b.exponent || (a.exponent == b.exponent && a.significand >= b.significand);
  const Ext& big = aBigger ? a : b;
  const Ext& small = aBigger ? b : a;
  // 62 guard bits below the larger significand; what falls below them only counts as sticky,
  // which is all the rounding needs once the operands are at least two places apart.
  constexpr int kGuard = 62;
  const U128 wideBig = U128{big.significand} << kGuard;
  const int apart = big.exponent - small.exponent;
  U128 wideSmall = 0;
  bool sticky = false;
  if (apart <= kGuard) {
    wideSmall = U128{small.significand} << (kGuard - apart);
  } else if (apart < kGuard + 64) {
    const int shift = apart - kGuard;
    wideSmall = small.significand >> shift;
    sticky = (small.significand & ((std::uint64_t{1} << shift) - 1)) != 0;
  } else {
    sticky = true;
  }
  const int exponent = big.exponent - kGuard;
  if (big.negative == small.negative) {
    // The rounding point lies at least two places above the last bit, so a dropped part only
    // needs to show in that last bit.
    return Round(big.negative, (wideBig + wideSmall) | (sticky ? 1 : 0), exponent, false);
  }
  U128 difference = wideBig - wideSmall;
  if (difference == 0 && !sticky) return Zero(false);  // x - x is +0 when rounding to nearest
  // A dropped part of the subtrahend lowers the exact difference by less than one unit here.
  if (sticky) difference -= 1;
  return Round(big.negative, difference | (sticky ? 1 : 0), exponent, false);
}

inline Ext Subtract(const Ext& a, Ext b) noexcept {
  if (b.kind != Ext::kNaN) b.negative = !b.negative;
  return Add(a, b);
}

inline Ext Divide(const Ext& a, const Ext& b) noexcept {
  const bool negative = a.negative != b.negative;
  if (a.kind == Ext::kNaN || b.kind == Ext::kNaN) return NaN();
  if (a.kind == Ext::kInfinite) return b.kind == Ext::kInfinite ? NaN() : Infinity(negative);
  if (b.kind == Ext::kInfinite) return Zero(negative);
  if (b.kind == Ext::kZero) return a.kind == Ext::kZero ? NaN() : Infinity(negative);
  if (a.kind == Ext::kZero) return Zero(negative);
  const U128 dividend = U128{a.significand} << 64;
  const U128 quotient = dividend / b.significand;
  const std::uint64_t remainder = static_cast<std::uint64_t>(dividend % b.significand);
  const int exponent = a.exponent - b.exponent - 64;
  if (quotient >> 64) {  // 65 bits: the last is the rounding bit, the remainder the sticky one
    return Round(negative, quotient, exponent, remainder != 0);
  }
  // 64 bits exactly: the remainder alone places the quotient against the half-way point.
  std::uint64_t kept = static_cast<std::uint64_t>(quotient);
  const U128 twice = U128{remainder} * 2;
  Ext e;
  e.kind = Ext::kFinite;
  e.negative = negative;
  e.exponent = exponent;
  if (twice > b.significand || (twice == b.significand && (kept & 1))) {
    if (++kept == 0) {
      kept = std::uint64_t{1} << 63;
      ++e.exponent;
    }
  }
  e.significand = kept;
  return e;
}

// Rounds to the nearest double, ties to even, subnormal or infinite where the value lies there.
inline double ToDouble(const Ext& e) noexcept {
  std::uint64_t bits = e.negative ? std::uint64_t{1} << 63 : 0;
  if (e.kind == Ext::kNaN) {
    bits |= 0x7ff8000000000000ull;
  } else if (e.kind == Ext::kInfinite) {
    bits |= 0x7ff0000000000000ull;
  } else if (e.kind == Ext::kFinite) {
    const int top = e.exponent + 63;  // exponent of the leading bit
    if (top > 1023)
      return e.negative ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::infinity();
    // Bits to drop: 11 for a normal result, more as a subnormal one loses precision.
    const int drop = top >= -1022 ? 11 : 11 + (-1022 - top);
    std::uint64_t kept = 0;
    if (drop <= 64) {
      const U128 wide = e.significand;
      const U128 half = U128{1} << (drop - 1);
      const U128 rest = wide & ((U128{1} << drop) - 1);
      kept = static_cast<std::uint64_t>(wide >> drop);
      if (rest > half || (rest == half && (kept & 1))) ++kept;
    }
    // kept now holds the significand with its hidden bit; a carry out of 53 bits, or a
    // subnormal rounded up to the smallest normal, moves into the exponent field by itself.
    if (top >= -1022) {
      const std::uint64_t field = static_cast<std::uint64_t>(top + 1023);
      bits |= (field << 52) + (kept - (std::uint64_t{1} << 52));
    } else {
      bits |= kept;
    }
  }
  return std::bit_cast<double>(bits);
}

// The wide number the engine's formulas are written over (engine/Arithmetic.h), as long double is
// where the hardware has the format: every operation rounded to a 64-bit significand.
class Wide {
 public:
  Wide(double x) noexcept : e_(FromDouble(x)) {}  // exact, as a double's widening is
  explicit Wide(const Ext& e) noexcept : e_(e) {}
  const Ext& ext() const noexcept { return e_; }
  // Rounded to the nearest double, once.
  explicit operator double() const noexcept { return ToDouble(e_); }

  friend Wide operator+(const Wide& a, const Wide& b) noexcept { return Wide(Add(a.e_, b.e_)); }
  friend Wide operator-(const Wide& a, const Wide& b) noexcept {
    return Wide(Subtract(a.e_, b.e_));
  }
  friend Wide operator*(const Wide& a, const Wide& b) noexcept {
    return Wide(Multiply(a.e_, b.e_));
  }
  friend Wide operator/(const Wide& a, const Wide& b) noexcept { return Wide(Divide(a.e_, b.e_)); }

 private:
  Ext e_;
};

// w truncated toward zero, saturating at the ends of the 32-bit range; NaN gives the lower end.
inline std::int32_t Truncated(const Wide& w) noexcept {
  const Ext& sum = w.ext();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  switch (sum.kind) {
    case Ext::kNaN:
      return kMin;
    case Ext::kInfinite:
      return sum.negative ? kMin : kMax;
    case Ext::kZero:
      return 0;
    case Ext::kFinite:
      break;
  }
  if (sum.exponent <= -64) return 0;                          // below one
  if (sum.exponent > -32) return sum.negative ? kMin : kMax;  // 2^32 or more
  const std::uint64_t whole = sum.significand >> -sum.exponent;
  if (sum.negative)
    return whole >= std::uint64_t{1} << 31 ? kMin : -static_cast<std::int32_t>(whole);
  return whole > static_cast<std::uint64_t>(kMax) ? kMax : static_cast<std::int32_t>(whole);
}

}  // namespace engine::arith::soft
