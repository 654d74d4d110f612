// The network search per wanted value, 15 best within 5 % and the command line's spread of 100,
// after the tables are built once: the median and the largest time over a spread of targets, for
// E24, E96 and E192 with four resistors and E192 with three; and the time E192's tables take to
// build, with the peak resident memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "engine/Arithmetic.h"
#include "engine/Networks.h"
#include "engine/Sequences.h"
#include "engine/Series.h"

namespace {

using namespace engine;

// The values the command line builds networks from: the series from 0.1 ohm to 10 megohms.
std::vector<double> Values(const Series& series) {
  return SeriesValues(series.mantissas);
}

// Targets spread evenly in ratio from 101 to 999,999: whole numbers, as ohmsift-cli takes them,
// which networks of three resistors often meet exactly, so that the search ends there; or off the
// whole numbers (a part in 10^4 above them), where every shape is searched.
std::vector<double> Spread(bool whole) {
  std::vector<double> targets;
  for (int i = 0; i < 100; ++i) {
    const double target = std::floor(101.0 * std::pow(999999.0 / 101.0, i / 99.0));
    targets.push_back(whole ? target : target * (1 + 1.2345e-4));
  }
  return targets;
}

// series index, parts, whole-number targets or not
void BM_NetworkSearch(benchmark::State& state) {
  const Series& series = kSeries[state.range(0)];
  const int parts = static_cast<int>(state.range(1));
  const bool whole = state.range(2) != 0;
  state.SetLabel(std::string(series.name) + ", " + std::to_string(parts) + " parts, " +
                 (whole ? "whole targets" : "targets off whole numbers"));
  const networks::Tables tables(Values(series), parts, 100);
  const std::vector<double> targets = Spread(whole);
  std::vector<double> seconds(targets.size(), 0.0);
  networks::Network out[15];
  for (auto _ : state) {
    for (std::size_t i = 0; i < targets.size(); ++i) {
      const auto start = std::chrono::steady_clock::now();
      benchmark::DoNotOptimize(
          networks::Search(tables, targets[i], 0.05, networks::Connect::kAny, out));
      seconds[i] += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
  }
  std::sort(seconds.begin(), seconds.end());
  const double runs = static_cast<double>(state.iterations());
  state.counters["median_ms"] = seconds[seconds.size() / 2] / runs * 1e3;
  state.counters["max_ms"] = seconds.back() / runs * 1e3;
}

// The tables of E192 with four resistors; the peak resident memory of the whole run so far, which
// these tables make the largest of.
void BM_NetworkTables(benchmark::State& state) {
  const std::vector<double> values = Values(kSeries[6]);
  for (auto _ : state) {
    const networks::Tables tables(values, 4, 100);
    benchmark::DoNotOptimize(tables.values().data());
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024;
  state.SetLabel("E192, 4 parts, " + std::to_string(values.size()) + " values");
}

BENCHMARK(BM_NetworkTables)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_NetworkSearch)
    ->ArgsProduct({{3}, {4}, {1, 0}})
    ->ArgsProduct({{5, 6}, {4, 3}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
