// Resistances as lists and wanted values write them, and the lists of them that options take.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Locale.h"

namespace cli {

// Whether c is a decimal digit, whatever the locale.
bool IsDigit(char c);
// The double nearest the decimal digits.fraction x 10^exponent, by one correct rounding.
double Nearest(std::string_view digits, std::string_view fraction, int exponent);

// A resistance as written: digits with at most one decimal point (4700, 0.22), or the schematic
// notation of IEC 60062, where R, k, M or G stands for the point and multiplies (4R7, R47, 4k7,
// 4.7k, 2M2, 1G), then perhaps the ohm sign or "ohm" (4k7Ω); 0, or from 0.01 ohm to 1 gigohm.
struct Resistance {
  double ohms;  // the double nearest it
  bool whole;   // whether the decimal written is a whole number of ohms
};
std::optional<Resistance> ReadResistance(std::string_view text);

// A voltage, a current or a ratio as written: an optional sign, then digits with at most one
// decimal point and perhaps an SI prefix (p, n, u or µ, m, k, M) and the unit, or digits, the
// unit or a prefix standing for the point, and digits (3V3, 1V8, 4m7); unit is 'V', 'A' or none.
// The double nearest it, of a magnitude from 1e-12 to 1e9, or 0.
std::optional<double> ReadQuantity(std::string_view text, char unit);

// A value of a list, as written and as the double nearest it.
struct ListValue {
  std::string text;
  double ohms;
};

// The items of a line: separated by commas, semicolons or tabs, blanks around each left out, with
// comments a # and all after it left out too; empty items skipped. Calls each(item) until it
// returns false; returns whether all were taken.
bool ForItems(std::string_view line, bool comments,
              const std::function<bool(std::string_view item)>& each);

// Why a text with a blank inside is no value.
inline constexpr char kBlankInside[] =
    N_("a blank is no part of a value: separate values with commas, semicolons or tabs");

// Why a text of a list is no value: a blank inside it, or the rule of values.
std::string NotAValue(std::string_view item);

// Whether a line read from a file shows it to be UTF-16 (its byte-order mark, or a NUL).
bool LooksUtf16(std::string_view line, long number);

// A LIST of the option named option: items as ForItems splits them (no comment: a file's name may
// hold a #), each a value or @FILE, a file of values whose lines ForItems splits with comments.
// Adds the values in the order given; on a text that is no value, or a file that cannot be read,
// says why in problem and returns false.
bool ReadList(std::string_view option, std::string_view list, std::vector<ListValue>& values,
              std::string& problem);

}  // namespace cli
