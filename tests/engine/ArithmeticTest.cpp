// The integer arithmetic held bit for bit to the hardware's where it has the rule (x86). The
// machines without it are held to the same answers by the digests of the command line's output
// recorded on x86 (tests/cli/sweep_digest.sh), every figure in full.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "engine/Arithmetic.h"

#ifdef OHMSIFT_HARDWARE_EXTENDED
namespace {

namespace soft = engine::arith::soft;
namespace formula = engine::arith::formula;

// NaNs are alike whatever their payload; everything else must agree in every bit (a double's
// every bit is in the long double it widens to).
bool Same(long double a, long double b) {
  return (std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b));
}

// Any double: zeros, subnormals, the ends of the range, infinities, NaN, values with few bits (so
// that exact results and ties are common) and ordinary magnitudes around the engine's resistances.
double AnyDouble(std::mt19937_64& random) {
  using Limits = std::numeric_limits<double>;
  // clang-format off
  const double specials[] = {0.0, -0.0, Limits::infinity(), -Limits::infinity(), Limits::quiet_NaN(),
                             Limits::denorm_min(), Limits::min(), Limits::max(), 1.0, 0.01, -0.05};
  // clang-format on
  const std::uint64_t bits = random(), fraction = random() & ((1ull << 52) - 1),
                      sign = random() & (1ull << 63);
  const double kinds[] = {
      std::bit_cast<double>(bits), specials[bits % std::size(specials)],
      std::bit_cast<double>(fraction | sign),  // subnormal
      std::ldexp(double(bits % 4096), int(bits >> 32) % 80 - 40),
      std::bit_cast<double>((bits % 60 + 1013) << 52 | fraction | ((bits >> 8) % 16 ? 0 : sign))};
  return kinds[std::min<std::uint64_t>(random() % 6, 4)];
}

long double ToLong(const soft::Ext& e) {
  const long double magnitude = e.kind == soft::Ext::kFinite
                                    ? std::ldexp((long double)e.significand, e.exponent)
                                : e.kind == soft::Ext::kInfinite ? HUGE_VALL
                                : e.kind == soft::Ext::kNaN      ? NAN
                                                                 : 0.0L;
  return e.negative ? -magnitude : magnitude;
}

soft::Ext FromLong(long double x) {
  if (x == 0 || !std::isfinite(x)) return soft::FromDouble(static_cast<double>(x));
  int exponent;
  const long double fraction = std::frexp(std::fabs(x), &exponent);
  return {soft::Ext::kFinite, std::signbit(x), exponent - 64,
          static_cast<std::uint64_t>(std::ldexp(fraction, 64))};
}

TEST(ArithmeticTest, IntegerPathMatchesTheHardware) {
  std::mt19937_64 random(20261206);
  // Each operation on its own at the full 64 bits, on operands that carry 64 bits themselves as
  // the products and sums inside the formulas do: a wrong last bit shows even where rounding to
  // double would hide it. Now and then an operand far below the other, just above a power of two,
  // so that the bits shifted out decide a tie.
  const auto wide = [&random]() -> long double {
    const long double a = AnyDouble(random), b = AnyDouble(random);
    return std::vector{a, a * b, a + b, a / b}[random() % 4];
  };
  for (int i = 0; i < 1000000; ++i) {
    const long double a = wide();
    long double b = i % 3 == 0 ? wide() : (i % 3 == 1 ? -a * 0.75L : a + wide());
    if (i % 5 == 0 && std::isnormal(a)) {
      const long double nearPower = 1.0L + std::ldexp((long double)(i / 5 % 4), -63);
      b = std::ldexp(nearPower, std::ilogb(a) - 62 - i / 20 % 5) * (i % 2 ? -1 : 1);
    }
    if (std::fabs(a) > 1e600L || std::fabs(b) > 1e600L) continue;
    const soft::Ext x = FromLong(a), y = FromLong(b);
    ASSERT_TRUE(Same(ToLong(soft::Multiply(x, y)), a * b) && Same(ToLong(soft::Add(x, y)), a + b) &&
                Same(ToLong(soft::Subtract(x, y)), a - b) &&
                Same(ToLong(soft::Divide(x, y)), a / b) && Same(soft::ToDouble(x), double(a)))
        << std::hexfloat << a << ", " << b;
  }
  // Each formula on any doubles, and the whole-ohm figure next to every integer the engine meets
  // and at the ends of the 32-bit range, where the last bits of x + 0.01 decide it.
  for (int i = 0; i < 1000000; ++i) {
    const double a = AnyDouble(random), b = i % 4 ? AnyDouble(random) : std::nextafter(a, HUGE_VAL);
    const double c = AnyDouble(random), d = AnyDouble(random);
    using W = soft::Wide;
    using L = long double;
    ASSERT_TRUE(Same(formula::Product<W>(a, b), formula::Product<L>(a, b)) &&
                Same(formula::Scaled<W>(a, b), formula::Scaled<L>(a, b)) &&
                Same(formula::Sum<W>(a, b), formula::Sum<L>(a, b)) &&
                Same(formula::Parallel<W>(a, b), formula::Parallel<L>(a, b)) &&
                Same(formula::RelativeError<W>(a, b), formula::RelativeError<L>(a, b)) &&
                formula::TruncatedSum<W>(a, b) == formula::TruncatedSum<L>(a, b) &&
                Same(formula::Divider<W>(a, b, c), formula::Divider<L>(a, b, c)) &&
                Same(formula::Feedback<W>(a, b, c, d), formula::Feedback<L>(a, b, c, d)) &&
                Same(formula::Adjust<W>(a, b, c, d), formula::Adjust<L>(a, b, c, d)) &&
                Same(formula::Ratio<W>(a, b), formula::Ratio<L>(a, b)))
        << std::hexfloat << a << ", " << b;
  }
  std::vector<double> near;
  for (int whole = -2000; whole <= 1000000; ++whole)
    near.push_back(std::nextafter(whole - 0.01, -1e300));
  for (const double edge : {2147483647.0, 2147483648.0, -2147483648.0, -2147483649.0}) {
    for (double x = edge - 1.5; x < edge + 1.5; x += 0.25)
      near.insert(near.end(), {x - 0.01, x + 0.01});
  }
  for (double x : near) {
    for (int step = 0; step < 5; ++step, x = std::nextafter(x, HUGE_VAL)) {
      ASSERT_TRUE(formula::TruncatedSum<soft::Wide>(x, 0.01) ==
                      formula::TruncatedSum<long double>(x, 0.01) &&
                  formula::TruncatedSum<soft::Wide>(x, -0.01) ==
                      formula::TruncatedSum<long double>(x, -0.01))
          << std::hexfloat << x;
    }
  }
}
}  // namespace
#endif
