// The ratio search per wanted value, 15 best within 5 %, a divider fed by 12 V with R1 + R2 from
// 1k to 1M, after the tables a run builds once: the median and the largest time over outputs
// spread in ratio from 0.12 V to 11.9 V, for E192 single resistors and E96 and E192 with four; and
// the time E192's pair tables take to build, with the peak resident memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "engine/Ratios.h"
#include "engine/Series.h"

namespace {

using namespace engine;

// series index, parts
void BM_RatioSearch(benchmark::State& state) {
  const Series& series = kSeries[state.range(0)];
  const int parts = static_cast<int>(state.range(1));
  state.SetLabel(std::string(series.name) + ", " + std::to_string(parts) + " parts");
  const networks::Tables tables(SeriesValues(series.mantissas), parts >= 3 ? 2 : 1, 100);
  const ratios::Positions positions(tables);
  ratios::Problem problem;
  problem.formula = ratios::Formula::kDivider;
  problem.source = {12, 12, 12};
  problem.parts = parts;
  problem.partTolerance = 0.01;
  std::vector<double> targets;
  for (int i = 0; i < 50; ++i)
    targets.push_back(0.12 * std::pow(11.9 / 0.12, i / 49.0) * (1 + 1.2345e-4));
  std::vector<double> seconds(targets.size(), 0.0);
  ratios::Result out[15];
  for (auto _ : state) {
    for (std::size_t i = 0; i < targets.size(); ++i) {
      const auto start = std::chrono::steady_clock::now();
      benchmark::DoNotOptimize(ratios::Search(positions, problem, targets[i], 0.05, out));
      seconds[i] += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
  }
  std::sort(seconds.begin(), seconds.end());
  const double runs = static_cast<double>(state.iterations());
  state.counters["median_ms"] = seconds[seconds.size() / 2] / runs * 1e3;
  state.counters["max_ms"] = seconds.back() / runs * 1e3;
}

// E192's tables with pairs, and the peak resident memory of the run so far.
void BM_RatioTables(benchmark::State& state) {
  const std::vector<double> values = SeriesValues(kSeries[6].mantissas);
  for (auto _ : state) {
    const networks::Tables tables(values, 2, 100);
    const ratios::Positions positions(tables);
    benchmark::DoNotOptimize(&positions);
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024;
}

BENCHMARK(BM_RatioTables)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_RatioSearch)
    ->Args({6, 2})
    ->Args({5, 4})
    ->Args({6, 4})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
