// Search plus listing, per target, for a spread of targets: for each series as the command line
// runs them, and for E24 as the window runs it (through its tables and sorted line lists); beside
// them the same work done the plain way (the step-by-step search and snprintf).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "ReferenceSearch.h"
#include "engine/WholeOhm.h"
#include "tables/Tables.h"
#include "engine/Listing.h"
#include "engine/Search.h"
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

// Runs work on each target, timing each on its own: the counters give the median and the largest
// of the per-target times, and per_target the mean over the spread.
template <class Work>
void PerTarget(benchmark::State& state, Work work) {
  using Clock = std::chrono::steady_clock;
  const std::vector<double> targets = Spread();
  std::vector<double> seconds(targets.size(), 0.0);
  for (auto _ : state) {
    for (std::size_t i = 0; i < targets.size(); ++i) {
      const Clock::time_point start = Clock::now();
      work(targets[i]);
      seconds[i] += std::chrono::duration<double>(Clock::now() - start).count();
    }
  }
  std::sort(seconds.begin(), seconds.end());
  const double runs = static_cast<double>(state.iterations());
  state.counters["median_us"] = seconds[seconds.size() / 2] / runs * 1e6;
  state.counters["max_us"] = seconds.back() / runs * 1e6;
  state.counters["per_target"] =
      benchmark::Counter(static_cast<double>(targets.size()),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// As ohmsift-cli lists a value: the search and its lines.
void BM_SearchAndListing(benchmark::State& state) {
  const engine::Series& series = engine::kSeries[state.range(0)];
  state.SetLabel(std::string(series.name));
  const engine::Sequences sequences(series.mantissas);
  const engine::Exclusions excluded(sequences);
  const engine::Columns columns(sequences);
  PerTarget(state, [&](double target) {
    const engine::SearchResult found = engine::Search(sequences, excluded, target, 15, 0.05);
    const engine::Listing listing = engine::List(sequences, columns, found);
    benchmark::DoNotOptimize(listing.lines[0].length);
  });
}

// As the window fills its lists.
void BM_WindowCalcSub(benchmark::State& state) {
  engine::InitTable();
  TStringList answers(true), used(true);
  PerTarget(state, [&](double target) {
    answers.Clear();
    used.Clear();
    engine::CalcSub(target, answers, used);
    benchmark::DoNotOptimize(answers.Count());
  });
}

void BM_PlainSearchAndSnprintf(benchmark::State& state) {
  TStringList answers(true);
  char line[256];
  PerTarget(state, [&](double target) {
    answers.Clear();
    const reference::Result r = reference::Search(engine::kE24, target, 15, 0.05, {});
    for (int k = 0; k < r.count; ++k) {
      const int n = std::snprintf(line, sizeof line, " %f  %8ld  %8ld  %8.3f",
                                  std::fabs(r.error[k] * 100), long{engine::WholeOhm(r.reg1[k])},
                                  long{engine::WholeOhm(r.reg2[k])}, r.value[k]);
      answers.Add(AnsiString(line, static_cast<std::size_t>(n)));
    }
    benchmark::DoNotOptimize(answers.Count());
  });
}

BENCHMARK(BM_SearchAndListing)->DenseRange(0, 6)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_WindowCalcSub)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PlainSearchAndSnprintf)->Repetitions(3)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
