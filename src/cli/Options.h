// What ohmsift-cli is asked to do: its options, read from the command line by one table, which
// also writes their help.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/Values.h"
#include "engine/Networks.h"
#include "engine/Ratios.h"
#include "engine/Series.h"

namespace cli {

enum class Format { kText, kCsv, kJson };

// The kinds of search, as a mask of those an option belongs to.
enum SearchKind : unsigned { kPairs = 1, kNetworks = 2, kRatios = 4 };

// A quantity of a ratio search given as VALUE or MIN:TYP:MAX, as written and as read.
struct Quantity {
  std::string text;
  engine::ratios::Range range;
};

// The band, as written and as the search and the output take it.
struct Tolerance {
  std::string text = "5";
  double fraction = 0.05;  // the double nearest a hundredth of the written percent
  double percent = 5;      // the double nearest the written percent
};

struct Options {
  SearchKind kind = kPairs;  // chosen once, from the options given
  bool help = false;
  bool version = false;
  engine::Series series = engine::kDefaultSeries;  // the one given, or the default
  bool seriesGiven = false;
  Tolerance tolerance;
  int count = 15;
  std::optional<std::vector<ListValue>> only, without;  // in the order given
  Format format = Format::kText;
  // 0 for the pair search; else the most resistors of a network.
  int parts = 0;
  std::optional<engine::networks::Connect> connect;      // as given
  std::optional<std::pair<ListValue, ListValue>> range;  // the values kept, ends included
  double spread = 100;  // a network's largest value at most this times its smallest
  // A ratio search: its formula, what feeds it, the range of R1 + R2, each part's tolerance in
  // percent (the series' own by default) and the limits its worst case must keep within.
  std::optional<engine::ratios::Formula> formula;
  std::optional<Quantity> source, current;
  std::pair<ListValue, ListValue> total{{"1k", 1000}, {"1M", 1000000}};
  std::optional<double> partTolerance;
  std::optional<std::pair<double, double>> within;
  std::vector<std::string_view> wanted;

  // Whether the values are the --only list's alone, not a series'.
  bool Stock() const { return only && !seriesGiven; }
};

// The name a connection is given on the command line: series, parallel or any.
std::string_view ConnectName(engine::networks::Connect connect);

// Reads argv[1 ..]: the options and the wanted values. On a malformed option or list entry, says
// in problem what was wrong and where, and returns false.
bool ParseArguments(int argc, char** argv, Options& options, std::string& problem);

// The help of --help, in the locale's language, its option lines made from the table.
std::string Usage();

// An option of the table as the bash completion offers it: its name, another name for it, its
// value's name ("" for none) and the words that value may be.
struct OptionInfo {
  std::string_view name, alias, value;
  std::span<const std::string_view> choices;
};
std::vector<OptionInfo> OptionTable();

// A value of a network search's range: inside it, ends included, when there is one.
bool InRange(const Options& options, double nominal);

}  // namespace cli
