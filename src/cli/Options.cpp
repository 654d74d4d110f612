#include "cli/Options.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace cli {
namespace {

constexpr std::size_t kLongestLine = 65536;
constexpr const char kValueRule[] =
    "a value is a whole number of ohms from 1 to 9999999, such as 4700, 4k7, 4.7k, 1M or 100R";

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

// The values of one line of a list, separated by commas, added to values; false at the first that
// is not one, whose text goes to bad.
bool ReadItems(std::string_view line, std::vector<long>& values, std::string_view& bad) {
  for (std::size_t start = 0;;) {
    const std::size_t comma = std::min(line.find(',', start), line.size());
    bad = Trimmed(line.substr(start, comma - start));
    const std::optional<long> value = ReadValue(bad);
    if (!value) return false;
    values.push_back(*value);
    if (comma == line.size()) return true;
    start = comma + 1;
  }
}

// A LIST: values separated by commas, or @FILE with values one per line or comma-separated, blank
// lines and lines starting with # ignored.
bool ReadList(std::string_view option, std::string_view list, std::vector<long>& values,
              std::string& problem) {
  std::string_view bad;
  if (list.empty() || list[0] != '@') {
    if (ReadItems(list, values, bad)) return true;
    problem = std::string(option) + ": " + Quoted(bad) + " in " + Quoted(list) +
              " is not a value; " + kValueRule;
    return false;
  }
  const std::string file(list.substr(1));
  if (file.empty() || file == "-") {
    problem = std::string(option) + " " + Quoted(list) +
              ": a list is read from a file, and standard input holds the wanted values";
    return false;
  }
  std::FILE* in = std::fopen(file.c_str(), "rb");
  if (in == nullptr) {
    problem = std::string(option) + ": cannot read " + Quoted(file) + ": " + std::strerror(errno);
    return false;
  }
  std::string line;
  bool ok = true;
  for (long number = 1; ok && !std::feof(in) && !std::ferror(in); ++number) {
    // A line longer than any list needs is no list: reading on would not end on a device.
    line.clear();
    for (int c; line.size() <= kLongestLine && (c = std::getc(in)) != EOF && c != '\n';) {
      line += static_cast<char>(c);
    }
    const std::string_view content = Trimmed(line);
    if (line.size() > kLongestLine) {
      problem = Quoted(file) + ", line " + std::to_string(number) + ": longer than " +
                std::to_string(kLongestLine) + " bytes";
      ok = false;
    } else if (!content.empty() && content[0] != '#' && !ReadItems(content, values, bad)) {
      problem = Quoted(file) + ", line " + std::to_string(number) + ": " + Quoted(bad) +
                " is not a value; " + kValueRule;
      ok = false;
    }
  }
  if (ok && std::ferror(in)) {
    problem = std::string(option) + ": cannot read " + Quoted(file) + ": " + std::strerror(errno);
    ok = false;
  }
  std::fclose(in);
  return ok;
}

// PERCENT: a decimal number (digits, at most one point) greater than 0 and at most 50.
bool ReadTolerance(std::string_view text, Options& options) {
  const std::size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction = point == text.npos ? "" : text.substr(point + 1);
  if (whole.size() + fraction.size() == 0 || !std::all_of(whole.begin(), whole.end(), IsDigit) ||
      !std::all_of(fraction.begin(), fraction.end(), IsDigit)) {
    return false;
  }
  const std::string percent =
      (whole.empty() ? "0" : std::string(whole)) + "." + std::string(fraction) + "0";
  const std::string hundredth = percent + "e-2";  // so the fraction is the double nearest it
  double p = 0, t = 0;
  std::from_chars(percent.data(), percent.data() + percent.size(), p);
  std::from_chars(hundredth.data(), hundredth.data() + hundredth.size(), t);
  // Above 50 by the exact decimal, not only by its nearest double.
  const bool above = p > 50 || (p == 50 && fraction.find_first_not_of('0') != fraction.npos);
  if (!(t > 0) || above) return false;
  options.tolerancePercent = p;
  options.tolerance = t;
  return true;
}

bool Apply(std::string_view name, std::string_view value, Options& options, std::string& problem) {
  if (name == "--series") {
    for (const engine::Series& series : engine::kSeries) {
      if (std::equal(
              value.begin(), value.end(), series.name.begin(), series.name.end(),
              [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == b; })) {
        options.series = series;
        return true;
      }
    }
    problem = "--series takes E3, E6, E12, E24, E48, E96 or E192, not " + Quoted(value);
  } else if (name == "--tolerance") {
    if (ReadTolerance(value, options)) return true;
    problem =
        "--tolerance takes a percentage greater than 0 and at most 50, such as 1 or 2.5, not " +
        Quoted(value);
  } else if (name == "--count") {
    int count = value.empty() ? -1 : 0;
    for (const char c : value) {
      count = IsDigit(c) && count >= 0 ? std::min(count * 10 + (c - '0'), 1000) : -1;
    }
    options.count = count;
    if (options.count >= 1 && options.count <= 100) return true;
    problem = "--count takes a whole number from 1 to 100, not " + Quoted(value);
  } else if (name == "--format") {
    options.format =
        value == "csv" ? Format::kCsv : (value == "json" ? Format::kJson : Format::kText);
    if (value == "text" || value == "csv" || value == "json") return true;
    problem = "--format takes text, csv or json, not " + Quoted(value);
  } else {
    std::optional<std::vector<long>>& list = name == "--only" ? options.only : options.without;
    list.emplace();
    if (!ReadList(name, value, *list, problem)) return false;
    std::sort(list->begin(), list->end());
    list->erase(std::unique(list->begin(), list->end()), list->end());
    return true;
  }
  return false;
}

}  // namespace

