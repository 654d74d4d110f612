// The ratio search: the two resistors of a voltage divider, of a regulator's feedback or adjust
// pin, or of a gain, each a resistor or a pair, with the worst case of their tolerances.
#include <algorithm>
#include <array>
#include <cmath>

#include "cli/Kinds.h"
#include "cli/Locale.h"
#include "cli/Text.h"
#include "engine/Arithmetic.h"

namespace cli {
namespace {

using engine::ratios::Formula;

enum Field {
  kDeviation,
  kValue,
  kLow,
  kHigh,
  kLowPercent,
  kHighPercent,
  kR1,
  kR2,
  kParts,
  kTotal,
  kFields
};
// Each line: the signed error, the output, the worst case as outputs and as deviations from the
// wanted value, R1 and R2 as written, the number of resistors and R1 + R2; a column wider than
// usual in a block widens in every line of it.
constexpr TextColumn kText[] = {
    {kDeviation, TextColumn::kSignedFixed, 10, 6, 0},
    {kValue, TextColumn::kFixed, 10, -1, 2, 10},
    {kLow, TextColumn::kFixed, 10, -1, 2, 10},
    {kHigh, TextColumn::kFixed, 10, -1, 2, 10},
    {kLowPercent, TextColumn::kSignedFixed, 7, 3, 2, 7},
    {kHighPercent, TextColumn::kSignedFixed, 7, 3, 1, 7},
    {kR1, TextColumn::kNetwork, 14, 0, 2, 14},
    {kR2, TextColumn::kNetwork, 14, 0, 2, 14},
    {kParts, TextColumn::kCount, 1},
    {kTotal, TextColumn::kSchematic, 7, 0, 2, 7},
};
constexpr DataColumn kCsv[] = {{kR1, "r1"},
                               {kR2, "r2"},
                               {kParts, "parts"},
                               {kValue, "value"},
                               {kDeviation, "deviation_percent"},
                               {kLow, "low"},
                               {kHigh, "high"},
                               {kTotal, "total"}};
constexpr DataColumn kJson[] = {{kR1, "r1", true},
                                {kR2, "r2", true},
                                {kValue, "value"},
                                {kDeviation, "deviation_percent"},
                                {kLow, "low"},
                                {kHigh, "high"},
                                {kLowPercent, "low_percent"},
                                {kHighPercent, "high_percent"},
                                {kTotal, "total"},
                                {kParts, "parts"}};
constexpr Layout kLayout{kFields, kText, kCsv, kJson, "results"};

constexpr std::string_view kFormulaNames[] = {"divider", "feedback", "adjust", "ratio"};

class Ratios final : public Kind {
 public:
  Ratios(const Options& options, std::vector<double> values)
      : options_(options),
        values_(std::move(values)),
        tables_(values_, options.parts >= 3 ? 2 : 1, options.spread),
        positions_(tables_) {
    problem_.formula = *options.formula;
    if (options.source) problem_.source = options.source->range;
    if (options.current) problem_.current = options.current->range;
    problem_.totalLow = options.total.first.ohms;
    problem_.totalHigh = options.total.second.ohms;
    // By default the series' own; a stock list's parts taken as 1 % ones.
    problem_.partTolerance =
        options.partTolerance.value_or(options.Stock() ? 1 : options.series.tolerancePercent) / 100;
    problem_.parts = options.parts > 0 ? options.parts : 2;
    problem_.connect = options.connect.value_or(engine::networks::Connect::kAny);
    if (options.within) {
      problem_.within = true;
      problem_.withinLow = options.within->first;
      problem_.withinHigh = options.within->second;
    }
  }

  const Layout& layout() const override { return kLayout; }

  // The formula in words.
  std::string CaptionFormat() const override {
    const std::string source = Local(Source(options_.source, "V")),
                      current = Local(Source(options_.current, "A"));
    switch (problem_.formula) {
      case Formula::kDivider:
        return Trf("%%s out of a divider fed by %s", source.c_str());
      case Formula::kFeedback:
        return options_.current
                   ? Trf("%%s out of a regulator with %s at its feedback pin and "
                         "%s into it",
                         source.c_str(), current.c_str())
                   : Trf("%%s out of a regulator with %s at its feedback pin", source.c_str());
      case Formula::kAdjust:
        return options_.current ? Trf("%%s out of a regulator with %s from its output to its "
                                      "adjust pin and %s out of that",
                                      source.c_str(), current.c_str())
                                : Trf("%%s out of a regulator with %s from its output to its "
                                      "adjust pin",
                                      source.c_str());
      case Formula::kRatio:
        break;
    }
    return Tr(N_("R1 / R2 = %s"));
  }

  const char* Heading() const override {
    return N_(
        " error (%)      output         low        high    low %  high %              R1"
        "              R2  n  R1 + R2");
  }

