#include "cli/Options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "cli/Locale.h"
#include "cli/Text.h"

namespace cli {
namespace {

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

// A decimal of digits and at most one point (2.5, .1, 100), split there; nothing for any other.
std::optional<std::pair<std::string_view, std::string_view>> Decimal(std::string_view text) {
  const std::size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction = point == text.npos ? "" : text.substr(point + 1);
  if (whole.size() + fraction.size() == 0 || !std::all_of(whole.begin(), whole.end(), IsDigit) ||
      !std::all_of(fraction.begin(), fraction.end(), IsDigit))
    return std::nullopt;
  return std::pair{whole, fraction};
}

// PERCENT: a decimal greater than 0 and at most 50.
bool ReadTolerance(std::string_view text, Options& options, std::string&) {
  const auto decimal = Decimal(text);
  if (!decimal) return false;
  const auto [whole, fraction] = *decimal;
  // Above 50 by the exact decimal, not by its nearest double (49.99999999999999999 is not).
  const double units = Nearest(whole, "", 0);
  const bool above =
      units > 50 || (units == 50 && fraction.find_first_not_of('0') != fraction.npos);
  if (!(Nearest(whole, fraction, -2) > 0) || above) return false;
  options.tolerance = {std::string(text), Nearest(whole, fraction, -2),
                       Nearest(whole, fraction, 0)};
  return true;
}

constexpr std::string_view kSeriesNames[] = {"E3", "E6", "E12", "E24", "E48", "E96", "E192"};
static_assert(std::size(kSeriesNames) == std::size(engine::kSeries));

bool ReadSeries(std::string_view text, Options& options, std::string&) {
  const engine::Series* series = engine::FindSeries(text);
  if (series != nullptr) options.series = *series, options.seriesGiven = true;
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
         std::equal(text.begin(), text.end(), name.begin(),
                    [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b; });
}

// The index of the word of words that text is, in capitals or not; -1 for none.
int WordOf(std::string_view text, std::span<const std::string_view> words) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (SameWord(text, words[i])) return int(i);
  }
  return -1;
}

constexpr std::string_view kFormats[] = {"text", "csv", "json"};  // in the order of Format

bool ReadFormat(std::string_view text, Options& options, std::string&) {
  const int format = WordOf(text, kFormats);
  if (format >= 0) options.format = Format(format);
  return format >= 0;
}

