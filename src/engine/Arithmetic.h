// The engine's one arithmetic. Its figures are defined as if each formula were evaluated with a
// 64-bit significand, rounding to nearest even, and rounded to double once, where it is stored.
// Plain double evaluation differs in the last bit of some figures, and that decides ties and even
// which pairs are kept, so every formula of the search and the listing goes through here.
//
// Where long double is that format (x86), the hardware does the work; everywhere else, or when
// OHMSIFT_PORTABLE_ARITHMETIC is defined, the integer version in SoftExtended.h does. Either way
// each formula is written once, below.
#pragma once

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/SoftExtended.h"

#if LDBL_MANT_DIG == 64 && FLT_RADIX == 2
#define OHMSIFT_HARDWARE_EXTENDED 1
#endif

namespace engine::arith {

#ifdef OHMSIFT_HARDWARE_EXTENDED
// The hardware's wide sum truncated, as soft::Truncated truncates the integer one. The
// comparisons are quiet so that no input raises a floating-point exception.
inline std::int32_t Truncated(long double sum) noexcept {
  if (std::isless(sum, 2147483648.0L)) {
    if (std::isgreater(sum, -2147483649.0L)) {
      // Truncating the wide sum directly would switch the x87 rounding mode twice, which stalls.
      // The nearest double can only have crossed an integer away from zero, so step back then.
      std::int32_t whole = static_cast<std::int32_t>(static_cast<double>(sum));
      if (sum >= 0 ? whole > sum : whole < sum) whole += sum >= 0 ? -1 : 1;
      return whole;
    }
    return std::numeric_limits<std::int32_t>::min();
  }
  return std::isnan(sum) ? std::numeric_limits<std::int32_t>::min()
                         : std::numeric_limits<std::int32_t>::max();
}
#endif
using soft::Truncated;

// Each formula of the engine, written once over a wide number W: long double where it is the
// format, else the integer arithmetic's soft::Wide. Operands are widened exactly, each operation
// rounds to the wide format, the result to double once.
namespace formula {

// a * b
template <class W>
double Product(double a, double b) noexcept {
  return static_cast<double>(W(a) * W(b));
}

// (1 + offset) * x, as used for the band limits (offset is -Tolerance or +Tolerance).
template <class W>
double Scaled(double offset, double x) noexcept {
  return static_cast<double>((W(1.0) + W(offset)) * W(x));
}

// a + b: two resistors in series. Rounded to 64 bits first, then to double, which is not always
// the double sum.
template <class W>
double Sum(double a, double b) noexcept {
  return static_cast<double>(W(a) + W(b));
}

// a * b / (a + b): two resistors in parallel.
template <class W>
double Parallel(double a, double b) noexcept {
  const W wa = a, wb = b;
  return static_cast<double>(wa * wb / (wa + wb));
}

// (target - value) / target
template <class W>
double RelativeError(double target, double value) noexcept {
  const W t = target;
  return static_cast<double>((t - W(value)) / t);
}

// x + addend truncated toward zero, saturating at the ends of the 32-bit range; NaN gives the
// lower end.
template <class W>
std::int32_t TruncatedSum(double x, double addend) noexcept {
  return arith::Truncated(W(x) + W(addend));
}

// The outputs of the ratio searches, each as written: a divider's VIN x R2 / (R1 + R2); a
// regulator's VREF x (R1 + R2) / R2 + I x R1 with VREF at its feedback pin, or VREF x (R1 + R2) /
// R1 + I x R2 with VREF from its output to its adjust pin; a gain's R1 / R2.
template <class W>
double Divider(double vin, double r1, double r2) noexcept {
  const W b = r2;
  return static_cast<double>(W(vin) * b / (W(r1) + b));
}
template <class W>
double Feedback(double vref, double current, double r1, double r2) noexcept {
  const W a = r1, b = r2;
  return static_cast<double>(W(vref) * (a + b) / b + W(current) * a);
}
template <class W>
double Adjust(double vref, double current, double r1, double r2) noexcept {
  const W a = r1, b = r2;
  return static_cast<double>(W(vref) * (a + b) / a + W(current) * b);
}
template <class W>
double Ratio(double r1, double r2) noexcept {
  return static_cast<double>(W(r1) / W(r2));
}

}  // namespace formula

#if defined(OHMSIFT_HARDWARE_EXTENDED) && !defined(OHMSIFT_PORTABLE_ARITHMETIC)
using Wide = long double;
inline constexpr const char kName[] = "hardware 64-bit significand";
#else
using Wide = soft::Wide;
inline constexpr const char kName[] = "integer 64-bit significand";
#endif

// x, with a signalling NaN made quiet by its bits alone: touched by any floating-point
// instruction, even a comparison, a signalling NaN raises the invalid-operation exception.
inline double Quiet(double x) noexcept {
  const auto bits = std::bit_cast<std::uint64_t>(x);
  constexpr std::uint64_t kExponent = 0x7ff0000000000000ull;
  constexpr std::uint64_t kQuietBit = 0x0008000000000000ull;
  if ((bits & kExponent) == kExponent && (bits & ~(kExponent | (1ull << 63))) != 0) {
    return std::bit_cast<double>(bits | kQuietBit);
  }
  return x;
}

inline double Product(double a, double b) noexcept {
  return formula::Product<Wide>(Quiet(a), Quiet(b));
}
inline double Scaled(double offset, double x) noexcept {
  return formula::Scaled<Wide>(Quiet(offset), Quiet(x));
}
inline double Sum(double a, double b) noexcept {
  return formula::Sum<Wide>(Quiet(a), Quiet(b));
}
inline double Parallel(double a, double b) noexcept {
  return formula::Parallel<Wide>(Quiet(a), Quiet(b));
}
inline double RelativeError(double target, double value) noexcept {
  return formula::RelativeError<Wide>(Quiet(target), Quiet(value));
}

inline double Divider(double vin, double r1, double r2) noexcept {
  return formula::Divider<Wide>(Quiet(vin), Quiet(r1), Quiet(r2));
}
inline double Feedback(double vref, double current, double r1, double r2) noexcept {
  return formula::Feedback<Wide>(Quiet(vref), Quiet(current), Quiet(r1), Quiet(r2));
}
inline double Adjust(double vref, double current, double r1, double r2) noexcept {
  return formula::Adjust<Wide>(Quiet(vref), Quiet(current), Quiet(r1), Quiet(r2));
}
inline double Ratio(double r1, double r2) noexcept {
  return formula::Ratio<Wide>(Quiet(r1), Quiet(r2));
}

// Where the double sum lies clear of an integer, the wide sum lies on the same side, for both are
// within 2^-22 of the exact sum below 2^31; only near an integer is the wide sum needed.
inline std::int32_t TruncatedSum(double x, double addend) noexcept {
  x = Quiet(x);
  addend = Quiet(addend);
  const double near = x + addend;
  if (std::isgreaterequal(near, 0.0) && std::isless(near, 2147483647.0)) {
    const auto whole = static_cast<std::int32_t>(near);
    const double fraction = near - whole;
    if (fraction > 1e-6 && fraction < 1.0 - 1e-6) return whole;
  }
  return formula::TruncatedSum<Wide>(x, addend);
}

}  // namespace engine::arith