  std::vector<Parameter> Parameters() const override {
    std::vector<Parameter> p;
    p.push_back(Parameter::String("formula", std::string(kFormulaNames[int(problem_.formula)])));
    const auto range = [](const engine::ratios::Range& r) {
      return std::vector<double>{r.min, r.typ, r.max};
    };
    if (problem_.formula != Formula::kRatio)
      p.push_back(Parameter::Numbers("source", range(problem_.source)));
    if (problem_.formula == Formula::kFeedback || problem_.formula == Formula::kAdjust)
      p.push_back(Parameter::Numbers("pin_current", range(problem_.current)));
    for (Parameter& s : SeriesParameters(options_)) p.push_back(std::move(s));
    p.push_back(Parameter::Number("part_tolerance_percent", problem_.partTolerance * 100));
    p.push_back(Parameter::Number("parts", problem_.parts));
    p.push_back(Parameter::String("connect", std::string(ConnectName(problem_.connect))));
    p.push_back(std::isinf(options_.spread) ? Parameter::Null("spread")
                                            : Parameter::Number("spread", options_.spread));
    p.push_back(Parameter::Numbers("total_range", {problem_.totalLow, problem_.totalHigh}));
    if (problem_.within)
      p.push_back(Parameter::Numbers("within", {problem_.withinLow, problem_.withinHigh}));
    if (options_.range)
      p.push_back(
          Parameter::Numbers("range", {options_.range->first.ohms, options_.range->second.ohms}));
    for (Parameter& l : ListParameters(options_)) p.push_back(std::move(l));
    return p;
  }

  const char* Search(std::string_view text, Block& block) override {
    block.Clear();
    const bool ratio = problem_.formula == Formula::kRatio;
    const std::optional<double> wanted = ReadQuantity(text, ratio ? '\0' : 'V');
    if (!wanted)
      return ratio ? N_("a wanted value is a ratio R1 / R2 from 1p to 1G, in decimal, such as 9 or "
                        "0.5")
                   : N_("a wanted value is a voltage from 1p to 1G in size, in decimal, with an SI "
                        "prefix or as on a schematic, such as 3.3, -5, 500m or 3V3");
    switch (engine::ratios::Reachable(problem_, *wanted)) {
      case engine::ratios::Reach::kBeyondSource:
        return N_("a divider's output lies between 0 and its input VIN, on the same side of 0");
      case engine::ratios::Reach::kNotBeyondReference:
        return N_("a regulator's output lies beyond its reference VREF, on the same side of 0");
      case engine::ratios::Reach::kNotPositive:
        return N_("a ratio R1 / R2 is above 0");
      case engine::ratios::Reach::kReachable:
        break;
    }
    block.text = text;
    block.wanted = *wanted;
    block.values = &values_;
    block.decimals = 3;
    for (const double limit : {100.0, 10.0, 1.0, 0.1}) block.decimals += std::fabs(*wanted) < limit;
    const std::span<engine::ratios::Result> kept =
        std::span(found_).first(std::size_t(options_.count));
    const int count =
        engine::ratios::Search(positions_, problem_, *wanted, options_.tolerance.fraction, kept);
    const auto percent = [&](double x) {
      return -engine::arith::Product(engine::arith::RelativeError(*wanted, x), 100.0);
    };
    for (int k = 0; k < count; ++k) {
      const engine::ratios::Result& r = kept[std::size_t(k)];
      block.networks.push_back(r.r1);
      block.networks.push_back(r.r2);
      block.cells.insert(block.cells.end(), {{-engine::arith::Product(r.error, 100.0)},
                                             {r.value},
                                             {r.low},
                                             {r.high},
                                             {percent(r.low)},
                                             {percent(r.high)},
                                             {0, 2 * k},
                                             {0, 2 * k + 1},
                                             {double(r.parts)},
                                             {r.total}});
    }
    return nullptr;
  }

  std::string Unfound(long unfound, long accepted) const override {
    if (problem_.within)
      return Trf(
          "no result within %s %% whose worst case lies from %s to %s for %ld of %ld wanted "
          "values, with R1 + R2 from %s Ω to %s Ω",
          Local(options_.tolerance.text).c_str(), Figure(problem_.withinLow).c_str(),
          Figure(problem_.withinHigh).c_str(), unfound, accepted, Figure(problem_.totalLow).c_str(),
          Figure(problem_.totalHigh).c_str());
    return Trf(
        "no result within %s %% for %ld of %ld wanted values, with R1 + R2 from %s Ω to "
        "%s Ω",
        Local(options_.tolerance.text).c_str(), unfound, accepted,
        Figure(problem_.totalLow).c_str(), Figure(problem_.totalHigh).c_str());
  }

  std::vector<std::string> Notes() const override { return NotesOnValues(options_); }

 private:
  // A source or a current as the caption gives it: its typical value, and its least and
  // largest where they differ.
  static std::string Source(const std::optional<Quantity>& quantity, const char* unit) {
    if (!quantity) return "";
    const engine::ratios::Range& r = quantity->range;
    // With the prefix of its typical value: "12 V", "800 mV (788 to 812)", "50 µA"; of its
    // largest where the typical one is 0 ("0 µA (0 to 1)").
    const int power =
        PrefixPower(r.typ != 0 ? r.typ : std::max(std::fabs(r.min), std::fabs(r.max)));
    std::string text = Prefixed(r.typ, power) + unit;
    if (r.min != r.max) {
      const double scale = std::pow(10.0, power);
      text += " (" + Trf("%s to %s", Figure(r.min / scale).c_str(), Figure(r.max / scale).c_str()) +
              ")";
    }
    return text;
  }

  const Options& options_;
  std::vector<double> values_;
  engine::networks::Tables tables_;
  engine::ratios::Positions positions_;
  engine::ratios::Problem problem_;
  std::array<engine::ratios::Result, engine::ratios::kMaxResults> found_;
};

}  // namespace

std::unique_ptr<Kind> MakeRatios(const Options& options, std::string& problem) {
  std::vector<double> values = OfferedValues(options, problem);
  if (values.empty()) return nullptr;
  return std::make_unique<Ratios>(options, std::move(values));
}

}  // namespace cli
