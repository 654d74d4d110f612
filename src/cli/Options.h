// What ohmsift-cli is asked to do: its options, read from the command line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/Networks.h"
#include "engine/Series.h"

namespace cli {

enum class Format { kText, kCsv, kJson };

// A value of a list, as written and as the double nearest it.
struct ListValue {
  std::string text;
  double ohms;
};

struct Options {
  bool help = false;
  bool version = false;
  std::optional<engine::Series> series;  // as given
  std::string tolerance = "5";           // the band in percent, as written (checked)
  int count = 15;
  std::optional<std::vector<ListValue>> only, without;  // in the order given
  Format format = Format::kText;
  // 0 for the pair search; else the most resistors of a network.
  int parts = 0;
  std::optional<engine::networks::Connect> connect;      // as given
  std::optional<std::pair<ListValue, ListValue>> range;  // the values kept, ends included
  std::vector<std::string_view> wanted;
};

// The name a connection is given on the command line: series, parallel or any.
std::string_view ConnectName(engine::networks::Connect connect);

// The band as the search takes it: the double nearest a hundredth of the written percent; and
// the percent itself, the double nearest it, as the output shows it.
double ToleranceFraction(const Options& options);
double TolerancePercent(const Options& options);

// Reads argv[1 ..]: the options and the wanted values. On a malformed option or list entry, says
// in problem what was wrong and where, and returns false.
bool ParseArguments(int argc, char** argv, Options& options, std::string& problem);

// A resistance as a list writes it: digits with at most one decimal point (4700, 0.22), or the
// schematic notation of IEC 60062, where R, k, M or G stands for the point and multiplies (4R7,
// R47, 4k7, 4.7k, 2M2, 1G); 0, or from 0.01 ohm to 1 gigohm. The double nearest it.
std::optional<double> ReadResistance(std::string_view text);

// A value of a network search's range: inside it, ends included, when there is one.
bool InRange(const Options& options, double nominal);

// A text as it may safely be quoted in a message: control bytes as '?', at most 60 bytes shown
// (cut where a UTF-8 character ends) unless whole is set, as for a file's name.
std::string Quoted(std::string_view text, bool whole = false);

}  // namespace cli
