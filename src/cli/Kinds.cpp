#include "cli/Kinds.h"

#include "cli/Locale.h"
#include "cli/Text.h"
#include "engine/Sequences.h"
#include "engine/Series.h"

#include <algorithm>

namespace cli {

std::string Kind::CaptionFormat() const {
  return Tr(N_("Results for %s"));
}

std::unique_ptr<Kind> MakeKind(const Options& options, std::string& problem) {
  // Each kind of search, and what makes it.
  constexpr std::pair<SearchKind, std::unique_ptr<Kind> (*)(const Options&, std::string&)>
      kMakers[] = {{kPairs, MakePairs}, {kNetworks, MakeNetworks}, {kRatios, MakeRatios}};
  for (const auto& [kind, make] : kMakers) {
    if (kind == options.kind) return make(options, problem);
  }
  return MakePairs(options, problem);
}

std::vector<double> Distinct(const std::optional<std::vector<ListValue>>& list) {
  std::vector<double> ohms;
  for (const ListValue& v : list.value_or(std::vector<ListValue>())) ohms.push_back(v.ohms);
  return engine::SortedDistinct(std::move(ohms));
}

std::string Names(const std::vector<const ListValue*>& values) {
  std::string names;
  for (const ListValue* v : values) {
    const std::string quoted = Quoted(v->text);
    names += (names.empty() ? "" : ", ") + quoted.substr(1, quoted.size() - 2);
  }
  return names;
}

std::vector<Parameter> SeriesParameters(const Options& options) {
  return {!options.Stock() ? Parameter::String("series", std::string(options.series.name))
                           : Parameter::Null("series"),
          Parameter::Number("tolerance_percent", options.tolerance.percent)};
}

std::vector<Parameter> ListParameters(const Options& options) {
  std::vector<Parameter> parameters;
  for (const auto& [key, list] :
       {std::pair{"without", &options.without}, {"only", &options.only}}) {
    if (*list) parameters.push_back(Parameter::Numbers(key, Distinct(*list), true));
  }
  return parameters;
}

std::vector<double> OfferedValues(const Options& options, std::string& problem) {
  const std::vector<double> only = Distinct(options.only), without = Distinct(options.without);
  const auto named = [](const std::vector<double>& list, double v) {
    return std::binary_search(list.begin(), list.end(), v);
  };
  std::vector<double> values;
  for (const double v : options.Stock() ? only : engine::SeriesValues(options.series.mantissas)) {
    if (v > 0 && (!options.only || named(only, v)) && !named(without, v) && InRange(options, v))
      values.push_back(v);
  }
  if (values.empty()) {
    problem =
        options.range
            ? Trf("--range %s leaves no value to build networks from",
                  Quoted(options.range->first.text + "-" + options.range->second.text).c_str())
            : Tr("--only and --without leave no value to build networks from");
  }
  return values;
}

std::vector<std::string> NotesOnValues(const Options& options) {
  static const std::vector<ListValue> kNone;
  const bool fromStock = options.Stock();
  const std::vector<double> held =
      fromStock ? Distinct(options.only) : engine::SeriesValues(options.series.mantissas);
  const auto holds = [&](double v) { return std::find(held.begin(), held.end(), v) != held.end(); };
  std::vector<const ListValue*> notHeld, notLeftOut;
  for (const ListValue& v : options.only && !fromStock ? *options.only : kNone)
    if (!holds(v.ohms)) notHeld.push_back(&v);
  for (const ListValue& v : options.without ? *options.without : kNone)
    if (!holds(v.ohms)) notLeftOut.push_back(&v);
  const std::string series(options.series.name);
  std::vector<std::string> notes;
  if (!notHeld.empty())
    notes.push_back(
        Trf("--only: not %s values, so not used: %s", series.c_str(), Names(notHeld).c_str()));
  if (!notLeftOut.empty())
    notes.push_back(fromStock ? Trf("--without: not among the --only values, so not left out: %s",
                                    Names(notLeftOut).c_str())
                              : Trf("--without: not %s values, so not left out: %s", series.c_str(),
                                    Names(notLeftOut).c_str()));
  return notes;
}

}  // namespace cli
