#include "cli/Values.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "cli/Lines.h"
#include "cli/Locale.h"
#include "cli/Text.h"

namespace cli {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

double Nearest(std::string_view digits, std::string_view fraction, int exponent) {
  const std::string text = std::string(digits.empty() ? "0" : digits) + "." +
                           std::string(fraction) + "0e" + std::to_string(exponent);
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

namespace {

// text without a last ohm sign or "ohm" in any case.
std::string_view WithoutOhm(std::string_view text) {
  for (const std::string_view sign : {"\u03A9", "\u2126"}) {
    if (text.size() > sign.size() && text.substr(text.size() - sign.size()) == sign)
      return text.substr(0, text.size() - sign.size());
  }
  if (text.size() > 3) {
    std::string last(text.substr(text.size() - 3));
    for (char& c : last) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (last == "ohm") return text.substr(0, text.size() - 3);
  }
  return text;
}

}  // namespace

std::optional<Resistance> ReadResistance(std::string_view text) {
  // Digits alone, as a sweep gives them: exact below 2^53.
  if (!text.empty() && text.size() <= 15 && std::all_of(text.begin(), text.end(), IsDigit)) {
    double ohms = 0;
    for (const char c : text) ohms = ohms * 10 + (c - '0');
    if (ohms != 0 && !(ohms >= 0.01 && ohms <= 1e9)) return std::nullopt;
    return Resistance{ohms, true};
  }
  text = WithoutOhm(text);
  // digits [. digits] [unit], or [digits] unit digits: the unit multiplies and, between digits,
  // stands for the point.
  std::size_t i = 0;
  const auto digits = [&] {
    const std::size_t from = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    return text.substr(from, i - from);
  };
  const std::string_view whole = digits();
  std::string_view fraction;
  const bool point = i < text.size() && text[i] == '.';
  if (point && (++i, fraction = digits()).empty()) return std::nullopt;
  int exponent = 0;
  if (i < text.size()) {
    constexpr std::pair<char, int> kUnits[] = {{'R', 0}, {'r', 0}, {'k', 3},
                                               {'K', 3}, {'M', 6}, {'G', 9}};
    const auto* unit = std::find_if(std::begin(kUnits), std::end(kUnits),
                                    [&](const auto& u) { return u.first == text[i]; });
    if (unit == std::end(kUnits)) return std::nullopt;
    exponent = unit->second;
    ++i;
    if (!point) fraction = digits();
  }
  if ((whole.empty() && fraction.empty()) || i != text.size()) return std::nullopt;
  const double ohms = Nearest(whole, fraction, exponent);
  if (ohms != 0 && !(ohms >= 0.01 && ohms <= 1e9)) return std::nullopt;
  // Whole when no digit but 0 lies past the point once the unit has moved it.
  const std::string_view past = fraction.substr(std::min(fraction.size(), std::size_t(exponent)));
  return Resistance{ohms, past.find_first_not_of('0') == past.npos};
}

std::optional<double> ReadQuantity(std::string_view text, char unit) {
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  std::size_t i = 0;
  const auto digits = [&] {
    const std::size_t from = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    return text.substr(from, i - from);
  };
  // A prefix or the unit at i: its power of ten and length, or a length of 0.
  const auto letter = [&](int& power) -> std::size_t {
    constexpr std::pair<std::string_view, int> kPrefixes[] = {
        {"p", -12},     {"n", -9}, {"u", -6}, {"\u00B5", -6},
        {"\u03BC", -6}, {"m", -3}, {"k", 3},  {"M", 6}};
    for (const auto& [name, p] : kPrefixes) {
      if (text.substr(i, name.size()) == name) return power = p, name.size();
    }
    if (unit != '\0' && i < text.size() && text[i] == unit) return power = 0, 1;
    return 0;
  };
  const std::string_view whole = digits();
  std::string_view fraction;
  const bool point = i < text.size() && text[i] == '.';
  if (point && (++i, fraction = digits()).empty()) return std::nullopt;
  int exponent = 0;
  if (const std::size_t length = letter(exponent); length > 0) {
    i += length;
    if (!point && !whole.empty() && i < text.size() && IsDigit(text[i])) fraction = digits();
    if (exponent != 0 && unit != '\0' && i < text.size() && text[i] == unit) ++i;  // 500mV
  }
  if ((whole.empty() && fraction.empty()) || i != text.size()) return std::nullopt;
  const double value = Nearest(whole, fraction, exponent);
  if (value != 0 && !(value >= 1e-12 && value <= 1e9)) return std::nullopt;
  return negative ? -value : value;
}

bool ForItems(std::string_view line, bool comments,
              const std::function<bool(std::string_view item)>& each) {
  if (comments) line = line.substr(0, line.find('#'));
  for (std::size_t start = 0; start <= line.size();) {
    const std::size_t end = std::min(line.find_first_of(",;\t", start), line.size());
    const std::string_view item = Trimmed(line.substr(start, end - start));
    start = end + 1;
    if (!item.empty() && !each(item)) return false;
  }
  return true;
}

std::string NotAValue(std::string_view item) {
  if (item.find(' ') != item.npos) return Tr(kBlankInside);
  return Tr(
      "a value is a resistance from 0.01 Ω to 1 GΩ (or 0), in digits or as on a schematic, such "
      "as 4700, 4.7k, 4k7, 0R22, 1M or 10M");
}

bool LooksUtf16(std::string_view line, long number) {
  if (number == 1 && line.size() >= 2 &&
      (line.substr(0, 2) == "\xFF\xFE" || line.substr(0, 2) == "\xFE\xFF"))
    return true;
  // Text in UTF-16 without its mark: every other byte NUL, and none of the rest.
  for (const std::size_t first : {0, 1}) {
    bool pattern = line.size() >= 4;
    for (std::size_t i = 0; pattern && i < line.size(); ++i)
      pattern = (line[i] == '\0') == (i % 2 == first);
    if (pattern) return true;
  }
  return false;
}

namespace {

// The values of a file, line by line.
bool ReadFile(const std::string& option, const std::string& file, std::vector<ListValue>& values,
              std::string& problem) {
  std::FILE* in = std::fopen(file.c_str(), "rb");
  if (in == nullptr) {
    problem = Trf("%s: cannot read %s: %s", option.c_str(), Quoted(file, true).c_str(),
                  std::strerror(errno));
    return false;
  }
  const int failure = ReadLines(in, [&](std::string_view line, long number, bool cut) {
    const std::string where = Quoted(file, true);
    if (cut) {
      problem = Trf("%s, line %ld: longer than %zu bytes", where.c_str(), number, kLongestLine);
    } else if (LooksUtf16(line, number)) {
      problem = Trf("%s: %s is in UTF-16, not UTF-8: save it as UTF-8 text", option.c_str(),
                    where.c_str());
    } else {
      ForItems(line, true, [&](std::string_view item) {
        const std::optional<Resistance> r = ReadResistance(item);
        if (r) {
          values.push_back({std::string(item), r->ohms});
        } else if (item[0] == '@') {
          problem =
              Trf("%s, line %ld: %s names a file, which only a list on the command line may do",
                  where.c_str(), number, Quoted(item).c_str());
        } else {
          problem = Trf("%s, line %ld: %s is not a value; %s", where.c_str(), number,
                        Quoted(item).c_str(), NotAValue(item).c_str());
        }
        return problem.empty();
      });
    }
    return problem.empty();
  });
  std::fclose(in);
  if (failure != 0)
    problem = Trf("%s: cannot read %s: %s", option.c_str(), Quoted(file, true).c_str(),
                  std::strerror(failure));
  return problem.empty();
}

}  // namespace

bool ReadList(std::string_view option, std::string_view list, std::vector<ListValue>& values,
              std::string& problem) {
  const std::string name(option);
  ForItems(list, false, [&](std::string_view item) {
    if (item[0] != '@') {
      if (const std::optional<Resistance> r = ReadResistance(item)) {
        values.push_back({std::string(item), r->ohms});
      } else {
        problem = Trf("%s: %s is not a value; %s", name.c_str(), Quoted(item).c_str(),
                      NotAValue(item).c_str());
      }
    } else if (item == "@" || item == "@-") {
      problem = item == "@" ? Trf("%s \"@\": no file name after @", name.c_str())
                            : Trf("%s \"@-\": a list is read from a file, and standard input "
                                  "holds the wanted values",
                                  name.c_str());
    } else {
      ReadFile(name, std::string(item.substr(1)), values, problem);
    }
    return problem.empty();
  });
  return problem.empty();
}

}  // namespace cli
