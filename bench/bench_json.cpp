// What writing JSON Lines through nlohmann-json would cost against ohmsift-cli's own writer: the
// E24 pair search's every third whole target (as the JSON sweep digest has it), 100 pairs each,
// rendered both ways from the same blocks. The figure stands beside the hand writer.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/Kinds.h"
#include "cli/Writers.h"

namespace {

struct Run {
  Run() {
    std::vector<std::string> args = {"ohmsift-cli", "--format", "json", "--count", "100"};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    std::string problem;
    cli::ParseArguments(int(argv.size()), argv.data(), options, problem);
    kind = cli::MakeKind(options, problem);
    for (int target = 101; target < 1000000; target += 3) targets.push_back(std::to_string(target));
  }
  cli::Options options;
  std::unique_ptr<cli::Kind> kind;
  std::vector<std::string> targets;
};

// The whole sweep, searched and written; by hand or through the library.
void BM_JsonSweep(benchmark::State& state) {
  static Run run;
  const bool library = state.range(0) != 0;
  state.SetLabel(library ? "nlohmann-json" : "by hand");
  std::FILE* null = std::fopen("/dev/null", "w");
  const std::unique_ptr<cli::Writer> writer = cli::MakeWriter(cli::Format::kJson, *run.kind, null);
  const cli::Layout& layout = run.kind->layout();
  cli::Block block;
  for (auto _ : state) {
    for (const std::string& text : run.targets) {
      run.kind->Search(text, block);
      if (!library) {
        writer->Listed(block);
        continue;
      }
      nlohmann::ordered_json object;
      object["wanted"] = block.wanted;
      for (const cli::Parameter& p : run.kind->Parameters()) {
        if (p.type == cli::Parameter::kString) object[std::string(p.key)] = p.text;
        if (p.type == cli::Parameter::kNumber) object[std::string(p.key)] = p.number;
      }
      nlohmann::ordered_json& rows = object[std::string(layout.rows)] = nlohmann::json::array();
      for (std::size_t r = 0; r < block.cells.size() / std::size_t(layout.fields); ++r) {
        nlohmann::ordered_json row;
        for (const cli::DataColumn& c : layout.json)
          row[std::string(c.key)] =
              block.cells[r * std::size_t(layout.fields) + std::size_t(c.field)].number;
        rows.push_back(std::move(row));
      }
      for (const cli::Block::Section& s : block.sections) {
        if (!s.key.empty()) object[std::string(s.key)] = s.values;
      }
      const std::string line = object.dump() + "\n";
      std::fwrite(line.data(), 1, line.size(), null);
    }
  }
  std::fclose(null);
  state.counters["sweep_s"] = benchmark::Counter(
      1, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_JsonSweep)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
