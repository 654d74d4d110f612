// The pair search written out step by step with no shortcut: every first value from the start,
// every second value from the start, the lists of values scanned in order. The engine's search
// must give exactly what this gives.
#pragma once

#include <optional>
#include <span>

namespace reference {

struct Result {
  int count = 0;
  double reg1[100], reg2[100], value[100], error[100];
};

// The values are series[i] x decade for the decades 1 to 1,000,000 (the second resistor's to
// 100,000), a decade ending at a 0.0 or the end of series. A value is left out when its whole-ohm
// figure is that of an entry of without, or, with only given, of no entry of only.
Result Search(std::span<const double> series, double target, int count, double tolerance,
              std::span<const double> without, std::optional<std::span<const double>> only = {});

// The same over a stock list: its positive values, ascending and once each, in both roles.
Result SearchStock(std::span<const double> stock, double target, int count, double tolerance,
                   std::span<const double> without);

}  // namespace reference
