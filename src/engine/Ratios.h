// The ratio search: from a wanted output (a voltage, or a ratio itself), the two resistors R1 and
// R2 of a divider, of a regulator's feedback or of an amplifier's gain whose output comes closest
// to it, each a single resistor or a pair in series or in parallel, with the lowest and highest
// output the parts' and the source's tolerances allow.
//
// The output is the formula as written (engine/Arithmetic.h: Divider, Feedback, Adjust, Ratio),
// from the positions' values, with a 64-bit significand and rounded to double once; its error is
// (wanted - output) / wanted, as the network search forms it. Results are ranked by the size of
// their error, then fewer resistors, then the narrower worst case (WidthRank), then R1's value,
// R2's value, R1's shape, R2's shape (a single resistor, then a series pair, then a parallel
// one), R1's members and R2's members, each ascending. Of the results that are the same networks
// with every value scaled by one power of ten, only the one whose R1 + R2 lies nearest the
// geometric middle of the total's range (in ratio; of two as near, the smaller total) is one.
#pragma once

#include <span>
#include <vector>

#include "engine/Networks.h"

namespace engine::ratios {

inline constexpr int kMaxResults = 100;  // the most results one search keeps

enum class Formula : std::uint8_t {
  kDivider,   // VIN x R2 / (R1 + R2): R1 from the input to the output, R2 to ground
  kFeedback,  // VREF x (R1 + R2) / R2 + I x R1: R1 from the output to the pin, R2 to ground
  kAdjust,    // VREF x (R1 + R2) / R1 + I x R2: R1 from the output to adjust, R2 to ground
  kRatio,     // R1 / R2
};

// A source (VIN or VREF) or a pin's current: its least, typical and largest value. The typical
// one makes the output; the others widen the worst case.
struct Range {
  double min = 0, typ = 0, max = 0;
};

// What a run's searches are asked, whatever the wanted value.
struct Problem {
  Formula formula = Formula::kRatio;
  Range source{1, 1, 1};                                // VIN or VREF
  Range current;                                        // the pin's current: feedback and adjust
  double totalLow = 1000, totalHigh = 1000000;          // R1 + R2 within, inclusive
  double partTolerance = 0.05;                          // of each resistor, as a fraction
  int parts = 2;                                        // of both positions together, 2 to 4
  networks::Connect connect = networks::Connect::kAny;  // of a position's pair
  // Where set, only results whose whole worst case lies within [withinLow, withinHigh].
  bool within = false;
  double withinLow = 0, withinHigh = 0;
};

struct Result {
  networks::Network r1, r2;  // each a single resistor (kSingle) or a pair (kSeries2, kParallel2)
  double value = 0;          // the output
  double error = 0;          // signed: (wanted - value) / wanted
  double low = 0, high = 0;  // the least and the largest output the tolerances allow
  double total = 0;          // R1 + R2
  int parts = 2;
};

// The width of a worst case as results are ranked by it: (high - low) / |wanted| in parts in 10^9,
// rounded, so that worst cases alike but for the rounding of their limits tie.
std::int64_t WidthRank(double low, double high, double wanted) noexcept;

// The formula's output for R1 and R2 with that source and current.
double Output(const Problem& problem, double source, double current, double r1, double r2) noexcept;

// Why a wanted value is out of the formula's reach, or kReachable: a divider's output lies
// strictly between 0 and VIN; a regulator's beyond VREF, on its side of 0; a ratio is above 0.
enum class Reach : std::uint8_t { kReachable, kBeyondSource, kNotBeyondReference, kNotPositive };
Reach Reachable(const Problem& problem, double wanted) noexcept;

// The positions a run's searches choose from, built once: the tables' values and pairs, and for
// each value the index of the value that is it scaled by each power of ten, where there is one.
class Positions {
 public:
  explicit Positions(const networks::Tables& tables);
  const networks::Tables& tables() const { return tables_; }
  // The index of values[index] x 10^power, -1 for none (power within +-kPowers).
  int Scaled(int index, int power) const;
  static constexpr int kPowers = 9;

 private:
  const networks::Tables& tables_;
  std::vector<int> scaled_;
};

// The best results for the wanted value within the band [Scaled(-tolerance, wanted),
// Scaled(+tolerance, wanted)] (in whichever order the sign puts them), best first, into out (at
// most out.size(), up to kMaxResults); returns how many. The positions are the tables' values
// and, with parts of 3 or more, their pairs (tables built with 2 parts or more for those).
int Search(const Positions& positions, const Problem& problem, double wanted, double tolerance,
           std::span<Result> out) noexcept;

}  // namespace engine::ratios
