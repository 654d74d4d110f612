#include "engine/Sequences.h"

#include <algorithm>
#include <cmath>

#include "engine/Arithmetic.h"
#include "engine/Search.h"
#include "engine/Series.h"
#include "engine/WholeOhm.h"

namespace engine {

Sequences::Sequences(std::span<const double> mantissas) {
  mantissas = mantissas.first(std::min<std::size_t>(mantissas.size(), kMaxValues / kDecades));
  double decade = 1.0;
  for (int d = 0; d < kDecades; ++d) {
    for (const double mantissa : mantissas) {
      const double value = arith::Product(mantissa, decade);
      if (value == 0.0) break;
      Add(value, SeriesValue(mantissa, d));
    }
    if (decade < 1000000.0) secondResistorValues = static_cast<int>(values.size());
    decade = arith::Product(decade, 10.0);
  }
  firstResistorValues = static_cast<int>(values.size());
  Finish();
}

Sequences Sequences::Stock(std::vector<double> values) {
  values = SortedDistinct(std::move(values));
  Sequences sequences;
  // A value of no resistance takes part in no useful network.
  for (const double value : values) {
    if (value > 0 && sequences.values.size() < std::size_t{kMaxValues}) sequences.Add(value, value);
  }
  sequences.firstResistorValues = sequences.secondResistorValues =
      static_cast<int>(sequences.values.size());
  sequences.Finish();
  return sequences;
}

void Sequences::Add(double value, double written) {
  values.push_back(value);
  whole.push_back(WholeOhm(value));
  nominal.push_back(written);
}

void Sequences::Finish() {
  ascending = true;
  for (int i = 0; i < firstResistorValues; ++i) {
    if (!std::isgreater(values[std::size_t(i)], i == 0 ? 0.0 : values[std::size_t(i) - 1]))
      ascending = false;
  }
  // Rows that fail to rise would make bisection unsafe; never seen, but then every pair is
  // walked as for any other table.
  if (ascending) ascending = BuildRows(true);
  if (!ascending) BuildRows(false);
}

bool Sequences::BuildRows(bool triangle) {
  // In the triangle, a pair's first value has an index at or below its second's, and no first
  // value past the second sequence finds a partner.
  const int rows = triangle ? secondResistorValues : firstResistorValues;
  parallel_.clear();
  rowOffset_.assign(std::size_t(rows), 0);
  bool rising = true;
  for (int i1 = 0; i1 < rows; ++i1) {
    const int from = triangle ? i1 : 0;
    rowOffset_[std::size_t(i1)] = static_cast<std::ptrdiff_t>(parallel_.size()) - from;
    for (int i2 = from; i2 < secondResistorValues; ++i2) {
      const double p = arith::Parallel(values[std::size_t(i1)], values[std::size_t(i2)]);
      if (i2 > from && !(p >= parallel_.back())) rising = false;
      parallel_.push_back(p);
    }
  }
  return rising;
}

}  // namespace engine
