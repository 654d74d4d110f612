// The arithmetic rule, on whichever path this machine uses, and the integer path held bit for bit
// to the hardware's where it has one. A digest of every figure the search can compute, recorded
// on x86, ties the machines without one to the same answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "engine/Arithmetic.h"
#include "engine/Engine.h"

namespace {

namespace arith = engine::arith;
namespace soft = engine::arith::soft;

std::uint64_t Bits(double x) {
  std::uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

double FromBits(std::uint64_t bits) {
  double x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// NaNs are alike whatever their payload; everything else must agree in every bit.
[[maybe_unused]] bool Same(double a, double b) {
  return (std::isnan(a) && std::isnan(b)) || Bits(a) == Bits(b);
}

std::string Hex(long double x) {
  char text[64];
  std::snprintf(text, sizeof text, "%La", x);
  return text;
}

double Up(double x, int steps = 1) {
  for (int i = 0; i < steps; ++i) x = std::nextafter(x, std::numeric_limits<double>::infinity());
  return x;
}

// Figures that only this rule gives; plain double evaluation misses each by a bit.
TEST(ArithmeticTest, FiguresThatDependOnTheRule) {
  engine::InitTable();
  const double r110 = arith::Product(engine::SeriesTable[1], 100.0);
  const double r220 = arith::Product(engine::SeriesTable[8], 100.0);
  const double r510 = arith::Product(engine::SeriesTable[17], 1e5);
  ASSERT_EQ(r110, Up(110.0));
  ASSERT_EQ(r220, Up(220.0));
  ASSERT_EQ(r510, std::nextafter(510000.0, 0.0));
  struct Case {
    double a, b, rule, plain;
  } const cases[] = {
      {r220, 330, 132, Up(132.0)},
      {68000, r510, 60000, 59999.999999999985},
      {r110, 1100, Up(100.0), Up(100.0)},  // the hair that sorts it first at 101
      {150, 1100, 132, 132},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Bits(arith::Parallel(c.a, c.b)), Bits(c.rule)) << Hex(c.a) << " | " << Hex(c.b);
    EXPECT_EQ(Bits(c.a * c.b / (c.a + c.b)), Bits(c.plain)) << Hex(c.a) << " | " << Hex(c.b);
  }
  EXPECT_EQ(arith::Scaled(0.05, 160), 168);
  EXPECT_EQ(arith::Scaled(-0.05, 4700), 4465);
}

// Any double: zeros, subnormals, the ends of the range, infinities, NaN, and ordinary values,
// mostly near one another so that sums cancel and products land on ties.
class Doubles {
 public:
  explicit Doubles(std::uint64_t seed) : random_(seed) {}

  double Next() {
    switch (random_() % 8) {
      case 0: {  // anything at all
        return FromBits(random_());
      }
      case 1: {
        const double specials[] = {0.0,
                                   -0.0,
                                   std::numeric_limits<double>::infinity(),
                                   -std::numeric_limits<double>::infinity(),
                                   std::numeric_limits<double>::quiet_NaN(),
                                   std::numeric_limits<double>::denorm_min(),
                                   std::numeric_limits<double>::min(),
                                   std::numeric_limits<double>::max(),
                                   -std::numeric_limits<double>::max(),
                                   1.0,
                                   0.01,
                                   0.05,
                                   -0.05};
        return specials[random_() % (sizeof specials / sizeof specials[0])];
      }
      case 2: {  // subnormal
        return FromBits((random_() & ((std::uint64_t{1} << 52) - 1)) | (random_() & (1ull << 63)));
      }
      case 3: {  // few significant bits, so that exact results and ties are common
        const double whole = static_cast<double>(random_() % 4096);
        return std::ldexp(whole, static_cast<int>(random_() % 80) - 40);
      }
      default: {  // ordinary magnitudes, around the resistances the engine sees
        const int exponent = static_cast<int>(random_() % 60) - 10;
        const std::uint64_t mantissa = random_() & ((std::uint64_t{1} << 52) - 1);
        return FromBits((static_cast<std::uint64_t>(exponent + 1023) << 52) | mantissa |
                        (random_() % 16 == 0 ? 1ull << 63 : 0));
      }
    }
  }

 private:
  std::mt19937_64 random_;
};

#ifdef OHMSIFT_HARDWARE_EXTENDED
namespace hardware = engine::arith::hardware;

// Each operation on its own, at the full 64 bits, on operands that themselves carry 64 bits as
// products and sums inside the formulas do; a wrong last bit shows here even where rounding to
// double would hide it.
long double ToLong(const soft::Ext& e) {
  switch (e.kind) {
    case soft::Ext::kZero:
      return e.negative ? -0.0L : 0.0L;
    case soft::Ext::kInfinite:
      return e.negative ? -HUGE_VALL : HUGE_VALL;
    case soft::Ext::kNaN:
      return std::numeric_limits<long double>::quiet_NaN();
    case soft::Ext::kFinite:
      break;
  }
  const long double magnitude = std::ldexp(static_cast<long double>(e.significand), e.exponent);
  return e.negative ? -magnitude : magnitude;
}

soft::Ext FromLong(long double x) {
  if (x == 0 || !std::isfinite(x)) {
    soft::Ext e = soft::FromDouble(static_cast<double>(x));
    return e;
  }
  int exponent;
  const long double fraction = std::frexp(std::fabs(x), &exponent);
  soft::Ext e;
  e.kind = soft::Ext::kFinite;
  e.negative = std::signbit(x);
  e.significand = static_cast<std::uint64_t>(std::ldexp(fraction, 64));
  e.exponent = exponent - 64;
  return e;
}

bool SameLong(long double a, long double b) {
  return (std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b));
}

TEST(ArithmeticTest, IntegerOperationsMatchTheHardwareToTheLastOf64Bits) {
  Doubles doubles(6);
  auto wide = [&doubles](int i) -> long double {
    const long double a = doubles.Next();
    const long double b = doubles.Next();
    switch (i % 4) {
      case 0:
        return a;
      case 1:
        return a * b;
      case 2:
        return a + b;
      default:
        return a / b;
    }
  };
  for (int i = 0; i < 1000000; ++i) {
    const long double a = wide(i);
    long double b = i % 3 == 0 ? wide(i / 4) : (i % 3 == 1 ? -a * 0.75L : a + wide(i + 1));
    if (i % 5 == 0 && std::isnormal(a)) {
      // Far below a, and just above a power of two: the bits shifted out decide a tie.
      const long double nearPower = 1.0L + std::ldexp(static_cast<long double>(i / 5 % 4), -63);
      b = std::ldexp(nearPower, std::ilogb(a) - 62 - i / 20 % 5) * (i % 2 ? -1 : 1);
    }
    if (std::fabs(a) > 1e600L || std::fabs(b) > 1e600L) continue;
    const soft::Ext x = FromLong(a), y = FromLong(b);
    ASSERT_TRUE(SameLong(ToLong(x), a));
    ASSERT_TRUE(SameLong(ToLong(soft::Multiply(x, y)), a * b)) << "* " << Hex(a) << ", " << Hex(b);
    ASSERT_TRUE(SameLong(ToLong(soft::Add(x, y)), a + b)) << "+ " << Hex(a) << ", " << Hex(b);
    ASSERT_TRUE(SameLong(ToLong(soft::Subtract(x, y)), a - b)) << "- " << Hex(a) << ", " << Hex(b);
    ASSERT_TRUE(SameLong(ToLong(soft::Divide(x, y)), a / b)) << "/ " << Hex(a) << ", " << Hex(b);
    ASSERT_TRUE(Same(soft::ToDouble(x), static_cast<double>(a)))
        << "double " << Hex(a) << ", " << Hex(b);
  }
}

TEST(ArithmeticTest, IntegerPathMatchesTheHardwareOnAnyDoubles) {
  Doubles doubles(20261206);
  for (int i = 0; i < 1000000; ++i) {
    const double a = doubles.Next();
    const double b = i % 4 == 0 ? Up(a, static_cast<int>(i % 7)) : doubles.Next();
    ASSERT_TRUE(Same(soft::Product(a, b), hardware::Product(a, b)))
        << "Product " << Hex(a) << ", " << Hex(b);
    ASSERT_TRUE(Same(soft::Scaled(a, b), hardware::Scaled(a, b)))
        << "Scaled " << Hex(a) << ", " << Hex(b);
    ASSERT_TRUE(Same(soft::Parallel(a, b), hardware::Parallel(a, b)))
        << "Parallel " << Hex(a) << ", " << Hex(b);
    ASSERT_TRUE(Same(soft::RelativeError(a, b), hardware::RelativeError(a, b)))
        << "RelativeError " << Hex(a) << ", " << Hex(b);
    ASSERT_EQ(soft::TruncatedSum(a, b), hardware::TruncatedSum(a, b))
        << "Sum " << Hex(a) << ", " << Hex(b);
  }
}

// Whole-ohm figures turn on the last bits of x + 0.01 next to each integer.
TEST(ArithmeticTest, IntegerPathTruncatesSumsAsTheHardwareDoes) {
  for (int whole = -2000; whole <= 1000000; ++whole) {
    double x = std::nextafter(whole - 0.01, -1e300);
    for (int step = 0; step < 5; ++step, x = Up(x)) {
      ASSERT_EQ(soft::TruncatedSum(x, 0.01), hardware::TruncatedSum(x, 0.01)) << Hex(x);
    }
  }
  for (double edge : {2147483647.0, 2147483648.0, -2147483648.0, -2147483649.0}) {
    for (double x = std::nextafter(edge, 0.0) - 1; x < edge + 2; x = Up(x)) {
      ASSERT_EQ(soft::TruncatedSum(x, 0.01), hardware::TruncatedSum(x, 0.01)) << Hex(x);
      ASSERT_EQ(soft::TruncatedSum(x, -0.01), hardware::TruncatedSum(x, -0.01)) << Hex(x);
      if (x > edge + 1) break;
    }
  }
}
#endif

// FNV-1a over the bits of each figure, in a fixed order.
class Digest {
 public:
  void Add(double x) { AddBits(std::isnan(x) ? 0x7ff8000000000000ull : Bits(x)); }
  void AddBits(std::uint64_t bits) {
    for (int i = 0; i < 8; ++i, bits >>= 8) hash_ = (hash_ ^ (bits & 0xff)) * 0x100000001b3ull;
  }
  std::uint64_t Value() const { return hash_; }

