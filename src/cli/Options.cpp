#include "cli/Options.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "cli/Locale.h"
#include "cli/Text.h"
#include "cli/Values.h"

namespace cli {
namespace {

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

// LOW-HIGH of an option: two resistances as a list writes them (no resistance holds a hyphen),
// the low end not above the high end.
std::optional<std::pair<ListValue, ListValue>> ReadLowHigh(const char* option,
                                                            std::string_view text,
                                                            std::string& problem) {
  const std::size_t hyphen = text.find('-');
  if (hyphen == text.npos) return std::nullopt;
  const std::string_view low = text.substr(0, hyphen), high = text.substr(hyphen + 1);
  const std::optional<Resistance> from = ReadResistance(low), to = ReadResistance(high);
  if (!from || !to) return std::nullopt;
  if (from->ohms > to->ohms) {
    problem = Trf("%s %s: the low end %s is above the high end %s", option, Quoted(text).c_str(),
                  Local(low).c_str(), Local(high).c_str());
    return std::nullopt;
  }
  return std::pair{ListValue{std::string(low), from->ohms}, ListValue{std::string(high), to->ohms}};
}

bool ReadRange(std::string_view text, Options& options, std::string& problem) {
  options.range = ReadLowHigh("--range", text, problem);
  return options.range.has_value();
}

// VALUE or MIN:TYP:MAX, each a quantity in unit (ReadQuantity), not descending.
bool ReadQuantities(std::string_view option, std::string_view text, char unit,
                    std::optional<Quantity>& quantity, std::string& problem) {
  double read[3];
  int count = 0;
  for (std::size_t start = 0; start <= text.size() && count <= 3; ++count) {
    const std::size_t colon = std::min(text.find(':', start), text.size());
    const std::optional<double> value = ReadQuantity(text.substr(start, colon - start), unit);
    if (!value || count == 3) return false;
    read[count] = *value;
    start = colon + 1;
  }
  if (count != 1 && count != 3) return false;
  const engine::ratios::Range range = count == 1 ? engine::ratios::Range{read[0], read[0], read[0]}
                                                 : engine::ratios::Range{read[0], read[1], read[2]};
  if (!(range.min <= range.typ && range.typ <= range.max)) {
    problem = Trf("%s %s: MIN, TYP and MAX must not descend", std::string(option).c_str(),
                  Quoted(text).c_str());
    return false;
  }
  quantity = Quantity{std::string(text), range};
  return true;
}

// A ratio search's source: VIN or VREF, not 0.
bool ReadSource(std::string_view option, engine::ratios::Formula formula, std::string_view text,
                Options& options, std::string& problem) {
  options.formula = formula;
  if (!ReadQuantities(option, text, 'V', options.source, problem)) return false;
  if (options.source->range.typ != 0 && options.source->range.min * options.source->range.max > 0)
    return true;
  problem = Trf("%s %s: the source must not be or cross 0 V", std::string(option).c_str(),
                Quoted(text).c_str());
  return false;
}

bool ReadDivider(std::string_view text, Options& options, std::string& problem) {
  return ReadSource("--divider", engine::ratios::Formula::kDivider, text, options, problem);
}

bool ReadFeedback(std::string_view text, Options& options, std::string& problem) {
  return ReadSource("--feedback", engine::ratios::Formula::kFeedback, text, options, problem);
}

bool ReadAdjust(std::string_view text, Options& options, std::string& problem) {
  return ReadSource("--adjust", engine::ratios::Formula::kAdjust, text, options, problem);
}

bool ReadRatio(std::string_view, Options& options, std::string&) {
  options.formula = engine::ratios::Formula::kRatio;
  return true;
}

bool ReadPinCurrent(std::string_view text, Options& options, std::string& problem) {
  return ReadQuantities("--pin-current", text, 'A', options.current, problem);
}

// LOW-HIGH of R1 + R2, resistances as a list writes them.
bool ReadTotal(std::string_view text, Options& options, std::string& problem) {
  const auto total = ReadLowHigh("--total", text, problem);
  if (!total) return false;
  if (!(total->first.ohms > 0)) {
    problem = Trf("--total %s: R1 + R2 is above 0", Quoted(text).c_str());
    return false;
  }
  options.total = *total;
  return true;
}

// PERCENT: a decimal from 0 to 50.
bool ReadPartTolerance(std::string_view text, Options& options, std::string&) {
  const auto decimal = Decimal(text);
  if (!decimal) return false;
  const double units = Nearest(decimal->first, "", 0);
  if (units > 50 ||
      (units == 50 && decimal->second.find_first_not_of('0') != std::string_view::npos))
    return false;
  options.partTolerance = Nearest(decimal->first, decimal->second, 0);
  return true;
}

// LOW-HIGH in the wanted values' unit: the hyphen between them follows a digit or a letter.
bool ReadWithin(std::string_view text, Options& options, std::string& problem) {
  std::size_t hyphen = text.npos;
  for (std::size_t i = 1; i < text.size() && hyphen == text.npos; ++i) {
    if (text[i] == '-' && text[i - 1] != '-') hyphen = i;
  }
  if (hyphen == text.npos) return false;
  const std::optional<double> low = ReadQuantity(text.substr(0, hyphen), 'V'),
                              high = ReadQuantity(text.substr(hyphen + 1), 'V');
  if (!low || !high) return false;
  if (*low > *high) {
    problem = Trf("--within %s: the low end is above the high end", Quoted(text).c_str());
    return false;
  }
  options.within.emplace(*low, *high);
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
  unsigned kinds = kPairs | kNetworks | kRatios;
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
     kNetworks | kRatios,
     kNetworks},
    {"--connect", "", "HOW", N_("how pairs connect: series, parallel or any (the default)"),
     "--parts 2 --connect parallel 3k", ReadConnect,
     N_("--connect takes series, parallel or any, not %s"), kConnections, kNetworks | kRatios},
    {"--range",
     "",
     "LOW-HIGH",
     N_("build only from values from LOW to HIGH, inclusive"),
     "--parts 3 --range 10R-1M 12.5k",
     ReadRange,
     N_("--range takes LOW-HIGH, two resistances as a list writes them, such as 10R-1M, not %s"),
     {},
     kNetworks | kRatios},
    {"--spread",
     "",
     "RATIO",
     N_("no network or pair whose largest value exceeds RATIO\n"
        "times its smallest (default 100; any: no limit)"),
     "--parts 3 --spread 10 3k33",
     ReadSpread,
     N_("--spread takes a ratio of at least 1, such as 10 or 100, or any, not %s"),
     {},
     kNetworks | kRatios},
    {"--divider",
     "",
     "VIN",
     N_("a voltage divider fed by VIN: each WANTED is its output\n"
        "(VIN x R2 / (R1 + R2)); VIN may be MIN:TYP:MAX"),
     "--divider 12 --total 10k-100k 3V3",
     ReadDivider,
     N_("--divider takes a voltage from 1p to 1G in size or MIN:TYP:MAX, such as 12, 3V3 or "
        "11.4:12:12.6, not %s"),
     {},
     kRatios,
     kRatios},
    {"--feedback",
     "",
     "VREF",
     N_("a regulator with VREF at its feedback pin: each WANTED\n"
        "is its output (VREF x (R1 + R2) / R2 + I x R1)"),
     "--feedback 0.8 --series E96 5",
     ReadFeedback,
     N_("--feedback takes a voltage from 1p to 1G in size or MIN:TYP:MAX, such as 0.8 or "
        "0.788:0.8:0.812, not %s"),
     {},
     kRatios,
     kRatios},
    {"--adjust",
     "",
     "VREF",
     N_("a regulator with VREF from output to adjust (LM317):\n"
        "each WANTED is VREF x (R1 + R2) / R1 + I x R2"),
     "--adjust 1.25 --pin-current 50u 9",
     ReadAdjust,
     N_("--adjust takes a voltage from 1p to 1G in size or MIN:TYP:MAX, such as 1.25 or "
        "1.2:1.25:1.3, not %s"),
     {},
     kRatios,
     kRatios},
    {"--ratio",
     "",
     "",
     N_("each WANTED is the ratio R1 / R2: a gain, or a gain - 1"),
     "--ratio --series E192 9",
     ReadRatio,
     nullptr,
     {},
     kRatios,
     kRatios},
    {"--pin-current",
     "",
     "AMPS",
     N_("with --feedback or --adjust: the pin's current I\n"
        "(default 0; may be MIN:TYP:MAX)"),
     "--feedback 0.8 --pin-current 100n 5",
     ReadPinCurrent,
     N_("--pin-current takes a current from 1p to 1G in size or MIN:TYP:MAX, such as 50u or "
        "100n, not %s"),
     {},
     kRatios},
    {"--total",
     "",
     "LOW-HIGH",
     N_("with a ratio search: R1 + R2 from LOW to HIGH\n"
        "(default 1k-1M)"),
     "--divider 12 --total 10k-100k 3V3",
     ReadTotal,
     N_("--total takes LOW-HIGH, two resistances as a list writes them, such as 1k-1M, not %s"),
     {},
     kRatios},
    {"--part-tolerance",
     "",
     "P",
     N_("with a ratio search: each resistor's tolerance in the\n"
        "worst case (default the series' own; with --only, 1)"),
     "--divider 5 --part-tolerance 0.1 3V3",
     ReadPartTolerance,
     N_("--part-tolerance takes a percentage from 0 to 50, such as 1 or 0.1, not %s"),
     {},
     kRatios},
    {"--within",
     "",
     "LOW-HIGH",
     N_("with a ratio search: only results whose worst case\n"
        "lies from LOW to HIGH"),
     "--divider 12 --within 3.2-3.4 3V3",
     ReadWithin,
     N_("--within takes LOW-HIGH in the wanted values' unit, such as 3.2-3.4, not %s"),
     {},
     kRatios},
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
            "With --divider, --feedback, --adjust or --ratio, each WANTED value is an output\n"
            "(a voltage in decimal, with an SI prefix or as on a schematic: 3.3, -5, 500m,\n"
            "3V3) or the ratio itself, and the pairs R1, R2 that make it are found, each a\n"
            "resistor or, with --parts 3 or 4, two in series or in parallel, listed with\n"
            "the lowest and highest output their tolerances allow; of copies scaled by a\n"
            "power of ten, the one whose R1 + R2 lies nearest the middle of --total.\n"
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
  // In a ratio search a wanted value may be below 0, and an argument that begins with a minus and
  // a digit or a point is one (-3V3): no option is spelt so.
  bool negatives = false;
  for (int i = 1; i < argc && std::string_view(argv[i]) != "--"; ++i) {
    const std::string_view name =
        std::string_view(argv[i]).substr(0, std::string_view(argv[i]).find('='));
    const auto* rule = std::find_if(std::begin(kRules), std::end(kRules),
                                    [&](const Rule& r) { return r.name == name; });
    negatives = negatives || (rule != std::end(kRules) && rule->selects == kRatios);
  }
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool negative = negatives && arg.size() >= 2 && arg[0] == '-' &&
                          ((arg[1] >= '0' && arg[1] <= '9') || arg[1] == '.');
    if (optionsEnded || arg.size() < 2 || arg[0] != '-' || negative) {
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
    const bool flag = rule->value.empty();
    if (std::find(given.begin(), given.end(), name) != given.end()) {
      problem = Trf("%s may be given only once", std::string(name).c_str());
      return false;
    }
    given.push_back(name);
    if (flag) {
      if (name.size() != arg.size()) {
        problem = Trf("%s takes no value", std::string(name).c_str());
        return false;
      }
      rule->read("", options, problem);
      continue;
    }
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
  std::vector<std::string_view> ratios;
  for (const std::string_view name : given) {
    options.kind = SearchKind(std::max<unsigned>(options.kind, ruleOf(name).selects));
    if (ruleOf(name).selects == kRatios) ratios.push_back(name);
  }
  if (ratios.size() > 1) {
    problem = Trf("%s and %s: a search takes one of --divider, --feedback, --adjust and --ratio",
                  std::string(ratios[0]).c_str(), std::string(ratios[1]).c_str());
    return false;
  }
  if (options.current && options.formula != engine::ratios::Formula::kFeedback &&
      options.formula != engine::ratios::Formula::kAdjust) {
    problem = Tr("--pin-current is a regulator's: it needs --feedback or --adjust");
    return false;
  }
  for (const std::string_view name : given) {
    if ((ruleOf(name).kinds & options.kind) != 0) continue;
    problem = ruleOf(name).kinds & kNetworks
                  ? Trf("%s narrows a search for networks or ratios: it needs --parts, --divider, "
                        "--feedback, --adjust or --ratio",
                        std::string(name).c_str())
                  : Trf("%s belongs to a ratio search: it needs --divider, --feedback, --adjust or "
                        "--ratio",
                        std::string(name).c_str());
    return false;
  }
  if (options.kind == kRatios && options.parts == 1) {
    problem = Tr("--parts 1 leaves R2 without a resistor: a ratio search takes 2 to 4 parts");
    return false;
  }
  return true;
}

}  // namespace cli
