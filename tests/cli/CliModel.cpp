#include "CliModel.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <regex>
#include <set>

#include "Oracles.h"
#include "ReferenceSearch.h"
#include "engine/Arithmetic.h"
#include "engine/Series.h"
#include "engine/WholeOhm.h"

namespace climodel {
namespace {

using Values = std::optional<std::set<long>>;

struct Expectation {
  bool usage = false, help = false, version = false, judged = true;
  const engine::Series* series = &engine::kSeries[3];
  std::string format = "text";
  double percent = 5, tolerance = 0.05;
  long count = 15;
  Values only, without;
  bool fromArguments = false;
  std::vector<std::string> wanted;  // every candidate text, in order, empty lines kept
};

std::string Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r"), last = text.find_last_not_of(" \t\r");
  return first == text.npos ? "" : std::string(text.substr(first, last - first + 1));
}

// A value of a list: digits [. digits] [unit] or digits unit digits, the unit (R, k, K, M)
// multiplying and, between digits, standing for the point; whole ohms from 1 to 9999999.
std::optional<long> Value(const std::string& text) {
  static const std::regex form(R"((\d+)(?:\.(\d+))?([RrkKM]?)|(\d+)([RrkKM])(\d*))");
  std::smatch m;
  if (!std::regex_match(text, m, form)) return {};
  const bool pointed = m[1].matched;
  const std::string unit = m[pointed ? 3 : 5];
  std::string digits = std::string(m[pointed ? 1 : 4]) + std::string(m[pointed ? 2 : 6]);
  const std::size_t point = m[pointed ? 1 : 4].length() + (unit == "M"                  ? 6
                                                           : unit == "k" || unit == "K" ? 3
                                                                                        : 0);
  digits.resize(std::max(digits.size(), point), '0');
  const std::size_t first = digits.find_first_not_of('0');
  if (digits.find_first_not_of('0', point) != digits.npos || first >= point || point - first > 7)
    return {};
  return std::stol(digits.substr(first, point - first));
}

// A LIST, inline or @FILE; false when it is no list. A file that is not a plain file (a device,
// say) is not judged.
bool ReadList(const std::string& list, Values& values, bool& judged) {
  values.emplace();
  std::vector<std::string> lines = {list};
  if (list.rfind('@', 0) == 0) {
    struct stat info;
    const std::string file = list.substr(1);
    if (file.empty() || file == "-" || stat(file.c_str(), &info) != 0) return false;
    if (!S_ISREG(info.st_mode) || info.st_size > 1 << 16) return judged = false;
    std::ifstream in(file, std::ios::binary);
    lines.clear();
    for (std::string line; std::getline(in, line);) {
      if (!Trim(line).empty() && Trim(line)[0] != '#') lines.push_back(Trim(line));
    }
  }
  for (const std::string& line : lines) {
    for (std::size_t start = 0;;) {
      const std::size_t comma = std::min(line.find(',', start), line.size());
      const std::optional<long> value = Value(Trim(line.substr(start, comma - start)));
      if (!value) return false;
      values->insert(*value);
      if (comma == line.size()) break;
      start = comma + 1;
    }
  }
  return true;
}

// An option's value; false when it is malformed.
bool Apply(const std::string& name, const std::string& value, Expectation& e) {
  if (name == "--series") {
    for (const engine::Series& series : engine::kSeries) {
      if (value.size() == series.name.size() &&
          std::equal(value.begin(), value.end(), series.name.begin(),
                     [](char a, char b) { return std::toupper(a) == b; })) {
        e.series = &series;
        return true;
      }
    }
    return false;
  }
  if (name == "--tolerance") {
    if (!std::regex_match(value, std::regex(R"(\d+\.?\d*|\.\d+)"))) return false;
    e.percent = std::strtod(value.c_str(), nullptr);
    e.tolerance = std::strtod((value + "e-2").c_str(), nullptr);
    const std::size_t point = value.find('.');
    const bool above = e.percent > 50 || (e.percent == 50 && point != value.npos &&
                                          value.find_first_not_of('0', point + 1) != value.npos);
    return e.tolerance > 0 && !above;
  }
  if (name == "--count") {
    e.count =
        std::regex_match(value, std::regex(R"(\d+)")) ? std::strtol(value.c_str(), nullptr, 10) : 0;
    return e.count >= 1 && e.count <= 100 && value.size() < 16;
  }
  if (name == "--format") {
    e.format = value;
    return value == "text" || value == "csv" || value == "json";
  }
  return ReadList(value, name == "--only" ? e.only : e.without, e.judged);
}

Expectation Expect(const std::vector<std::string>& args, std::string_view input) {
  Expectation e;
  std::set<std::string> given;
  bool ended = false;
  for (std::size_t i = 0; i < args.size() && !e.usage; ++i) {
    const std::string& a = args[i];
    const std::string name = a.substr(0, a.find('='));
    const bool valued = std::set<std::string>{"--series", "--tolerance", "--count",
                                              "--only",   "--without",   "--format"}
                            .count(name);
    if (ended || a.size() < 2 || a[0] != '-') {
      e.wanted.push_back(a);
    } else if (a == "--") {
      ended = true;
    } else if (a == "--help" || a == "-h" || a == "--version") {
      (a == "--version" ? e.version : e.help) = true;
    } else if (valued && given.insert(name).second && (name != a || i + 1 < args.size())) {
      e.usage = !Apply(name, name == a ? args[++i] : a.substr(name.size() + 1), e);
    } else {
      e.usage = true;
    }
  }
  e.fromArguments = !e.wanted.empty();
  // Lines without a carriage return at the end and the blanks around the value.
  for (std::size_t start = 0; !e.fromArguments && start < input.size();) {
    const std::size_t newline = std::min(input.find('\n', start), input.size());
    std::string_view line = input.substr(start, newline - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t first = line.find_first_not_of(" \t"), last = line.find_last_not_of(" \t");
    e.wanted.emplace_back(first == line.npos ? "" : line.substr(first, last - first + 1));
    start = newline + 1;
  }
  return e;
}

// The lines of a text that ends every line; false if one is unterminated.
bool Split(const std::string& text, std::vector<std::string>& lines) {
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t newline = text.find('\n', start);
    if (newline == std::string::npos) return false;
    lines.push_back(text.substr(start, newline - start));
    start = newline + 1;
  }
  return true;
}

std::string Number(double x) {
  char text[32];
  return {text, std::to_chars(text, text + sizeof text, x == 0 ? 0.0 : x).ptr};
}

std::string ValueLine(long value) {
  char line[32];
  std::snprintf(line, sizeof line, "%7ld", value);
  return line;
}

// The pairs for a wanted value, by the step-by-step search, in the order the window shows them
// (by their lines' text), each with its line.
struct Found {
  std::vector<std::pair<std::string, int>> lines;  // text, index in the search's result
  reference::Result result;
  std::set<long> needed;
};

Found Search(long target, const Expectation& e) {
  std::vector<double> without, only;
  if (e.without) without.assign(e.without->begin(), e.without->end());
  if (e.only) only.assign(e.only->begin(), e.only->end());
  Found f{{},
          reference::Search(e.series->mantissas, double(target), int(e.count), e.tolerance, without,
                            e.only ? std::optional<std::span<const double>>(only) : std::nullopt),
          {}};
  for (int k = 0; k < f.result.count; ++k) {
    char line[256];
    std::snprintf(line, sizeof line, " %f  %8ld  %8ld  %8.3f",
                  std::fabs(engine::arith::Product(f.result.error[k], 100.0)),
                  long{engine::WholeOhm(f.result.reg1[k])},
                  long{engine::WholeOhm(f.result.reg2[k])}, f.result.value[k]);
    f.lines.emplace_back(line, k);
    f.needed.insert({engine::WholeOhm(f.result.reg1[k]), engine::WholeOhm(f.result.reg2[k])});
  }
  std::sort(f.lines.begin(), f.lines.end());
  return f;
}

// The CSV rows of a text, by RFC 4180: quoted fields may hold commas, quotes (doubled) and line
// breaks.
std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"' && rows.back().back().empty()) {
      for (++i;
           i < text.size() && !(text[i] == '"' && (i + 1 == text.size() || text[i + 1] != '"'));
           ++i) {
        rows.back().back() += text[i];
        i += text[i] == '"';
      }
    } else if (text[i] == ',') {
      rows.back().emplace_back();
    } else if (text[i] == '\n') {
      rows.emplace_back(1);
    } else {
      rows.back().back() += text[i];
    }
  }
  rows.pop_back();  // after the last line break
  return rows;
}

}  // namespace

