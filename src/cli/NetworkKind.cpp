// The network search: networks of up to four resistors in series and in parallel, of the series'
// values from 0.1 ohm to 10 megohms or of a stock list, for any resistance.
#include <algorithm>
#include <array>
#include <cmath>

#include "cli/Kinds.h"
#include "cli/Locale.h"
#include "cli/Text.h"
#include "engine/Arithmetic.h"

namespace cli {
namespace {

enum Field { kDeviation, kValue, kParts, kNetwork, kFields };
// Each line: the signed error, the value made, the number of resistors and the network, in
// columns wide enough for any error within 50 % and any value four gigohms make. The value shows
// the wanted value's six significant digits, and never fewer decimals than a pair's line.
constexpr TextColumn kText[] = {
    {kDeviation, TextColumn::kSignedFixed, 10, 6, 0},
    {kValue, TextColumn::kFixed, 14, -1},
    {kParts, TextColumn::kCount},
    {kNetwork, TextColumn::kNetwork},
};
constexpr DataColumn kCsv[] = {
    {kNetwork, "network"}, {kParts, "parts"}, {kValue, "value"}, {kDeviation, "deviation_percent"}};
constexpr DataColumn kJson[] = {{kNetwork, "text"},
                                {kParts, "parts"},
                                {kValue, "value"},
                                {kDeviation, "deviation_percent"},
                                {kNetwork, "tree", true}};
constexpr Layout kLayout{kFields, kText, kCsv, kJson, "networks"};

constexpr char kAccepted[] = N_(
    "a wanted value is a resistance from 0.01 Ω to 1 GΩ, in digits or as on a schematic, such as "
    "4700, 4k7, 12.5k or 0R5");

class Networks final : public Kind {
 public:
  Networks(const Options& options, std::vector<double> values)
      : options_(options),
        values_(std::move(values)),
        tables_(values_, options.parts, options.spread) {}

  const Layout& layout() const override { return kLayout; }

  const char* Heading() const override { return N_(" error (%)           value  n  network"); }

  std::vector<Parameter> Parameters() const override {
    std::vector<Parameter> parameters = SeriesParameters(options_);
    parameters.push_back(Parameter::Number("parts", options_.parts));
    parameters.push_back(Parameter::String("connect", std::string(ConnectName(Connection()))));
    parameters.push_back(std::isinf(options_.spread)
                             ? Parameter::Null("spread")
                             : Parameter::Number("spread", options_.spread));
    if (options_.range)
      parameters.push_back(
          Parameter::Numbers("range", {options_.range->first.ohms, options_.range->second.ohms}));
    for (Parameter& p : ListParameters(options_)) parameters.push_back(std::move(p));
    return parameters;
  }

  const char* Search(std::string_view text, Block& block) override {
    block.Clear();
    const std::optional<Resistance> wanted = ReadResistance(text);
    if (!wanted || !(wanted->ohms > 0)) return kAccepted;
    block.text = text;
    block.wanted = wanted->ohms;
    block.values = &values_;
    block.decimals = 3;
    for (const double limit : {100.0, 10.0, 1.0, 0.1}) block.decimals += wanted->ohms < limit;
    const std::span<engine::networks::Network> kept =
        std::span(found_).first(std::size_t(options_.count));
    const int count = engine::networks::Search(tables_, wanted->ohms, options_.tolerance.fraction,
                                               Connection(), kept);
    for (int k = 0; k < count; ++k) {
      const engine::networks::Network& network = kept[std::size_t(k)];
      block.networks.push_back(network);
      block.cells.insert(block.cells.end(), {{-engine::arith::Product(network.error, 100.0)},
                                             {network.value},
                                             {double(network.parts)},
                                             {0, k}});
    }
    return nullptr;
  }

  // The smallest network is the smallest value's parallel ones, the largest the largest's
  // series, as far as the connection allows.
  std::string Unfound(long unfound, long accepted) const override {
    using engine::networks::Connect;
    const double parts = options_.parts;
    return Trf(
        "no network within %s %% for %ld of %ld wanted values; these networks reach from %s Ω "
        "to %s Ω",
        Local(options_.tolerance.text).c_str(), unfound, accepted,
        Figure(values_.front() / (Connection() == Connect::kSeries ? 1 : parts)).c_str(),
        Figure(values_.back() * (Connection() == Connect::kParallel ? 1 : parts)).c_str());
  }

  std::vector<std::string> Notes() const override { return NotesOnValues(options_); }

 private:
  engine::networks::Connect Connection() const {
    return options_.connect.value_or(engine::networks::Connect::kAny);
  }

  const Options& options_;
  std::vector<double> values_;
  engine::networks::Tables tables_;
  std::array<engine::networks::Network, engine::networks::kMaxNetworks> found_;
};

}  // namespace

std::unique_ptr<Kind> MakeNetworks(const Options& options, std::string& problem) {
  std::vector<double> values = OfferedValues(options, problem);
  if (values.empty()) return nullptr;
  return std::make_unique<Networks>(options, std::move(values));
}

}  // namespace cli
