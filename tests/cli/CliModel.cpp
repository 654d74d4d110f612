#include "CliModel.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>

#include "Oracles.h"
#include "ReferenceSearch.h"
#include "cli/Cli.h"
#include "cli/Options.h"
#include "engine/Arithmetic.h"
#include "engine/WholeOhm.h"

namespace climodel {
namespace {

// The wanted texts of a command line and its input, in order, with empty lines kept.
std::vector<std::string> Wanted(const cli::Options& options, std::string_view input) {
  std::vector<std::string> wanted(options.wanted.begin(), options.wanted.end());
  // Lines without a carriage return at the end and the blanks around the value.
  for (std::size_t start = 0; options.wanted.empty() && start < input.size();) {
    const std::size_t newline = std::min(input.find('\n', start), input.size());
    std::string_view line = input.substr(start, newline - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t first = line.find_first_not_of(" \t"), last = line.find_last_not_of(" \t");
    wanted.emplace_back(first == line.npos ? "" : line.substr(first, last - first + 1));
    start = newline + 1;
  }
  return wanted;
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

Found Search(long target, const cli::Options& e) {
  std::vector<double> without, only;
  if (e.without) without.assign(e.without->begin(), e.without->end());
  if (e.only) only.assign(e.only->begin(), e.only->end());
  Found f{{},
          reference::Search(e.series.mantissas, double(target), e.count, e.tolerance, without,
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

Run RunInMemory(const std::vector<std::string>& args, std::string_view input) {
  std::vector<std::string> copies(args);
  std::vector<char*> argv = {const_cast<char*>("ohmsift-cli")};
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::string in(input);
  std::FILE* inFile =
      in.empty() ? std::fopen("/dev/null", "r") : fmemopen(in.data(), in.size(), "r");
  char *out = nullptr, *err = nullptr;
  std::size_t outSize = 0, errSize = 0;
  std::FILE* outFile = open_memstream(&out, &outSize);
  std::FILE* errFile = open_memstream(&err, &errSize);
  const int status = cli::Run(int(argv.size()) - 1, argv.data(), inFile, outFile, errFile);
  for (std::FILE* f : {inFile, outFile, errFile}) std::fclose(f);
  Run run{status, {out, outSize}, {err, errSize}};
  std::free(out);
  std::free(err);
  return run;
}

std::string Check(const std::vector<std::string>& args, std::string_view input, const Run& run) {
  const auto& [status, out, err] = run;
  std::vector<std::string> outLines, errLines;
  if (!Split(out, outLines) || !Split(err, errLines)) return "an unterminated line";
  std::vector<std::string> copies(args);
  std::vector<char*> argv = {const_cast<char*>("ohmsift-cli")};
  for (std::string& a : copies) argv.push_back(a.data());
  cli::Options e;
  std::string problem;
  if (!cli::ParseArguments(int(argv.size()), argv.data(), e, problem)) {
    const bool ok = status == 2 && out.empty() && errLines.size() == 2 &&
                    errLines[0] == "ohmsift-cli: " + problem &&
                    errLines[1] == "Try 'ohmsift-cli --help' for more information.";
    return ok ? "" : "not the usage error due";
  }
  if (e.help || e.version) {
    const char* first = e.help ? "Usage: ohmsift-cli" : "ohmsift-cli " OHMSIFT_VERSION "\n";
    return status == 0 && err.empty() && out.rfind(first, 0) == 0 ? "" : "no help or version";
  }
  const std::vector<std::string> wanted = Wanted(e, input);
  const std::string format = e.format == cli::Format::kCsv    ? "csv"
                             : e.format == cli::Format::kJson ? "json"
                                                              : "text";
  // What must come out, line by line (text, JSON) or row by row (CSV).
  std::vector<std::string> due;
  std::vector<nlohmann::ordered_json> dueJson;
  std::vector<std::vector<std::string>> dueRows = {
      {"wanted", "r1", "r2", "value", "deviation_percent"}};
  std::size_t refused = 0;
  for (std::size_t n = 0; n < wanted.size(); ++n) {
    const std::string& text = wanted[n];
    if (e.wanted.empty() && text.empty()) continue;
    const std::optional<long> target = fuzz::WantedValue(text);
    if (!target) {
      const std::string prefix =
          "ohmsift-cli: " + (!e.wanted.empty() ? "" : "line " + std::to_string(n + 1) + ": ") +
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
    if (format == "text") {
      due.insert(due.end(), {text + " の結果", "誤差(%)　必要な抵抗１　抵抗２　できた抵抗値"});
      for (const auto& [line, k] : f.lines) due.push_back(line);
      due.insert(due.end(), {"", "必要な抵抗"});
      for (const long v : f.needed) due.push_back(ValueLine(v));
      if (e.without) due.insert(due.end(), {"", "持っていない抵抗"});
      for (const long v : e.without.value_or(std::vector<long>())) due.push_back(ValueLine(v));
      due.emplace_back();
      continue;
    }
    nlohmann::ordered_json object = {{"wanted", *target},
                                     {"series", e.series.name},
                                     {"tolerance_percent", e.tolerancePercent},
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
  if (format == "csv") return CsvRows(out) == dueRows ? "" : "not the CSV rows due";
  if (format == "json") {
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
