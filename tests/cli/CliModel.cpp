#include "CliModel.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <regex>
#include <set>
#include <sstream>

#include "Oracles.h"
#include "cli/Cli.h"
#include "engine/Arithmetic.h"
#include "engine/Series.h"
#include "engine/WholeOhm.h"

namespace climodel {
namespace {

using engine::WholeOhm;

// The lines of a text, the last one even if unterminated; false if it is.
bool Split(std::string_view text, std::vector<std::string>& lines) {
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t newline = std::min(text.find('\n', start), text.size());
    lines.emplace_back(text.substr(start, newline - start));
    start = newline + 1;
  }
  return text.empty() || text.back() == '\n';
}

std::string Trim(std::string line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const std::size_t first = line.find_first_not_of(" \t"), last = line.find_last_not_of(" \t");
  return first == line.npos ? "" : line.substr(first, last - first + 1);
}

std::string Number(double x) {
  char text[32];
  return {text, std::to_chars(text, text + sizeof text, x == 0 ? 0.0 : x).ptr};
}

// Resistances: whole ohms as integers, the rest as the shortest decimal that reads back.
std::string Ohms(double x) {
  return x == std::floor(x) && x < 1e15 ? std::to_string((long long)x) : Number(x);
}

std::string Lower(std::string text) {
  for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// A resistance as a list writes it: [digits].digits[unit], digits[unit] or [digits]unit digits,
// the unit (R, k, M, G) standing for the point; 0, or 0.01 to 1e9 ohms.
std::optional<double> Resistance(const std::string& text) {
  static const std::regex grammar(R"((\d*)(?:\.(\d+)([RrkKMG]?)|([RrkKMG])(\d*))?)");
  std::smatch m;
  if (!std::regex_match(text, m, grammar) || m[1].length() + m[2].length() + m[5].length() == 0)
    return std::nullopt;
  const char unit = (m[3].str() + m[4].str() + "R")[0];
  const int exponent = unit == 'G' ? 9 : unit == 'M' ? 6 : unit == 'k' || unit == 'K' ? 3 : 0;
  const double ohms = std::strtod(
      ("0" + m[1].str() + "." + m[2].str() + m[5].str() + "e" + std::to_string(exponent)).c_str(),
      nullptr);
  if (ohms != 0 && !(ohms >= 0.01 && ohms <= 1e9)) return std::nullopt;
  return ohms;
}

struct Value {
  std::string text;
  double ohms;
};

// The options as the program must read them.
struct Model {
  bool usage = false, help = false, version = false;
  const engine::Series* series = nullptr;
  std::string tolerance = "5", format = "text";
  int count = 15;
  std::optional<std::vector<Value>> only, without;
  std::vector<std::string> wanted;
  bool fromInput = true;
  int parts = 0;  // a network search when not 0
  std::string connect = "any";
  std::optional<std::pair<double, double>> range;
};

// The values of a LIST; false where one is no value or the file cannot be read.
bool List(const std::string& list, std::vector<Value>& values) {
  std::vector<std::string> lines;
  if (list.rfind('@', 0) != 0) {
    lines.push_back(list);
  } else {
    if (list == "@" || list == "@-") return false;
    std::FILE* file = std::fopen(list.substr(1).c_str(), "rb");
    if (file == nullptr) return false;
    std::string text(1 << 20, '\0');  // enough to see a line too long, even of an endless file
    text.resize(std::fread(text.data(), 1, text.size(), file));
    const bool failed = std::ferror(file);
    std::fclose(file);
    if (failed) return false;
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    Split(text, lines);
    for (std::string& line : lines) {
      if (line.size() > 65536) return false;
      line = Trim(line);
      if (line.rfind('#', 0) == 0) line.clear();
    }
  }
  for (const std::string& line : lines) {
    std::stringstream items(line);
    for (std::string item; std::getline(items, item, ',');) {
      item = Trim(item);
      if (item.empty()) continue;
      const std::optional<double> ohms = Resistance(item);
      if (!ohms) return false;
      values.push_back({item, *ohms});
    }
  }
  return true;
}

Model Read(const std::vector<std::string>& args) {
  Model m;
  std::set<std::string> given;
  for (std::size_t i = 0; i < args.size() && !m.usage; ++i) {
    const std::string& arg = args[i];
    if (arg.size() < 2 || arg[0] != '-' || given.count("--")) {
      m.wanted.push_back(arg), m.fromInput = false;
      continue;
    }
    const std::string name = arg.substr(0, arg.find('='));
    if (arg == "--") {
      given.insert(arg);
    } else if (arg == "--help" || arg == "-h" || arg == "--version") {
      (arg == "--version" ? m.version : m.help) = true;
    } else if (std::set<std::string>{"--series", "--tolerance", "--count", "--only", "--without",
                                     "--format", "--parts", "--connect", "--range"}
                       .count(name) == 0 ||
               !given.insert(name).second || (name == arg && i + 1 == args.size())) {
      m.usage = true;
    } else {
      const std::string value = name == arg ? args[++i] : arg.substr(name.size() + 1);
      static const std::regex percent(R"((\d*)\.?(\d*))"), digits(R"(\d+)");
      std::smatch p;
      if (name == "--series") {
        m.series = nullptr;
        for (const engine::Series& series : engine::kSeries)
          if (Lower(value) == Lower(std::string(series.name))) m.series = &series;
        m.usage = m.series == nullptr;
      } else if (name == "--parts") {
        m.usage = !std::regex_match(value, std::regex("[1-4]")), m.parts = value[0] - '0';
      } else if (name == "--connect") {
        m.usage = !std::regex_match(m.connect = Lower(value), std::regex("series|parallel|any"));
      } else if (name == "--range") {  // LOW-HIGH, ends included
        std::regex_match(value, p, std::regex("([^-]*)-(.*)"));
        const auto low = Resistance(p[1]), high = Resistance(p[2]);
        m.usage = !low || !high || *low > *high, m.range = {low.value_or(0), high.value_or(0)};
      } else if (name == "--format") {
        m.format = Lower(value);
        m.usage = m.format != "text" && m.format != "csv" && m.format != "json";
      } else if (name == "--count") {
        m.count = std::regex_match(value, digits) ? 0 : -1;
        for (const char c : value)
          m.count = m.count < 0 ? -1 : std::min(m.count * 10 + (c - '0'), 1000);
        m.usage = m.count < 1 || m.count > 100;
      } else if (name == "--tolerance") {
        m.tolerance = value;
        const bool read = std::regex_match(value, p, percent) && p[1].length() + p[2].length() > 0;
        const double whole =
            read && p[1].length() > 0 ? std::strtod(p[1].str().c_str(), nullptr) : 0;
        const bool over =
            whole > 50 || (whole == 50 && p[2].str().find_first_not_of('0') != std::string::npos);
        m.usage = !read || over || !(std::strtod((value + "e-2").c_str(), nullptr) > 0);
      } else {
        auto& list = name == "--only" ? m.only : m.without;
        m.usage = !List(value, list.emplace()) || (name == "--only" && list->empty());
      }
    }
  }
  if (m.only && !m.series) {
    std::set<double> distinct;
    for (const Value& v : *m.only) distinct.insert(v.ohms);
    m.usage = m.usage || distinct.size() > 2000;
  }
  m.usage = m.usage || (!m.parts && (given.count("--connect") || given.count("--range")));
  return m;
}

std::vector<double> Ohms(const std::optional<std::vector<Value>>& list) {
  std::set<double> ohms;
  for (const Value& v : list.value_or(std::vector<Value>())) ohms.insert(v.ohms);
  return {ohms.begin(), ohms.end()};
}

// A text as the program must quote a value: control bytes as '?'; past 60 bytes, cut before the
// character that the 61st byte is part of (unless that is more than three bytes back), and "...".
std::string Shown(const std::string& text) {
  std::size_t cut = std::min<std::size_t>(text.size(), 60);
  const auto inside = [&](std::size_t i) {
    return i < text.size() && ((unsigned char)text[i] >> 6) == 2;
  };
  std::size_t back = cut;
  for (int n = 0; n < 3 && inside(back); ++n) --back;
  if (!inside(back)) cut = back;
  std::string shown;
  for (const char c : text.substr(0, cut)) shown += (unsigned char)c < 0x20 || c == 0x7F ? '?' : c;
  return text.size() > cut ? shown + "..." : shown;
}

}  // namespace

Run RunInMemory(const std::vector<std::string>& args, std::string_view input) {
  std::vector<std::string> copies(args);  // as main gets them
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

std::pair<std::vector<std::string>, std::string> Decode(std::string_view bytes) {
  std::vector<std::string> args(bytes.empty() ? 0 : std::uint8_t(bytes[0]) % 16);
  bytes.remove_prefix(!bytes.empty());
  for (std::string& a : args) {
    a = bytes.substr(0, bytes.find('\0'));
    bytes.remove_prefix(std::min(bytes.size(), a.size() + 1));
  }
  return {args, std::string(bytes)};
}

std::string Transcript(const std::vector<std::string>& args, std::string_view input, const Run& run) {
  std::string t;
  for (const std::string& a : args) t += a + '\0';
  t += "\n" + std::string(input) + "\nstatus " + std::to_string(run.status) + "\n" + run.out + run.err;
  const std::string version = "ohmsift-cli " OHMSIFT_VERSION "\n";
  if (const std::size_t at = t.find(version); at != t.npos) t.replace(at, version.size(), "ohmsift-cli VERSION\n");
  return t;
}

std::string Check(const std::vector<std::string>& args, std::string_view input, const Run& run) {
  const auto& [status, out, err] = run;
  std::vector<std::string> outLines, errLines;
  if (!Split(out, outLines) || !Split(err, errLines)) return "an unterminated line";
  const Model m = Read(args);
  // The values searched, and which are left out.
  const bool stock = m.only && !m.series;
  const engine::Series& series = m.series ? *m.series : engine::kSeries[3];  // E24
  const std::vector<double> only = Ohms(m.only), without = Ohms(m.without);
  const auto named = [](double v, const std::vector<double>& list) {
    return std::any_of(list.begin(), list.end(),
                       [v](double e) { return WholeOhm(e) == WholeOhm(v); });
  };
  // A network's values: a series' from 1 ohm to 10 megohms, a stock list's, with --only and
  // --without as for pairs, inside the range (a series' as written, to their two decimals).
  std::set<double> offered;
  const auto offer = [&](double v, double w) {
    if (v > 0 && !named(v, without) && (stock || !m.only || named(v, only)) &&
        (!m.range || (w >= m.range->first && w <= m.range->second)))
      offered.insert(w);
  };
  std::vector<double> values = stock ? only : std::vector<double>();
  std::set<std::int32_t> inSeries;
  for (double decade = 1; !stock && decade <= 1e6; decade *= 10) {
    for (const double mantissa : series.mantissas) {
      const double v = engine::arith::Product(mantissa, decade);
      inSeries.insert(WholeOhm(v));
      if (decade < 1e6) values.push_back(v);
      offer(v, std::round(v * 100) / 100);
    }
  }
  for (const double v : stock ? only : std::vector<double>{1e7})
    offer(v, v), inSeries.insert(m.parts ? WholeOhm(v) : -1);
  // A network search needs a value to build from, unless it only shows the help.
  if (m.usage || (m.parts && offered.empty() && !m.help && !m.version)) {
    const bool ok = status == 2 && out.empty() && errLines.size() == 2 &&
                    errLines[0].rfind("ohmsift-cli: ", 0) == 0 &&
                    errLines[1] == "Try 'ohmsift-cli --help' for more information.";
    return ok ? "" : "not the usage error due";
  }
  if (m.help || m.version) {
    const char* first = m.help ? "Usage: ohmsift-cli" : "ohmsift-cli " OHMSIFT_VERSION "\n";
    return status == 0 && err.empty() && out.rfind(first, 0) == 0 ? "" : "no help or version";
  }
  double reach = 0;
  for (const double v : values) {
    if (v > 0 && !m.parts && !named(v, without) && (!m.only || named(v, only)))
      reach = std::max(reach, (stock ? v : WholeOhm(v)) / 2.0);
  }
  std::vector<std::string> dueErr;
  if (m.only && m.series) {
    std::string names;
    for (const Value& v : *m.only) {
      if (!inSeries.count(WholeOhm(v.ohms))) names += (names.empty() ? "" : ", ") + Shown(v.text);
    }
    if (!names.empty())
      dueErr.push_back("ohmsift-cli: --only: not " + std::string(series.name) +
                       " values, so not used: " + names);
  }
  std::vector<std::string> wanted = m.wanted, lines;
  std::string text(input);
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
  if (m.fromInput) Split(text, lines);
  for (const std::string& line : lines) wanted.push_back(Trim(line));
  long accepted = 0, refused = 0;
  for (std::size_t n = 0; n < wanted.size(); ++n) {
    const std::string& w = wanted[n];
    if (m.fromInput && w.empty()) continue;
    const double ohms = (m.parts && w.size() < 1000 ? Resistance(w) : std::nullopt).value_or(0);
    if (m.parts ? ohms > 0 : fuzz::WantedValue(w).has_value()) {
      ++accepted;
      continue;
    }
    ++refused;
    dueErr.push_back("ohmsift-cli: " +
                     (m.fromInput ? "line " + std::to_string(n + 1) + ": " : "") + "refused \"" +
                     Shown(w) + "\": a wanted value is");
  }
  // One block, or JSON object, for each wanted value; which pairs and networks, and every byte of
  // them, are held to the step-by-step searches and to recorded transcripts and digests.
  const std::regex block(m.format == "json" ? "\n" : " の結果\n"),
      none(m.format == "csv"    ? "\n[0-9.e+-]+,,,,,(?=\n)"
           : m.format == "json" ? "\"(pairs|networks)\":\\[\\]"
                                : "(できた抵抗値|つなぎ方)\n\n");
  const auto count = [&out](const std::regex& r) {
    return std::distance(std::sregex_iterator(out.begin(), out.end(), r), {});
  };
  if (m.format != "csv" && count(block) != accepted + (m.format == "json" ? refused : 0))
    return "not a block for each wanted value";
  if (const long unpaired = count(none); unpaired > 0) {
    dueErr.push_back("ohmsift-cli: no " + std::string(m.parts ? "network" : "pair") + " within " +
                     m.tolerance + " % for " + std::to_string(unpaired) + " of " +
                     std::to_string(accepted) + " wanted values" +
                     (reach > 0 ? "; these pairs reach at most " + Ohms(reach) + " Ω" : ""));
  }
  if (errLines.size() != dueErr.size()) return "not the messages due: " + err;
  for (std::size_t i = 0; i < dueErr.size(); ++i) {
    if (errLines[i].rfind(dueErr[i], 0) != 0)
      return "due message " + dueErr[i] + ", not " + errLines[i];
  }
  return status == (refused ? 1 : 0) ? "" : "status " + std::to_string(status);
}

}  // namespace climodel
