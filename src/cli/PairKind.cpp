// The pair search, as the window runs it: pairs of a series or of a stock list, both resistors
// above the wanted value, with the values they need.
#include <algorithm>

#include "cli/Kinds.h"
#include "cli/Locale.h"
#include "cli/Text.h"
#include "engine/Arithmetic.h"
#include "engine/Listing.h"
#include "engine/Search.h"
#include "engine/Sequences.h"
#include "engine/Wanted.h"
#include "engine/WholeOhm.h"

namespace cli {
namespace {

enum Field { kR1, kR2, kValue, kDeviation, kFields };
// The window's line: " %f  %8ld  %8ld  %8.3f", the error field widened where one has two
// digits before the point.
constexpr TextColumn kText[] = {
    {kDeviation, TextColumn::kMagnitudeFixed, 0, 6, 1, 8},
    {kR1, TextColumn::kWholeOhms, 8},
    {kR2, TextColumn::kWholeOhms, 8},
    {kValue, TextColumn::kFixed, 8, 3},
};
constexpr DataColumn kCsv[] = {
    {kR1, "r1"}, {kR2, "r2"}, {kValue, "value"}, {kDeviation, "deviation_percent"}};
constexpr Layout kLayout{kFields, kText, kCsv, kCsv, "pairs"};

constexpr char kAccepted[] =
    N_("a wanted value is a whole number of ohms greater than 100 and less than 1000000, in digits "
       "or as on a schematic, such as 4700 or 4k7");
constexpr char kNeeded[] = N_("resistors needed");
constexpr char kNotOwned[] = N_("resistors not owned");

class Pairs final : public Kind {
 public:
  explicit Pairs(const Options& options)
      : options_(options),
        sequences_(options.Stock() ? engine::Sequences::Stock(Distinct(options.only))
                                   : engine::Sequences(options.series.mantissas)),
        excluded_(sequences_),
        columns_(sequences_) {
    if (options.without) excluded_.LeaveOut(Distinct(options.without));
    if (options.only && options.seriesGiven) excluded_.KeepOnly(Distinct(options.only));
    // The values not owned, once each by their whole ohms.
    for (const double v : Distinct(options.without)) {
      if (notOwned_.empty() || engine::WholeOhm(notOwned_.back()) != engine::WholeOhm(v))
        notOwned_.push_back(v);
    }
  }

  const Layout& layout() const override { return kLayout; }

  const char* Heading() const override { return N_("error (%)        R1        R2  parallel"); }

  std::vector<Parameter> Parameters() const override {
    std::vector<Parameter> parameters = SeriesParameters(options_);
    for (Parameter& p : ListParameters(options_)) parameters.push_back(std::move(p));
    return parameters;
  }

  const char* Search(std::string_view text, Block& block) override {
    block.Clear();
    const std::optional<Resistance> wanted = ReadResistance(text);
    if (!wanted || !wanted->whole || !engine::InWantedRange(wanted->ohms)) return kAccepted;
    block.text = text;
    block.wanted = wanted->ohms;
    const engine::SearchResult found = engine::Search(sequences_, excluded_, wanted->ohms,
                                                      options_.count, options_.tolerance.fraction);
    const engine::Listing listing = engine::List(sequences_, columns_, found, true, false);
    const std::vector<double>& nominal = sequences_.nominal;
    for (int k = 0; k < listing.lineCount; ++k) {
      const engine::Pair& pair = found.pairs[listing.order[k]];
      block.cells.insert(block.cells.end(), {{nominal[std::size_t(pair.first)]},
                                             {nominal[std::size_t(pair.second)]},
                                             {pair.value},
                                             {Deviation(pair.error)}});
    }
    Block::Section& needed = block.sections.emplace_back(Block::Section{kNeeded, "needed", {}});
    for (int i = 0; i < listing.usedCount; ++i)
      needed.values.push_back(nominal[std::size_t(listing.usedIndex[i])]);
    if (options_.without) block.sections.push_back({kNotOwned, "", notOwned_});
    return nullptr;
  }

  std::string Unfound(long unfound, long accepted) const override {
    // The least and the largest value two of the values make in parallel, as written: half the
    // smallest and half the largest that a pair can use.
    double least = 0, most = 0;
    for (int i = 0; i < sequences_.secondResistorValues; ++i) {
      if (excluded_[i]) continue;
      const double half = sequences_.nominal[std::size_t(i)] / 2;
      least = most == 0 ? half : std::min(least, half);
      most = std::max(most, half);
    }
    return Trf("no pair within %s %% for %ld of %ld wanted values",
               Local(options_.tolerance.text).c_str(), unfound, accepted) +
           (most > 0 ? Trf("; these pairs reach from %s Ω to %s Ω, with both resistors above the "
                           "wanted value (every parallel pair: --parts 2 --connect parallel "
                           "--spread any)",
                           Figure(least).c_str(), Figure(most).c_str())
                     : Tr("; the lists leave no value that a pair can use"));
  }

  // Values matched by whole ohms: --only's that the series does not hold, or holds only above the
  // largest second resistor; --without's that the values do not hold.
  std::vector<std::string> Notes() const override {
    static const std::vector<ListValue> kNone;
    const bool fromStock = options_.Stock();
    const auto find = [&](double ohms) -> long {
      const auto at =
          std::find(sequences_.whole.begin(), sequences_.whole.end(), engine::WholeOhm(ohms));
      return at == sequences_.whole.end() ? -1 : at - sequences_.whole.begin();
    };
    std::vector<const ListValue*> notHeld, tooLarge, notLeftOut;
    for (const ListValue& v : options_.only && !fromStock ? *options_.only : kNone) {
      const long at = find(v.ohms);
      (at < 0 ? notHeld : tooLarge).push_back(&v);
      if (at >= 0 && at < sequences_.secondResistorValues) tooLarge.pop_back();
    }
    for (const ListValue& v : options_.without ? *options_.without : kNone) {
      if (find(v.ohms) < 0) notLeftOut.push_back(&v);
    }
    const std::string series(options_.series.name);
    std::vector<std::string> notes;
    if (!notHeld.empty())
      notes.push_back(
          Trf("--only: not %s values, so not used: %s", series.c_str(), Names(notHeld).c_str()));
    if (!tooLarge.empty()) {
      const double top = sequences_.nominal[std::size_t(sequences_.secondResistorValues) - 1];
      notes.push_back(
          Trf("--only: above %s, the largest second resistor of a pair, so not used: %s",
              Schematic(top).c_str(), Names(tooLarge).c_str()));
    }
    if (!notLeftOut.empty())
      notes.push_back(fromStock ? Trf("--without: not among the --only values, so not left out: %s",
                                      Names(notLeftOut).c_str())
                                : Trf("--without: not %s values, so not left out: %s",
                                      series.c_str(), Names(notLeftOut).c_str()));
    return notes;
  }

 private:
  // (value - wanted) / wanted x 100 of a pair's error: the listing's percent with the sign of the
  // deviation.
  static double Deviation(double error) { return -engine::arith::Product(error, 100.0); }

  const Options& options_;
  engine::Sequences sequences_;
  engine::Exclusions excluded_;
  engine::Columns columns_;
  std::vector<double> notOwned_;
};

}  // namespace

std::unique_ptr<Kind> MakePairs(const Options& options, std::string&) {
  return std::make_unique<Pairs>(options);
}

}  // namespace cli