 private:
  std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

struct Pair {
  double parallel;
  int first, second;
};

// Targets between 100 and 1,000,000 with all 52 bits of fraction drawn, built from integers
// alone so that every machine draws the same ones.
std::vector<double> NonIntegralTargets(int count) {
  std::mt19937_64 random(4700);
  std::vector<double> targets;
  while (static_cast<int>(targets.size()) < count) {
    const std::uint64_t exponent = 1023 + 6 + random() % 14;  // 64 to 2^20
    const double t = FromBits((exponent << 52) | (random() & ((std::uint64_t{1} << 52) - 1)));
    if (t > 100 && t < 1000000 && t != std::floor(t)) targets.push_back(t);
  }
  for (int k = 101; k < 999999; k += 997) targets.push_back(k + 0.5);
  return targets;
}

// Every figure the search and the listing can compute: each sequence value and decade, the
// parallel value of every pair, and for every whole target from 101 to 999,999 and many
// non-integral ones the band limits and the error of every pair inside the band.
TEST(ArithmeticTest, EveryFigureOfTheSearchOnEveryTarget) {
  engine::InitTable();
  Digest digest;
  std::vector<double> values;
  int secondCount = 0;
  double decade = 1.0;
  for (int d = 0; d < 7; ++d) {
    for (int i = 0; engine::SeriesTable[i] != 0.0; ++i) {
      values.push_back(arith::Product(engine::SeriesTable[i], decade));
#ifdef OHMSIFT_HARDWARE_EXTENDED
      ASSERT_TRUE(Same(soft::Product(engine::SeriesTable[i], decade), values.back()));
#endif
      digest.Add(values.back());
      digest.AddBits(static_cast<std::uint64_t>(engine::WholeOhm(values.back())));
    }
    if (d < 6) secondCount = static_cast<int>(values.size());
    decade = arith::Product(decade, 10.0);
    digest.Add(decade);
  }
  ASSERT_EQ(values.size(), 168u);
  ASSERT_EQ(secondCount, 144);

  std::vector<Pair> pairs;
  for (int i1 = 0; i1 < 168; ++i1) {
    for (int i2 = 0; i2 < secondCount; ++i2) {
      const double p = arith::Parallel(values[i1], values[i2]);
#ifdef OHMSIFT_HARDWARE_EXTENDED
      ASSERT_TRUE(Same(soft::Parallel(values[i1], values[i2]), p)) << i1 << " " << i2;
#endif
      digest.Add(p);
      if (i2 >= i1) pairs.push_back({p, i1, i2});  // each unordered pair once, for the bands
    }
  }
  std::stable_sort(pairs.begin(), pairs.end(),
                   [](const Pair& a, const Pair& b) { return a.parallel < b.parallel; });

  std::vector<double> targets;
  for (int t = 101; t <= 999999; ++t) targets.push_back(t);
  const std::vector<double> odd = NonIntegralTargets(200000);
  targets.insert(targets.end(), odd.begin(), odd.end());

  long errors = 0;
  for (const double target : targets) {
    const double lower = arith::Scaled(-engine::Tolerance, target);
    const double upper = arith::Scaled(engine::Tolerance, target);
#ifdef OHMSIFT_HARDWARE_EXTENDED
    ASSERT_TRUE(Same(soft::Scaled(-engine::Tolerance, target), lower)) << Hex(target);
    ASSERT_TRUE(Same(soft::Scaled(engine::Tolerance, target), upper)) << Hex(target);
#endif
    digest.Add(lower);
    digest.Add(upper);
    auto pair = std::lower_bound(pairs.begin(), pairs.end(), lower,
                                 [](const Pair& p, double limit) { return p.parallel < limit; });
    for (; pair != pairs.end() && pair->parallel <= upper; ++pair) {
      const double error = arith::RelativeError(target, pair->parallel);
#ifdef OHMSIFT_HARDWARE_EXTENDED
      ASSERT_TRUE(Same(soft::RelativeError(target, pair->parallel), error))
          << Hex(target) << " " << Hex(pair->parallel);
#endif
      // As the listing shows it, in percent.
      const double percent = arith::Product(error, 100.0);
#ifdef OHMSIFT_HARDWARE_EXTENDED
      ASSERT_TRUE(Same(soft::Product(error, 100.0), percent)) << Hex(error);
#endif
      digest.Add(error);
      digest.Add(percent);
      ++errors;
    }
  }
  EXPECT_EQ(errors, 17327166);
  // Recorded on x86 with the hardware's arithmetic; see the README on how correctness is kept.
  EXPECT_EQ(digest.Value(), 0x20aa5e992c194a8dull)
      << "with the " << arith::kName << " arithmetic, " << errors << " errors: " << std::hex
      << digest.Value();
}

}  // namespace
