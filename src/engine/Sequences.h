// The values a search chooses from: every mantissa of a series times every decade, each worked
// out by the engine's arithmetic, with what the search and the listing need of them precomputed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace engine {

constexpr int kDecades = 7;         // 1 to 1,000,000
constexpr int kMaxMantissas = 192;  // the finest standard series
constexpr int kMaxValues = kDecades * kMaxMantissas;

struct Sequences {
  // Takes the mantissas up to the first that gives 0.0 (an end mark) or the end of the span.
  explicit Sequences(std::span<const double> mantissas);

  // The first resistor takes values[0 .. firstResistorValues): decades 1 to 1,000,000. The second
  // takes values[0 .. secondResistorValues): decades 1 to 100,000.
  int firstResistorValues = 0;
  int secondResistorValues = 0;
  // Values strictly ascending and positive, and so every row of parallel values non-decreasing
  // from its diagonal on (checked, not assumed): the search may bisect and stop early.
  bool ascending = false;
  std::vector<double> values;
  std::vector<std::int32_t> whole;  // WholeOhm of each value
  // "%8ld" of each whole-ohm figure, as a result line shows it: without this table, formatting
  // the two resistor columns costs about 18 % of the per-target time.
  std::vector<std::string> columns;

  // The parallel value of values[i1] and values[i2], for i2 from i1 (all i2 when not ascending)
  // up to secondResistorValues: it does not depend on the target, so it is worked out once.
  const double* Row(int i1) const { return parallel_.data() + rowOffset_[std::size_t(i1)]; }

 private:
  // Fills the table, as the triangle or in full; whether every row rises.
  bool BuildRows(bool triangle);

  std::vector<double> parallel_;
  std::vector<std::ptrdiff_t> rowOffset_;
};

}  // namespace engine
