// Independent statements of the rules the fuzz targets hold the program to, written from what the
// program promises, not from how it does it.
#pragma once

#include <locale.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace fuzz {

// What StrToFloat must give: after leading blanks and tabs, [+-]? (digits [. digits?] | . digits)
// ([eE] [+-]? digits)? and nothing else, read by the C library (correctly rounded) in the "C"
// locale whatever the process's; a value too large for a double is no number.
inline std::optional<double> ReferenceRead(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  std::size_t i = 0;
  const auto digits = [&] {
    const std::size_t from = i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
    return i - from;
  };
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  std::size_t mantissa = digits();
  if (i < t.size() && t[i] == '.') ++i, mantissa += digits();
  if (mantissa == 0) return std::nullopt;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    if (digits() == 0) return std::nullopt;
  }
  if (i != t.size()) return std::nullopt;
  static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
  const std::string copy(t);
  const double value = strtod_l(copy.c_str(), nullptr, c);
  if (std::isinf(value)) return std::nullopt;
  return value;
}

// The wanted-value rule: not empty, ASCII digits only, and a whole value strictly between 100 and
// 1,000,000 (leading zeros allowed).
inline std::optional<long> WantedValue(std::string_view text) {
  if (text.empty()) return std::nullopt;
  long value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = std::min(value * 10 + (c - '0'), 10000000L);
  }
  if (value <= 100 || value >= 1000000) return std::nullopt;
  return value;
}

}  // namespace fuzz
