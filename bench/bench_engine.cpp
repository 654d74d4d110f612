// Search plus listing, per target, for a spread of targets; beside it the same work done the
// plain way (the step-by-step search and snprintf), to show what the engine's shortcuts buy.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "ReferenceSearch.h"
#include "engine/Engine.h"
#include "engine/Series.h"

namespace {

// Whole-number targets spread evenly in ratio from 101 to 999,999; past 478,947 none has a pair.
std::vector<double> Spread() {
  std::vector<double> targets;
  for (int i = 0; i < 200; ++i) {
    targets.push_back(std::floor(101.0 * std::pow(999999.0 / 101.0, i / 199.0)));
  }
  return targets;
}

void PerTarget(benchmark::State& state, std::size_t targets) {
  state.counters["per_target"] = benchmark::Counter(
      static_cast<double>(targets),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Each target is timed on its own; the counters give the median and the largest of the per-target
// times, and per_target the mean over the spread.
void BM_SearchAndListing(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  const std::vector<double> targets = Spread();
  std::vector<double> seconds(targets.size(), 0.0);
  engine::InitTable();
  TStringList answers(true);
  TStringList used(true);
  for (auto _ : state) {
    for (std::size_t i = 0; i < targets.size(); ++i) {
      const Clock::time_point start = Clock::now();
      answers.Clear();
      used.Clear();
      engine::CalcSub(targets[i], answers, used);
      benchmark::DoNotOptimize(answers.Count());
      seconds[i] += std::chrono::duration<double>(Clock::now() - start).count();
    }
  }
  std::sort(seconds.begin(), seconds.end());
  const double runs = static_cast<double>(state.iterations());
  state.counters["median_us"] = seconds[seconds.size() / 2] / runs * 1e6;
  state.counters["max_us"] = seconds.back() / runs * 1e6;
  PerTarget(state, targets.size());
}

void BM_SearchOnly(benchmark::State& state) {
  const std::vector<double> targets = Spread();
  engine::InitTable();
  for (auto _ : state) {
    for (const double target : targets) benchmark::DoNotOptimize(engine::OhmSift(15, target));
  }
  PerTarget(state, targets.size());
}

void BM_PlainSearchAndSnprintf(benchmark::State& state) {
  const std::vector<double> targets = Spread();
  engine::InitTable();
  TStringList answers(true);
  char line[256];
  for (auto _ : state) {
    for (const double target : targets) {
      answers.Clear();
      const reference::Result r = reference::Search(engine::kE24, target, 15, 0.05, {});
      for (int k = 0; k < r.count; ++k) {
        const int n = std::snprintf(line, sizeof line, " %f  %8ld  %8ld  %8.3f",
                                    std::fabs(r.error[k] * 100), long{engine::WholeOhm(r.reg1[k])},
                                    long{engine::WholeOhm(r.reg2[k])}, r.value[k]);
        answers.Add(AnsiString(line, static_cast<std::size_t>(n)));
      }
      benchmark::DoNotOptimize(answers.Count());
    }
  }
  PerTarget(state, targets.size());
}

BENCHMARK(BM_SearchAndListing)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_SearchOnly)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_PlainSearchAndSnprintf)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
