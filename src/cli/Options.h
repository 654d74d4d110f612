// What ohmsift-cli is asked to do: its options, read from the command line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Series.h"

namespace cli {

enum class Format { kText, kCsv, kJson };

struct Options {
  bool help = false;
  bool version = false;
  engine::Series series = engine::kSeries[3];  // E24
  double tolerancePercent = 5;
  double tolerance = 0.05;  // the double nearest tolerancePercent / 100
  int count = 15;
  std::optional<std::vector<long>> only, without;  // ascending, distinct
  Format format = Format::kText;
  std::vector<std::string_view> wanted;
};

// Reads argv[1 ..]: the options and the wanted values. On a malformed option or list entry, says
// in problem what was wrong and where, and returns false.
bool ParseArguments(int argc, char** argv, Options& options, std::string& problem);

// A resistor value in a list: a whole number of ohms from 1 to 9999999, in digits or written with a
// multiplier as on a schematic (4k7, 4.7k, 1M, 100R, 1k02), so long as it comes out whole.
std::optional<long> ReadValue(std::string_view text);

// A text as it may safely be quoted in a message: control bytes as '?', at most 60 bytes shown,
// cut where a UTF-8 character ends.
std::string Quoted(std::string_view text);

}  // namespace cli
