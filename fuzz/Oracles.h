// Independent statements of the rules the fuzz targets hold the program to: reading a decimal
// number, accepting a wanted value, and the shape of the list lines. Written from what the
// program promises, not from how it does it.
#pragma once

#include <locale.h>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace fuzz {

inline bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// [+-]? (digits [. digits?] | . digits) ([eE] [+-]? digits)?, and nothing else.
inline bool IsDecimalNumber(std::string_view t) {
  std::size_t i = 0;
  const auto digits = [&] {
    const std::size_t from = i;
    while (i < t.size() && IsDigit(t[i])) ++i;
    return i - from;
  };
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  std::size_t mantissa = digits();
  if (i < t.size() && t[i] == '.') {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    if (digits() == 0) return false;
  }
  return i == t.size();
}

// What StrToFloat must give for a text: after leading blanks and tabs, a decimal number, read by
// the C library (correctly rounded) in the "C" locale whatever the process's locale; a value too
// large for a double is no number, one too small is zero (the C library already gives that).
inline std::optional<double> ReferenceRead(std::string_view text) {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  if (!IsDecimalNumber(text)) return std::nullopt;
  const std::string copy(text);  // NUL-terminated
  char* end = nullptr;
  errno = 0;
  const double value = strtod_l(copy.c_str(), &end, c);
  if (end != copy.c_str() + copy.size()) std::abort();  // the grammar above is strtod's subset
  if (std::isinf(value)) return std::nullopt;
  return value;
}

// The wanted-value rule: not empty, ASCII digits only, at most 7 significant digits, and a whole
// value strictly between 100 and 1,000,000.
inline std::optional<long> WantedValue(std::string_view text) {
  if (text.empty()) return std::nullopt;
  long value = 0;
  int significant = 0;
  for (const char c : text) {
    if (!IsDigit(c)) return std::nullopt;
    if (value > 0 || c != '0') ++significant;
    if (significant > 7) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value <= 100 || value >= 1000000) return std::nullopt;
  return value;
}

// A decimal integer right-aligned in its field: blanks, then digits without a leading zero.
inline std::optional<long> RightAligned(std::string_view field) {
  std::size_t i = 0;
  while (i < field.size() && field[i] == ' ') ++i;
  const std::string_view digits = field.substr(i);
  if (digits.empty() || digits.size() > 9 || (digits.size() > 1 && digits[0] == '0')) {
    return std::nullopt;
  }
  long value = 0;
  for (const char c : digits) {
    if (!IsDigit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// A "%7ld" line of a resistor value.
inline std::optional<long> ValueLine(std::string_view line) {
  if (line.size() != 7) return std::nullopt;
  return RightAligned(line);
}

// Fixed point with `decimals` digits after the point, no sign, no superfluous leading zero.
inline std::optional<double> FixedPoint(std::string_view text, std::size_t decimals) {
  const std::size_t point = text.find('.');
  if (point == std::string_view::npos || point == 0 || text.size() - point - 1 != decimals) {
    return std::nullopt;
  }
  if (point > 1 && text[0] == '0') return std::nullopt;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i != point && !IsDigit(text[i])) return std::nullopt;
  }
  return std::strtod(std::string(text).c_str(), nullptr);
}

struct ResultLine {
  double errorPercent;
  long reg1, reg2;
  double value;
};

// " %f  %8ld  %8ld  %8.3f" of an error below 10 % and values below 100,000,000.
inline std::optional<ResultLine> ParseResultLine(std::string_view line) {
  if (line.size() < 39 || line[0] != ' ' || line.substr(9, 2) != "  " ||
      line.substr(19, 2) != "  " || line.substr(29, 2) != "  ") {
    return std::nullopt;
  }
  const auto error = FixedPoint(line.substr(1, 8), 6);
  const auto reg1 = RightAligned(line.substr(11, 8));
  const auto reg2 = RightAligned(line.substr(21, 8));
  std::string_view valueField = line.substr(31);
  if (valueField.size() == 8) {
    while (!valueField.empty() && valueField.front() == ' ') valueField.remove_prefix(1);
  }
  const auto value = FixedPoint(valueField, 3);
  if (!error || !reg1 || !reg2 || !value) return std::nullopt;
  return ResultLine{*error, *reg1, *reg2, *value};
}

// A standard E24 value of at least 10 ohms, in whole ohms.
inline bool IsE24(long ohms) {
  if (ohms < 10) return false;
  while (ohms >= 100 && ohms % 10 == 0) ohms /= 10;
  for (const long m : {10, 11, 12, 13, 15, 16, 18, 20, 22, 24, 27, 30,
                       33, 36, 39, 43, 47, 51, 56, 62, 68, 75, 82, 91}) {
    if (ohms == m) return true;
  }
  return false;
}

// What a result line for the wanted value must satisfy on its own: both resistors standard
// values above the target (in whole ohms, not below it), the first not larger, the printed value
// their parallel value and the printed error its distance from the target, within the band of 5 %.
// Empty when it does.
inline std::string CheckResultLine(const ResultLine& r, double target) {
  if (!IsE24(r.reg1) || !IsE24(r.reg2)) return "not standard values";
  if (r.reg1 > r.reg2) return "resistors out of order";
  // Not below: a series value is held as a double, and one that prints as the target may lie
  // just above it (1.1 x 100 is held as 110.00000000000001, which a target of 110 lets pass).
  if (!(r.reg1 >= target)) return "first resistor below the target";
  const double parallel = double(r.reg1) * double(r.reg2) / double(r.reg1 + r.reg2);
  if (std::fabs(parallel - r.value) > 0.0006) return "value is not the pair's parallel value";
  const double error = std::fabs(target - parallel) / target * 100.0;
  if (std::fabs(error - r.errorPercent) > 0.0000006) return "error does not match the value";
  if (error > 5.0 * (1.0 + 1e-12)) return "error beyond the band";
  return {};
}

}  // namespace fuzz