std::optional<long> ReadValue(std::string_view text) {
  // digits [. digits] [unit], or digits unit digits: the unit (R, k, K or M) multiplies and,
  // between digits, stands for the point.
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
  std::size_t shift = 0;
  if (i < text.size()) {
    const char unit = text[i++];
    if (unit == 'k' || unit == 'K') {
      shift = 3;
    } else if (unit == 'M') {
      shift = 6;
    } else if (unit != 'R' && unit != 'r') {
      return std::nullopt;
    }
    if (!point) fraction = digits();
  }
  if (whole.empty() || i != text.size()) return std::nullopt;
  // Exactly, in decimal: with the point moved by the multiplier, only zeros may follow it.
  std::string number = std::string(whole) + std::string(fraction);
  const std::size_t at = whole.size() + shift;
  if (number.size() < at) number.append(at - number.size(), '0');
  if (number.find_first_not_of('0', at) != std::string::npos) return std::nullopt;
  number.resize(at);
  const std::size_t first = number.find_first_not_of('0');
  if (first == std::string::npos || number.size() - first > 7) return std::nullopt;
  return std::stol(number.substr(first));
}

std::string Quoted(std::string_view text) {
  constexpr std::size_t kShown = 60;
  std::size_t shown = std::min(text.size(), kShown);
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
  static constexpr std::string_view kValued[] = {"--series", "--tolerance", "--count",
                                                 "--only",   "--without",   "--format"};
  std::vector<std::string_view> given;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const std::string_view name = arg.substr(0, arg.find('='));
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      options.wanted.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (std::find(std::begin(kValued), std::end(kValued), name) != std::end(kValued)) {
      if (std::find(given.begin(), given.end(), name) != given.end()) {
        problem = std::string(name) + " may be given only once";
        return false;
      }
      given.push_back(name);
      if (name.size() == arg.size() && i + 1 == argc) {
        problem = std::string(name) + " needs a value; see --help";
        return false;
      }
      const std::string_view value =
          name.size() == arg.size() ? argv[++i] : arg.substr(name.size() + 1);
      if (!Apply(name, value, options, problem)) return false;
    } else {
      problem = "unknown option " + Quoted(arg);
      return false;
    }
  }
  return true;
}

}  // namespace cli
