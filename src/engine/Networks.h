// The network search: from a wanted value and the values on offer, the networks of at most four
// resistors in series and in parallel whose value comes closest to it.
//
// A network's value is folded as the pair search forms a pair's: a group's members are taken in
// ascending order of value, series v = v1 + v2, then v + v3 ...; parallel v = v1 v2 / (v1 + v2),
// then v v3 / (v + v3) ...; each step under the engine's arithmetic (engine/Arithmetic.h).
// Networks are ranked by the magnitude of their error, then by fewer resistors, then by fewer
// different values (10k || 10k || 10k before three values), then by shape in the order of Shape
// below, then by their members' values in the order they are written (see Term), then, where even
// those agree (a + (b || c) and (a || b) + c both written 1, 2, 3), by their members' values in
// the order of the shape's letters. A network whose largest value exceeds the tables' spread
// times its smallest is none of them.
#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <vector>

namespace engine::networks {

inline constexpr int kMaxParts = 4;
inline constexpr int kMaxNetworks = 100;  // the most networks one search keeps

// Which networks a search takes: all, only those with no parallel group, or only those with no
// series group; a single resistor is in each.
enum class Connect : std::uint8_t { kAny, kSeries, kParallel };

// Every series-parallel shape of one to four resistors, each network of one shape once. The
// letters name the members as the shape is written below: single resistors of one group ascend
// (a <= b and so on), and of two groups of one kind the first is the one written first (see
// Term). Where a group is written before a value, or an inner group before a value, Network's
// order says so.
enum class Shape : std::uint8_t {
  kSingle,                  // a
  kSeries2,                 // a + b
  kParallel2,               // a || b
  kSeries3,                 // a + b + c
  kParallel3,               // a || b || c
  kSeriesWithParallel,      // a + (b || c), or (b || c) + a when that is smaller
  kParallelWithSeries,      // a || (b + c), likewise
  kSeries4,                 // a + b + c + d
  kParallel4,               // a || b || c || d
  kParallelOfSeriesPairs,   // (a + b) || (c + d)
  kSeriesOfParallelPairs,   // (a || b) + (c || d)
  kSeriesWithParallel3,     // a + (b || c || d)
  kParallelWithSeries3,     // a || (b + c + d)
  kSeries2WithParallel,     // a + b + (c || d)
  kParallel2WithSeries,     // a || b || (c + d)
  kSeriesParallelSeries,    // a + (b || (c + d))
  kParallelSeriesParallel,  // a || (b + (c || d))
};

struct Network {
  double value = 0;  // as folded
  double error = 0;  // signed: (target - value) / target, positive below the target
  Shape shape = Shape::kSingle;
  std::uint8_t parts = 1;
  std::uint16_t member[kMaxParts] = {};          // indexes into the values, by the shape's letters
  std::uint8_t order[kMaxParts] = {0, 1, 2, 3};  // the letters in the order written, as Search sets
};

// One term of a network as it is written: a value, or a group whose members are listed in
// ascending order of value (the order they are folded in); of two members of equal value, the one
// of fewer resistors comes first, and of two groups of as many, the one whose members' values in
// the order written come first. A group never holds a group of its own kind.
struct Term {
  enum Kind : std::uint8_t { kValue, kSeries, kParallel } kind = kValue;
  int value = -1;  // the index of the value, for kValue
  std::vector<Term> members;
};
// A network as it is written; throws std::invalid_argument for a shape that is none of Shape's.
Term Written(const Network& network);

// Whether a network whose smallest value is low and largest high spreads beyond the ratio: its
// largest value exceeds spread x its smallest (Product, engine/Arithmetic.h).
bool Spreads(double low, double high, double spread) noexcept;

// The values on offer, ascending and distinct, each above 0, and the tables of two-resistor
// networks built from them once; a search reads them and allocates nothing that grows with them.
class Tables {
 public:
  // The values are sorted and each kept once; networks whose largest value exceeds spread x the
  // smallest (Product, engine/Arithmetic.h) are left out. Throws std::invalid_argument for a
  // value not finite and above 0, more than kMaxValues (engine/Search.h) values, parts outside 1
  // to kMaxParts, or a spread below 1 or NaN.
  Tables(std::vector<double> values, int parts,
         double spread = std::numeric_limits<double>::infinity());
  ~Tables();
  std::span<const double> values() const;
  int parts() const;
  double spread() const;

  // The two-resistor networks of each kind, with parts of 2 or more: each pair of values i <= j
  // within the spread, folded, ascending by value (then by i and j); members holds i << 16 | j.
  struct Pairs {
    std::span<const double> value;
    std::span<const std::uint32_t> members;
  };
  Pairs series() const;
  Pairs parallel() const;

 private:
  struct Data;
  std::unique_ptr<Data> data_;
  friend int Search(const Tables&, double, double, Connect, std::span<Network>) noexcept;
};

// The best networks of at most tables.parts() resistors whose value lies within the band
// [Scaled(-tolerance, target), Scaled(+tolerance, target)] inclusive, best first, into out (at
// most out.size() of them, up to kMaxNetworks); returns how many. A target not finite and above
// 0, or a tolerance below 0 or NaN, finds nothing.
int Search(const Tables& tables, double target, double tolerance, Connect connect,
           std::span<Network> out) noexcept;

}  // namespace engine::networks