std::string Check(const std::vector<std::string>& args, std::string_view input, int status,
                  const std::string& out, const std::string& err) {
  const Expectation e = Expect(args, input);
  std::vector<std::string> outLines, errLines;
  if (!e.judged) return {};
  if (!Split(out, outLines) || !Split(err, errLines)) return "an unterminated line";
  if (e.usage) {
    const bool ok = status == 2 && out.empty() && errLines.size() == 2 &&
                    errLines[0].rfind("ohmsift-cli: ", 0) == 0 &&
                    errLines[1] == "Try 'ohmsift-cli --help' for more information.";
    return ok ? "" : "not the usage error due";
  }
  if (e.help || e.version) {
    const char* first = e.help ? "Usage: ohmsift-cli" : "ohmsift-cli " OHMSIFT_VERSION "\n";
    return status == 0 && err.empty() && out.rfind(first, 0) == 0 ? "" : "no help or version";
  }
  // What must come out, line by line (text, JSON) or row by row (CSV).
  std::vector<std::string> due;
  std::vector<nlohmann::ordered_json> dueJson;
  std::vector<std::vector<std::string>> dueRows = {
      {"wanted", "r1", "r2", "value", "deviation_percent"}};
  std::size_t refused = 0;
  for (std::size_t n = 0; n < e.wanted.size(); ++n) {
    const std::string& text = e.wanted[n];
    if (!e.fromArguments && text.empty()) continue;
    const std::optional<long> target = fuzz::WantedValue(text);
    if (!target) {
      const std::string prefix =
          "ohmsift-cli: " + (e.fromArguments ? "" : "line " + std::to_string(n + 1) + ": ") +
          "refused ";
      if (refused >= errLines.size() || errLines[refused++].rfind(prefix, 0) != 0) {
        return "no refusal of " + text;
      }
      dueRows.push_back({text, "", "", "", ""});
      dueJson.push_back({{"input", text}, {"error", nullptr}});
      try {
        dueJson.back().dump();
      } catch (const nlohmann::json::exception&) {
        dueJson.back() = nullptr;  // no UTF-8: only the form of the line is judged
      }
      continue;
    }
    const Found f = Search(*target, e);
    if (e.format == "text") {
      due.insert(due.end(), {text + " の結果", "誤差(%)　必要な抵抗１　抵抗２　できた抵抗値"});
      for (const auto& [line, k] : f.lines) due.push_back(line);
      due.insert(due.end(), {"", "必要な抵抗"});
      for (const long v : f.needed) due.push_back(ValueLine(v));
      if (e.without) due.insert(due.end(), {"", "持っていない抵抗"});
      for (const long v : e.without.value_or(std::set<long>())) due.push_back(ValueLine(v));
      due.emplace_back();
      continue;
    }
    nlohmann::ordered_json object = {{"wanted", *target},
                                     {"series", e.series->name},
                                     {"tolerance_percent", e.percent},
                                     {"pairs", nlohmann::json::array()}};
    for (const auto& [line, k] : f.lines) {
      const long r1 = engine::WholeOhm(f.result.reg1[k]), r2 = engine::WholeOhm(f.result.reg2[k]);
      const double deviation = -engine::arith::Product(f.result.error[k], 100.0);
      dueRows.push_back({std::to_string(*target), std::to_string(r1), std::to_string(r2),
                         Number(f.result.value[k]), Number(deviation)});
      object["pairs"].push_back(
          {{"r1", r1}, {"r2", r2}, {"value", f.result.value[k]}, {"deviation_percent", deviation}});
    }
    if (f.lines.empty()) dueRows.push_back({std::to_string(*target), "", "", "", ""});
    object["needed"] = f.needed;
    if (e.without) object["without"] = *e.without;
    if (e.only) object["only"] = *e.only;
    dueJson.push_back(object);
  }
  if (refused != errLines.size()) return "more messages than refusals";
  if (status != (refused == 0 ? 0 : 1)) return "status " + std::to_string(status);
  if (e.format == "csv") return CsvRows(out) == dueRows ? "" : "not the CSV rows due";
  if (e.format == "json") {
    if (outLines.size() != dueJson.size()) return "not the JSON lines due";
    for (std::size_t i = 0; i < dueJson.size(); ++i) {
      // The same values, keys in the same order; an error's wording is free.
      nlohmann::ordered_json got = nlohmann::ordered_json::parse(outLines[i], nullptr, false);
      if (got.is_object() && got.contains("error")) got["error"] = nullptr;
      if (got.is_discarded() ||
          (dueJson[i].is_null() ? !got.contains("input") : got != dueJson[i])) {
        return "due " + dueJson[i].dump() + ", not " + outLines[i];
      }
    }
    return {};
  }
  if (outLines != due) return "not the text due";
  return {};
}

}  // namespace climodel
