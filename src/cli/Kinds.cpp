#include "cli/Kinds.h"

#include "cli/Locale.h"
#include "cli/Text.h"
#include "engine/Sequences.h"

namespace cli {

const char* Kind::Caption() const {
  return N_("Results for %s");
}

std::unique_ptr<Kind> MakeKind(const Options& options, std::string& problem) {
  // Each kind of search, and what makes it.
  constexpr std::pair<SearchKind, std::unique_ptr<Kind> (*)(const Options&, std::string&)>
      kMakers[] = {{kPairs, MakePairs}, {kNetworks, MakeNetworks}};
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

}  // namespace cli