bool ReadOnly(std::string_view text, Options& options, std::string& problem) {
  if (!ReadList("--only", text, options.only.emplace(), problem)) return false;
  if (!options.only->empty()) return true;
  problem = Tr("--only: the list holds no value");
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

using engine::networks::Connect;
constexpr std::string_view kConnections[] = {"series", "parallel", "any"};
constexpr Connect kConnects[] = {Connect::kSeries, Connect::kParallel, Connect::kAny};

bool ReadConnect(std::string_view text, Options& options, std::string&) {
  const int connect = WordOf(text, kConnections);
  if (connect >= 0) options.connect = kConnects[connect];
  return connect >= 0;
}

// LOW-HIGH: two resistances as a list writes them; no resistance holds a hyphen.
bool ReadRange(std::string_view text, Options& options, std::string& problem) {
  const std::size_t hyphen = text.find('-');
  if (hyphen == text.npos) return false;
  const std::string_view low = text.substr(0, hyphen), high = text.substr(hyphen + 1);
  const std::optional<Resistance> from = ReadResistance(low), to = ReadResistance(high);
  if (!from || !to) return false;
  if (from->ohms > to->ohms) {
    problem = Trf("--range %s: the low end %s is above the high end %s", Quoted(text).c_str(),
                  Local(low).c_str(), Local(high).c_str());
    return false;
  }
  options.range.emplace(ListValue{std::string(low), from->ohms},
                        ListValue{std::string(high), to->ohms});
  return true;
}

// RATIO: a decimal of at least 1, or any.
bool ReadSpread(std::string_view text, Options& options, std::string&) {
  if (SameWord(text, "any")) {
    options.spread = std::numeric_limits<double>::infinity();
    return true;
  }
  const auto decimal = Decimal(text);
  if (!decimal) return false;
  options.spread = Nearest(decimal->first, decimal->second, 0);
  return options.spread >= 1;
}

// Every option: its name (and another for it), its value's name, its help (lines of at most 56
// columns) and an example of it; for one that takes a value, its reader and what it says of a
// value it cannot take (a reader that says more itself leaves that empty), the words the value
// may be, the kinds of search it belongs to, and the kind it chooses when given (of several, the
// one of the highest bit).
struct Rule {
  std::string_view name, alias, value;
  const char* help;
  const char* example;
  bool (*read)(std::string_view value, Options& options, std::string& problem);
  const char* takes;
  std::span<const std::string_view> choices = {};
  unsigned kinds = kPairs | kNetworks;
  unsigned selects = 0;
};
constexpr Rule kRules[] = {
    {"--series", "", "NAME", N_("E3, E6, E12, E24 (the default), E48, E96 or E192"),
     "--series E96 2200", ReadSeries,
     N_("--series takes E3, E6, E12, E24, E48, E96 or E192, not %s"), kSeriesNames},
    {"--tolerance", "", "PERCENT",
     // xgettext:no-c-format
     N_("keep results within PERCENT % of the wanted value, more\n"
        "than 0 and at most 50 (default 5)"),
     "--tolerance 1 4700", ReadTolerance,
     N_("--tolerance takes a percentage greater than 0 and at most 50, such as 1 or 2.5, not %s")},
    {"--count", "", "N", N_("keep the N best results, 1 to 100 (default 15)"), "--count 40 4700",
     ReadCount, N_("--count takes a whole number from 1 to 100, not %s")},
    {"--only", "", "LIST",
     N_("use only these values, your stock: without --series\n"
        "exactly these, with it the series' values they name"),
     "--only @drawer.txt,@bag.txt,4k7 4700", ReadOnly, ""},
    {"--without", "", "LIST", N_("leave these values out (it wins over --only)"),
     "--without 8200,5k1 4700", ReadWithout, ""},
    {"--format", "", "FORMAT", N_("text (the default), csv or json (JSON Lines)"),
     "--format csv 4700 1000 > pairs.csv", ReadFormat,
     N_("--format takes text, csv or json, not %s"), kFormats},
    {"--parts",
     "",
     "N",
     N_("instead of pairs, networks of up to N resistors (1 to 4)\n"
        "in series and in parallel, best first"),
     "--parts 3 4k7",
     ReadParts,
     N_("--parts takes a number of resistors from 1 to 4, not %s"),
     {},
     kNetworks,
     kNetworks},
    {"--connect", "", "HOW", N_("with --parts: series, parallel or any (the default)"),
     "--parts 2 --connect parallel 3k", ReadConnect,
     N_("--connect takes series, parallel or any, not %s"), kConnections, kNetworks},
    {"--range",
     "",
     "LOW-HIGH",
     N_("with --parts: only values from LOW to HIGH, inclusive"),
     "--parts 3 --range 10R-1M 12.5k",
     ReadRange,
     N_("--range takes LOW-HIGH, two resistances as a list writes them, such as 10R-1M, not %s"),
     {},
     kNetworks},
    {"--spread",
     "",
     "RATIO",
     N_("with --parts: no network whose largest value exceeds\n"
        "RATIO times its smallest (default 100; any: no limit)"),
     "--parts 3 --spread 10 3k33",
     ReadSpread,
     N_("--spread takes a ratio of at least 1, such as 10 or 100, or any, not %s"),
     {},
     kNetworks},
    {"--help", "-h", "", N_("show this help and exit"), nullptr, nullptr, nullptr},
    {"--version", "", "", N_("show the version and exit"), nullptr, nullptr, nullptr},
};

}  // namespace

std::string_view ConnectName(engine::networks::Connect connect) {
  return kConnections[std::find(std::begin(kConnects), std::end(kConnects), connect) -
                      std::begin(kConnects)];
}

std::vector<OptionInfo> OptionTable() {
  std::vector<OptionInfo> table;
  for (const Rule& rule : kRules)
    table.push_back({rule.name, rule.alias, rule.value, rule.choices});
  return table;
}

bool InRange(const Options& options, double nominal) {
  return !options.range ||
         (nominal >= options.range->first.ohms && nominal <= options.range->second.ohms);
}

