#include "cli/Options.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "cli/Lines.h"

namespace cli {
namespace {

constexpr const char kValueRule[] =
    "a value is a resistance from 0.01 Ω to 1 GΩ (or 0), in digits or as on a schematic, such as "
    "4700, 4.7k, 4k7, 0R22, 1M or 10M";

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The double nearest the decimal digits.fraction x 10^exponent.
double Nearest(std::string_view digits, std::string_view fraction, int exponent) {
  const std::string text = std::string(digits.empty() ? "0" : digits) + "." +
                           std::string(fraction) + "0e" + std::to_string(exponent);
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

// The values of one line or argument, separated by commas, empty items skipped; false at the
// first that is not one, whose text goes to bad.
bool ReadItems(std::string_view line, std::vector<ListValue>& values, std::string_view& bad) {
  for (std::size_t start = 0; start <= line.size();) {
    const std::size_t comma = std::min(line.find(',', start), line.size());
    const std::string_view item = Trimmed(line.substr(start, comma - start));
    start = comma + 1;
    if (item.empty()) continue;
    const std::optional<double> ohms = ReadResistance(item);
    if (!ohms) {
      bad = item;
      return false;
    }
    values.push_back({std::string(item), *ohms});
  }
  return true;
}

// A LIST: values separated by commas, or @FILE with values one per line or comma-separated, blank
// lines and lines starting with # ignored.
bool ReadList(std::string_view option, std::string_view list, std::vector<ListValue>& values,
              std::string& problem) {
  const std::string name(option);
  std::string_view bad;
  if (list.empty() || list[0] != '@') {
    if (ReadItems(list, values, bad)) return true;
    problem = name + ": " + Quoted(bad) + " is not a value; " + kValueRule;
    return false;
  }
  const std::string file(list.substr(1));
  if (file.empty() || file == "-") {
    problem = name + " " + Quoted(list) +
              (file.empty() ? ": no file name after @"
                            : ": a list is read from a file, and standard input holds the wanted "
                              "values");
    return false;
  }
  std::FILE* in = std::fopen(file.c_str(), "rb");
  if (in == nullptr) {
    problem = name + ": cannot read " + Quoted(file, true) + ": " + std::strerror(errno);
    return false;
  }
  const int failure = ReadLines(in, [&](std::string_view line, long number, bool cut) {
    const std::string where = Quoted(file, true) + ", line " + std::to_string(number) + ": ";
    const std::string_view content = Trimmed(line);
    if (cut) {
      problem = where + "longer than " + std::to_string(kLongestLine) + " bytes";
    } else if (!content.empty() && content[0] != '#' && !ReadItems(content, values, bad)) {
      problem = where + Quoted(bad) + " is not a value; " + kValueRule;
    }
    return problem.empty();
  });
  std::fclose(in);
  if (failure != 0)
    problem = name + ": cannot read " + Quoted(file, true) + ": " + std::strerror(failure);
  return problem.empty();
}

// A number of digits and at most one point, split there.
std::pair<std::string_view, std::string_view> AtPoint(std::string_view text) {
  const std::size_t point = text.find('.');
  return {text.substr(0, point), point == text.npos ? "" : text.substr(point + 1)};
}

// PERCENT: a decimal number (digits, at most one point) greater than 0 and at most 50.
bool ReadTolerance(std::string_view text, Options& options, std::string&) {
  const auto [whole, fraction] = AtPoint(text);
  if (whole.size() + fraction.size() == 0 || !std::all_of(whole.begin(), whole.end(), IsDigit) ||
      !std::all_of(fraction.begin(), fraction.end(), IsDigit)) {
    return false;
  }
  // Above 50 by the exact decimal, not by its nearest double (49.99999999999999999 is not).
  const double units = Nearest(whole, "", 0);
  const bool above =
      units > 50 || (units == 50 && fraction.find_first_not_of('0') != fraction.npos);
  if (!(Nearest(whole, fraction, -2) > 0) || above) return false;
  options.tolerance = std::string(text);
  return true;
}

bool ReadSeries(std::string_view text, Options& options, std::string&) {
  const engine::Series* series = engine::FindSeries(text);
  if (series != nullptr) options.series = *series;
  return series != nullptr;
}

bool ReadCount(std::string_view text, Options& options, std::string&) {
  int count = text.empty() ? -1 : 0;
  for (const char c : text)
    count = IsDigit(c) && count >= 0 ? std::min(count * 10 + (c - '0'), 1000) : -1;
  options.count = count;
  return count >= 1 && count <= 100;
}

// Whether text is the lower-case word name, in capitals or not.
bool SameWord(std::string_view text, std::string_view name) {
  return text.size() == name.size() &&
         std::equal(text.begin(), text.end(), name.begin(), [](char a, char b) {
           return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b;
         });
}

bool ReadFormat(std::string_view text, Options& options, std::string&) {
  constexpr std::pair<std::string_view, Format> kFormats[] = {
      {"text", Format::kText}, {"csv", Format::kCsv}, {"json", Format::kJson}};
  for (const auto& [name, format] : kFormats) {
    if (SameWord(text, name)) {
      options.format = format;
      return true;
    }
  }
  return false;
}

bool ReadOnly(std::string_view text, Options& options, std::string& problem) {
  if (!ReadList("--only", text, options.only.emplace(), problem)) return false;
  if (!options.only->empty()) return true;
  problem = "--only: the list holds no value";
  return false;
}

bool ReadWithout(std::string_view text, Options& options, std::string& problem) {
  return ReadList("--without", text, options.without.emplace(), problem);
}

bool ReadParts(std::string_view text, Options& options, std::string&) {
  options.parts = text.size() == 1 && text[0] >= '1' && text[0] <= '0' + engine::networks::kMaxParts
                      ? text[0] - '0'
                      : 0;
  return options.parts > 0;
}

bool ReadConnect(std::string_view text, Options& options, std::string&) {
  using engine::networks::Connect;
  for (const Connect connect : {Connect::kSeries, Connect::kParallel, Connect::kAny}) {
    const std::string_view name = ConnectName(connect);
    if (SameWord(text, name)) {
      options.connect = connect;
      return true;
    }
  }
  return false;
}

// LOW-HIGH: two resistances as a list writes them; no resistance holds a hyphen.
bool ReadRange(std::string_view text, Options& options, std::string& problem) {
  const std::size_t hyphen = text.find('-');
  if (hyphen == text.npos) return false;
  const std::string_view low = text.substr(0, hyphen), high = text.substr(hyphen + 1);
  const std::optional<double> from = ReadResistance(low), to = ReadResistance(high);
  if (!from || !to) return false;
  if (*from > *to) {
    problem = "--range " + Quoted(text) + ": the low end " + std::string(low) +
              " is above the high end " + std::string(high);
    return false;
  }
  options.range.emplace(ListValue{std::string(low), *from}, ListValue{std::string(high), *to});
  return true;
}

// Every option: its name, and for one that takes a value, its reader and what it says of a value
// it cannot take (a reader that says more itself leaves that empty).
struct Rule {
  std::string_view name;
  bool (*read)(std::string_view value, Options& options, std::string& problem);
  const char* takes;
};
constexpr Rule kRules[] = {
    {"--series", ReadSeries, "--series takes E3, E6, E12, E24, E48, E96 or E192, not "},
    {"--tolerance", ReadTolerance,
     "--tolerance takes a percentage greater than 0 and at most 50, such as 1 or 2.5, not "},
    {"--count", ReadCount, "--count takes a whole number from 1 to 100, not "},
    {"--only", ReadOnly, ""},
    {"--without", ReadWithout, ""},
    {"--format", ReadFormat, "--format takes text, csv or json, not "},
    {"--parts", ReadParts, "--parts takes a number of resistors from 1 to 4, not "},
    {"--connect", ReadConnect, "--connect takes series, parallel or any, not "},
    {"--range", ReadRange,
     "--range takes LOW-HIGH, two resistances as a list writes them, such as 10R-1M, not "},
    {"--help", nullptr, nullptr},
    {"-h", nullptr, nullptr},
    {"--version", nullptr, nullptr},
};

}  // namespace

std::string_view ConnectName(engine::networks::Connect connect) {
  switch (connect) {
    case engine::networks::Connect::kSeries:
      return "series";
    case engine::networks::Connect::kParallel:
      return "parallel";
    case engine::networks::Connect::kAny:
      break;
  }
  return "any";
}

bool InRange(const Options& options, double nominal) {
  return !options.range ||
         (nominal >= options.range->first.ohms && nominal <= options.range->second.ohms);
}

double ToleranceFraction(const Options& options) {
  const auto [whole, fraction] = AtPoint(options.tolerance);
  return Nearest(whole, fraction, -2);
}

double TolerancePercent(const Options& options) {
  const auto [whole, fraction] = AtPoint(options.tolerance);
  return Nearest(whole, fraction, 0);
}

std::optional<double> ReadResistance(std::string_view text) {
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
  return ohms;
}

std::string Quoted(std::string_view text, bool whole) {
  constexpr std::size_t kShown = 60;
  std::size_t shown = whole ? text.size() : std::min(text.size(), kShown);
  const auto continuation = [&](std::size_t i) {
    return (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
  };
  // Back to the first byte of a character cut in two; at most three bytes back, so that a text
  // that is no UTF-8 is still shown.
  for (std::size_t back = 0; shown < text.size() && back < 3 && continuation(shown); ++back) {
    --shown;
  }
  if (shown < text.size() && continuation(shown)) shown = std::min(text.size(), kShown);
  std::string quoted = "\"";
  for (std::size_t i = 0; i < shown; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    quoted += (byte < 0x20 || byte == 0x7F) ? '?' : text[i];
  }
  if (shown < text.size()) quoted += "...";
  return quoted + "\"";
}

bool ParseArguments(int argc, char** argv, Options& options, std::string& problem) {
  std::vector<std::string_view> given;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      options.wanted.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const std::string_view name = arg.substr(0, arg.find('='));
    const auto* rule = std::find_if(std::begin(kRules), std::end(kRules),
                                    [&](const Rule& r) { return r.name == name; });
    if (rule == std::end(kRules) || (rule->read == nullptr && name != arg)) {
      problem = "unknown option " + Quoted(arg);
      return false;
    }
    if (rule->read == nullptr) {
      (name == "--version" ? options.version : options.help) = true;
      continue;
    }
    if (std::find(given.begin(), given.end(), name) != given.end()) {
      problem = std::string(name) + " may be given only once";
      return false;
    }
    given.push_back(name);
    if (name.size() == arg.size() && i + 1 == argc) {
      problem = std::string(name) + " needs a value";
      return false;
    }
    const std::string_view value =
        name.size() == arg.size() ? argv[++i] : arg.substr(name.size() + 1);
    if (!rule->read(value, options, problem)) {
      if (problem.empty()) problem = rule->takes + Quoted(value);
      return false;
    }
  }
  // Both narrow a network search; a pair search has no use for them, and ignoring them would
  // leave the user believing they applied.
  for (const std::string_view name : {"--connect", "--range"}) {
    if (options.parts == 0 && std::find(given.begin(), given.end(), name) != given.end()) {
      problem = std::string(name) + " narrows a search for networks: it needs --parts";
      return false;
    }
  }
  return true;
}

}  // namespace cli
