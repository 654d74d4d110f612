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

// The lines of a text, the last one even if unterminated; false if it is.
bool Split(std::string_view text, std::vector<std::string>& lines) {
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t newline = std::min(text.find('\n', start), text.size());
    lines.emplace_back(text.substr(start, newline - start));
    start = newline + 1;
  }
  return text.empty() || text.back() == '\n';
}

// The wanted texts of a command line and its input, in order, with empty lines kept: the input's
// lines without a carriage return at the end and the blanks around the value.
std::vector<std::string> Wanted(const cli::Options& options, std::string_view input) {
  std::vector<std::string> wanted(options.wanted.begin(), options.wanted.end()), lines;
  if (options.wanted.empty()) Split(input, lines);
  for (std::string_view line : lines) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t first = line.find_first_not_of(" \t"), last = line.find_last_not_of(" \t");
    wanted.emplace_back(first == line.npos ? "" : line.substr(first, last - first + 1));
  }
  return wanted;
}

std::string Number(double x) {
  char text[32];
  return {text, std::to_chars(text, text + sizeof text, x == 0 ? 0.0 : x).ptr};
}

std::string ValueLine(long value) {
  char line[32];
  std::snprintf(line, sizeof line, "%7ld\n", value);
  return line;
}

// A pair for a wanted value, as the step-by-step search finds it: its line of the listing, by
// which the window orders the pairs, its resistors in whole ohms, its value, its deviation (%).
struct Found {
  std::string line;
  long r1, r2;
  double value, deviation;
  bool operator<(const Found& other) const { return line < other.line; }
};

std::vector<Found> Search(long target, const cli::Options& e) {
  std::vector<double> without, only;
  if (e.without) without.assign(e.without->begin(), e.without->end());
  if (e.only) only.assign(e.only->begin(), e.only->end());
  const reference::Result r =
      reference::Search(e.series.mantissas, double(target), e.count, e.tolerance, without,
                        e.only ? std::optional<std::span<const double>>(only) : std::nullopt);
  std::vector<Found> found;
  for (int k = 0; k < r.count; ++k) {
    const long r1 = engine::WholeOhm(r.reg1[k]), r2 = engine::WholeOhm(r.reg2[k]);
    const double percent = engine::arith::Product(r.error[k], 100.0);
    char line[256];
    std::snprintf(line, sizeof line, " %f  %8ld  %8ld  %8.3f", std::fabs(percent), r1, r2,
                  r.value[k]);
    found.push_back({line, r1, r2, r.value[k], -percent});
  }
  std::stable_sort(found.begin(), found.end());
  return found;
}

// A CSV field (RFC 4180) that may hold anything: quoted, its quotes doubled.
std::string Quoted(const std::string& text) {
  std::string field = "\"";
  for (const char c : text) field += c == '"' ? "\"\"" : std::string(1, c);
  return field + '"';
}

// The arguments as main gets them, pointing into copies.
std::vector<char*> Argv(std::vector<std::string>& copies) {
  std::vector<char*> argv = {const_cast<char*>("ohmsift-cli")};
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);
  return argv;
}

}  // namespace

Run RunInMemory(const std::vector<std::string>& args, std::string_view input) {
  std::vector<std::string> copies(args);
  std::vector<char*> argv = Argv(copies);
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
  std::vector<char*> argv = Argv(copies);
  cli::Options e;
  std::string problem;
  if (!cli::ParseArguments(int(argv.size()) - 1, argv.data(), e, problem)) {
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
  // What must come out: the text, the CSV, or line by line the JSON objects.
  std::string dueText, dueCsv = "wanted,r1,r2,value,deviation_percent\n";
  std::vector<nlohmann::ordered_json> dueJson;
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
      dueCsv += Quoted(text) + ",,,,\n";
      dueJson.push_back({{"input", text}, {"error", nullptr}});
      try {
        dueJson.back().dump();
      } catch (const nlohmann::json::exception&) {
        dueJson.back() = nullptr;  // no UTF-8: only the form of the line is judged
      }
      continue;
    }
    const std::vector<Found> found = Search(*target, e);
    std::set<long> needed;
    for (const Found& p : found) needed.insert({p.r1, p.r2});
    if (e.format == cli::Format::kText) {
      dueText += text + " の結果\n誤差(%)　必要な抵抗１　抵抗２　できた抵抗値\n";
      for (const Found& p : found) dueText += p.line + "\n";
      dueText += "\n必要な抵抗\n";
      for (const long v : needed) dueText += ValueLine(v);
      if (e.without) dueText += "\n持っていない抵抗\n";
      for (const long v : e.without.value_or(std::vector<long>())) dueText += ValueLine(v);
      dueText += "\n";
      continue;
    }
    nlohmann::ordered_json object = {{"wanted", *target},
                                     {"series", e.series.name},
                                     {"tolerance_percent", e.tolerancePercent},
                                     {"pairs", nlohmann::json::array()}};
    for (const Found& p : found) {
      dueCsv += std::to_string(*target) + "," + std::to_string(p.r1) + "," + std::to_string(p.r2) +
                "," + Number(p.value) + "," + Number(p.deviation) + "\n";
      object["pairs"].push_back(
          {{"r1", p.r1}, {"r2", p.r2}, {"value", p.value}, {"deviation_percent", p.deviation}});
    }
    if (found.empty()) dueCsv += std::to_string(*target) + ",,,,\n";
    object["needed"] = needed;
    if (e.without) object["without"] = *e.without;
    if (e.only) object["only"] = *e.only;
    dueJson.push_back(object);
  }
  if (refused != errLines.size()) return "more messages than refusals";
  if (status != (refused == 0 ? 0 : 1)) return "status " + std::to_string(status);
  if (e.format == cli::Format::kCsv) return out == dueCsv ? "" : "not the CSV due";
  if (e.format == cli::Format::kJson) {
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
  return out == dueText ? "" : "not the text due";
}

}  // namespace climodel