std::string Usage() {
  std::string usage =
      Tr("Usage: ohmsift-cli [OPTION]... [WANTED]...\n"
         "\n"
         "Finds the pairs of standard resistors that, in parallel, come closest to each\n"
         "WANTED value and lists the best of them with their errors and the resistor\n"
         "values they need, best first. Both resistors of a pair are larger than the\n"
         "wanted value, as in the window; every parallel pair is found by --parts 2\n"
         "--connect parallel --spread any. A WANTED value is a whole number of ohms\n"
         "greater than 100 and less than 1000000, in digits or as on a schematic (4700,\n"
         "4k7). With no WANTED, the values are read from standard input as a LIST file\n"
         "holds them. E24 pairs within 5 % reach at most 455000 ohms, so nothing above\n"
         "about 479000 is found with the defaults.\n"
         "\n"
         "Options:\n");
  for (const Rule& rule : kRules) {
    std::string head = "  " + std::string(rule.alias) + (rule.alias.empty() ? "" : ", ") +
                       std::string(rule.name) + (rule.value.empty() ? "" : " ") +
                       std::string(rule.value);
    head.resize(std::max<std::size_t>(head.size() + 2, 23), ' ');
    const std::string help = Tr(rule.help);
    for (std::size_t start = 0; start < help.size();) {
      const std::size_t end = std::min(help.find('\n', start), help.size());
      usage += (start == 0 ? head : std::string(23, ' ')) + help.substr(start, end - start) + "\n";
      start = end + 1;
    }
    if (rule.example != nullptr) usage += std::string(25, ' ') + rule.example + "\n";
  }
  return usage +
         Tr("  --                   end of options; every later argument is a WANTED value\n"
            "\n"
            "A LIST is values separated by commas, semicolons or tabs, and @FILE: a file of\n"
            "values in lines, separated as in a LIST, where a # begins a comment and empty\n"
            "lines are skipped; standard input holds the wanted values in the same way. A\n"
            "value is a resistance from 0.01 ohm to 1 gigohm (or 0), in digits or as on a\n"
            "schematic, perhaps followed by an ohm sign: 4700, 4.7k, 4k7, 0R22, 1M, 4k7ohm.\n"
            "Names of series, formats and connections may be written in any case. Each\n"
            "option may be given once, as --option VALUE or --option=VALUE.\n"
            "\n"
            "With --parts, a WANTED value is any resistance from 0.01 ohm to 1 gigohm, and\n"
            "the networks are built from the series' values from 0.1 ohm to 10 megohms (or\n"
            "the --only values), less --without; each is written with + for series and ||\n"
            "for parallel: 4k7 + (10k || 22k).\n"
            "\n"
            "Messages, help and the text's captions follow the locale (LC_ALL, LC_MESSAGES,\n"
            "LANG): Japanese under a Japanese locale, else English. CSV and JSON never\n"
            "change with it.\n"
            "\n"
            "Exit status: 0 when every value was accepted, 1 when one or more were refused,\n"
            "2 for a usage error or input that cannot be read, 3 when the output could not\n"
            "be written.\n"
            "\n"
            "See man ohmsift-cli for more.\n");
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
    const auto* rule = std::find_if(std::begin(kRules), std::end(kRules), [&](const Rule& r) {
      return r.name == name || (!r.alias.empty() && r.alias == name);
    });
    if (rule == std::end(kRules) || (rule->read == nullptr && name != arg)) {
      problem = Trf("unknown option %s", Quoted(arg).c_str());
      return false;
    }
    if (rule->read == nullptr) {
      (rule->name == "--version" ? options.version : options.help) = true;
      continue;
    }
    if (std::find(given.begin(), given.end(), name) != given.end()) {
      problem = Trf("%s may be given only once", std::string(name).c_str());
      return false;
    }
    given.push_back(name);
    if (name.size() == arg.size() && i + 1 == argc) {
      problem = Trf("%s needs a value", std::string(name).c_str());
      return false;
    }
    const std::string_view value =
        name.size() == arg.size() ? argv[++i] : arg.substr(name.size() + 1);
    if (!rule->read(value, options, problem)) {
      if (problem.empty()) problem = Tr(rule->takes);
      if (const std::size_t at = problem.find("%s"); at != problem.npos)
        problem.replace(at, 2, Quoted(value));
      return false;
    }
  }
  // The kind of search, once; an option of another kind would seem to apply, and is refused.
  const auto ruleOf = [](std::string_view name) -> const Rule& {
    return *std::find_if(std::begin(kRules), std::end(kRules),
                         [&](const Rule& r) { return r.name == name; });
  };
  for (const std::string_view name : given)
    options.kind = SearchKind(std::max<unsigned>(options.kind, ruleOf(name).selects));
  for (const std::string_view name : given) {
    if ((ruleOf(name).kinds & options.kind) == 0) {
      problem =
          Trf("%s narrows a search for networks: it needs --parts", std::string(name).c_str());
      return false;
    }
  }
  return true;
}

}  // namespace cli
