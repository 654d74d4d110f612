// The values a search chooses from: every mantissa of a series times every decade, or the values
// of a stock list, each with what the search and the listing need of it worked out once.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace engine {

constexpr int kDecades = 7;  // 1 to 1,000,000

// The values ascending, each once.
inline std::vector<double> SortedDistinct(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  values.erase(std::unique(values.begin(), values.end()), values.end());
  return values;
}

class Sequences {
 public:
  // A series: its mantissas up to the first that gives 0.0 (an end mark) or the end of the span,
  // times each decade. The first resistor takes decades 1 to 1,000,000, the second 1 to 100,000.
  explicit Sequences(std::span<const double> mantissas);
  // A stock list: exactly these values, ascending and once each, in both roles; at most
  // kMaxValues of them (engine/Search.h), the rest left out.
  static Sequences Stock(std::vector<double> values);

  // The first resistor takes values[0 .. firstResistorValues), the second
  // values[0 .. secondResistorValues).
  int firstResistorValues = 0;
  int secondResistorValues = 0;
  // Values strictly ascending and positive, and so every row of parallel values non-decreasing
  // from its diagonal on (checked, not assumed): the search may bisect and stop early.
  bool ascending = false;
  std::vector<double> values;
  std::vector<std::int32_t> whole;  // WholeOhm of each value
  // Each value as it is written: a series value as its decimal (510, not 509.99999999999994), a
  // stock value as read.
  std::vector<double> nominal;

  // The parallel value of values[i1] and values[i2], for i2 from i1 (all i2 when not ascending)
  // up to secondResistorValues: it does not depend on the target, so it is worked out once.
  const double* Row(int i1) const { return parallel_.data() + rowOffset_[std::size_t(i1)]; }

 private:
  Sequences() = default;
  void Add(double value, double nominal);
  // Checks the order and fills the table of parallel values.
  void Finish();
  // Fills the table, as the triangle or in full; whether every row rises.
  bool BuildRows(bool triangle);

  std::vector<double> parallel_;
  std::vector<std::ptrdiff_t> rowOffset_;
};

}  // namespace engine
