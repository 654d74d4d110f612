#include "cli/Cli.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "Version.h"
#include "cli/Lines.h"
#include "cli/Locale.h"
#include "cli/Options.h"
#include "cli/Text.h"
#include "cli/Writers.h"
#include "engine/Arithmetic.h"
#include "engine/Wanted.h"
#include "engine/WholeOhm.h"

namespace cli {
namespace {

// The reasons a wanted text is refused; in English in CSV and JSON, which never change with the
// locale.
constexpr const char kAccepted[] =
    N_("a wanted value is a whole number of ohms greater than 100 and less than 1000000, in digits "
       "or as on a schematic, such as 4700 or 4k7");
constexpr const char kResistanceAccepted[] = N_(
    "a wanted value is a resistance from 0.01 Ω to 1 GΩ, in digits or as on a schematic, such as "
    "4700, 4k7, 12.5k or 0R5");
constexpr const char kLongLine[] = N_("a line holds at most 65536 bytes");
static_assert(kLongestLine == 65536);

// The values of a list, ascending, once each.
std::vector<double> Distinct(const std::optional<std::vector<ListValue>>& list) {
  std::vector<double> ohms;
  for (const ListValue& v : list.value_or(std::vector<ListValue>())) ohms.push_back(v.ohms);
  return engine::SortedDistinct(std::move(ohms));
}

const engine::Series& SeriesOf(const Options& options) {
  return options.series ? *options.series : engine::kDefaultSeries;
}

// The pair search's values, and those it leaves out, as the options say.
struct Values {
  explicit Values(const Options& options)
      : sequences(options.only && !options.series ? engine::Sequences::Stock(Distinct(options.only))
                                                  : engine::Sequences(SeriesOf(options).mantissas)),
        excluded(sequences),
        columns(sequences) {
    if (options.without) excluded.LeaveOut(Distinct(options.without));
    if (options.only && options.series) excluded.KeepOnly(Distinct(options.only));
  }
  // The least and the largest value two of the values make in parallel, as written: half the
  // smallest and half the largest that a pair can use; nothing without such a value.
  std::optional<std::pair<double, double>> Reach() const {
    std::optional<std::pair<double, double>> reach;
    for (int i = 0; i < sequences.secondResistorValues; ++i) {
      if (excluded[i]) continue;
      const double half = sequences.nominal[std::size_t(i)] / 2;
      reach = reach ? std::pair{std::min(reach->first, half), std::max(reach->second, half)}
                    : std::pair{half, half};
    }
    return reach;
  }

  engine::Sequences sequences;
  engine::Exclusions excluded;
  engine::Columns columns;
};

// The values a network search builds from: the series' values from 0.1 ohm to 10 megohms, each
// the double nearest its decimal, or the stock list's, less those the lists name exactly, inside
// the range.
std::vector<double> NetworkValues(const Options& options) {
  std::vector<double> values;
  if (options.parts == 0) return values;
  const std::vector<double> only = Distinct(options.only), without = Distinct(options.without);
  const auto named = [](const std::vector<double>& list, double v) {
    return std::binary_search(list.begin(), list.end(), v);
  };
  for (const double v :
       options.only && !options.series ? only : engine::SeriesValues(SeriesOf(options).mantissas)) {
    if (v > 0 && (!options.only || named(only, v)) && !named(without, v) && InRange(options, v))
      values.push_back(v);
  }
  return values;
}

// The names of the values of a list, as written, joined by commas.
std::string Names(const std::vector<const ListValue*>& values) {
  std::string names;
  for (const ListValue* v : values) {
    const std::string quoted = Quoted(v->text);
    names += (names.empty() ? "" : ", ") + quoted.substr(1, quoted.size() - 2);
  }
  return names;
}

// Notes on the lists' values that the search cannot use as asked: values the series does not hold
// (or, for a stock list, values --without names that it does not hold), and, for pairs, series
// values above the largest second resistor.
void NoteUnused(const Options& options, const Values& values, std::FILE* err) {
  const engine::Sequences& sequences = values.sequences;
  const bool networks = options.parts > 0;
  const std::vector<double> seriesValues =
      networks ? engine::SeriesValues(SeriesOf(options).mantissas) : std::vector<double>();
  const std::vector<double> stock = Distinct(options.only);
  const bool fromStock = options.only && !options.series;
  // The index of the first series or stock value that the value names, or -1: for networks
  // exactly, for pairs by whole ohms.
  const auto find = [&](double ohms) -> long {
    if (networks) {
      const std::vector<double>& held = fromStock ? stock : seriesValues;
      const auto at = std::find(held.begin(), held.end(), ohms);
      return at == held.end() ? -1 : at - held.begin();
    }
    const auto at =
        std::find(sequences.whole.begin(), sequences.whole.end(), engine::WholeOhm(ohms));
    return at == sequences.whole.end() ? -1 : at - sequences.whole.begin();
  };
  const auto note = [err](const std::string& text) {
    if (!text.empty()) std::fprintf(err, "ohmsift-cli: %s\n", text.c_str());
  };
  const std::string series(SeriesOf(options).name);
  static const std::vector<ListValue> kNone;
  std::vector<const ListValue*> notHeld, tooLarge, notLeftOut;
  for (const ListValue& v : options.only ? *options.only : kNone) {
    if (fromStock) continue;
    const long at = find(v.ohms);
    if (at < 0) notHeld.push_back(&v);
    if (at >= 0 && !networks && at >= sequences.secondResistorValues) tooLarge.push_back(&v);
  }
  for (const ListValue& v : options.without ? *options.without : kNone) {
    if (find(v.ohms) < 0) notLeftOut.push_back(&v);
  }
  if (!notHeld.empty())
    note(Trf("--only: not %s values, so not used: %s", series.c_str(), Names(notHeld).c_str()));
  if (!tooLarge.empty()) {
    const double top = sequences.nominal[std::size_t(sequences.secondResistorValues) - 1];
    note(Trf("--only: above %s, the largest second resistor of a pair, so not used: %s",
             Schematic(top).c_str(), Names(tooLarge).c_str()));
  }
  if (!notLeftOut.empty()) {
    note(fromStock ? Trf("--without: not among the --only values, so not left out: %s",
                         Names(notLeftOut).c_str())
                   : Trf("--without: not %s values, so not left out: %s", series.c_str(),
                         Names(notLeftOut).c_str()));
  }
}

class Lister {
 public:
  Lister(const Options& options, const Values& values, const std::vector<double>& networkValues,
         std::FILE* out, std::FILE* err)
      : options_(options),
        values_(values),
        networkValues_(networkValues),
        setup_{options, values.sequences, Distinct(options.only), Distinct(options.without),
               networkValues},
        writer_(MakeWriter(setup_, out)),
        out_(out),
        err_(err) {
    if (options.parts > 0)
      tables_ =
          std::make_unique<engine::networks::Tables>(networkValues, options.parts, options.spread);
  }

  // Lists one wanted text; false when it was refused. line numbers its origin in messages.
  bool List(std::string_view text, long line) {
    const std::optional<Resistance> wanted = ReadResistance(text);
    if (tables_) {
      if (!wanted || !(wanted->ohms > 0)) return Refuse(text, line, kResistanceAccepted);
      const std::span<engine::networks::Network> kept =
          std::span(networks_).first(std::size_t(options_.count));
      const int found = engine::networks::Search(
          *tables_, wanted->ohms, options_.tolerance.fraction,
          options_.connect.value_or(engine::networks::Connect::kAny), kept);
      writer_->Networks(text, wanted->ohms, kept.first(std::size_t(found)));
      ++accepted_;
      unfound_ += found == 0;
      return true;
    }
    if (!wanted || !wanted->whole || !engine::InWantedRange(wanted->ohms))
      return Refuse(text, line, kAccepted);
    const engine::SearchResult found =
        engine::Search(values_.sequences, values_.excluded, wanted->ohms, options_.count,
                       options_.tolerance.fraction);
    const engine::Listing listing = engine::List(values_.sequences, values_.columns, found, true);
    writer_->Listed(text, wanted->ohms, found, listing);
    ++accepted_;
    unfound_ += found.count == 0;
    return true;
  }

  // Names a wanted text that is refused, and why; false.
  bool Refuse(std::string_view text, long line, const char* reason) {
    if (reason != kLongLine && text.find(' ') != text.npos) reason = kBlankInside;
    writer_->Flush();  // keep the messages in step with the output before them
    const std::string quoted = Quoted(text);
    const std::string said =
        line > 0 ? Trf("line %ld: refused %s: %s", line, quoted.c_str(), Tr(reason).c_str())
                 : Trf("refused %s: %s", quoted.c_str(), Tr(reason).c_str());
    std::fprintf(err_, "ohmsift-cli: %s\n", said.c_str());
    writer_->Refused(text, reason);
    return false;
  }

  // Says how many values found nothing, and what the values can reach; the errno of a failed
  // write, or 0.
  int Finish() {
    std::string said;
    const std::string tolerance = Local(options_.tolerance.text);
    if (unfound_ > 0 && tables_) {
      // The smallest network is the smallest value's parallel ones, the largest the largest's
      // series, as far as the connection allows.
      using engine::networks::Connect;
      const Connect connect = options_.connect.value_or(Connect::kAny);
      const double parts = options_.parts;
      said = Trf(
          "no network within %s %% for %ld of %ld wanted values; these networks reach from %s Ω "
          "to %s Ω",
          tolerance.c_str(), unfound_, accepted_,
          Figure(networkValues_.front() / (connect == Connect::kSeries ? 1 : parts)).c_str(),
          Figure(networkValues_.back() * (connect == Connect::kParallel ? 1 : parts)).c_str());
    } else if (unfound_ > 0) {
      const auto reach = values_.Reach();
      said = Trf("no pair within %s %% for %ld of %ld wanted values", tolerance.c_str(), unfound_,
                 accepted_) +
             (reach ? Trf("; these pairs reach from %s Ω to %s Ω, with both resistors above the "
                          "wanted value (every parallel pair: --parts 2 --connect parallel --spread any)",
                          Figure(reach->first).c_str(), Figure(reach->second).c_str())
                    : Tr("; the lists leave no value that a pair can use"));
    }
    if (!said.empty()) {
      writer_->Flush();
      std::fprintf(err_, "ohmsift-cli: %s\n", said.c_str());
    }
    writer_->Flush();
    return writer_->Failure() != 0 ? writer_->Failure() : (std::ferror(out_) ? EIO : 0);
  }

 private:
  const Options& options_;
  const Values& values_;
  const std::vector<double>& networkValues_;
  Setup setup_;
  std::unique_ptr<Writer> writer_;
  std::unique_ptr<engine::networks::Tables> tables_;
  std::array<engine::networks::Network, engine::networks::kMaxNetworks> networks_;
  std::FILE* out_;
  std::FILE* err_;
  long accepted_ = 0, unfound_ = 0;
};

int OutputFailed(std::FILE* err, int failure) {
  std::fprintf(err, "ohmsift-cli: %s\n",
               Trf("the output could not be written: %s", std::strerror(failure)).c_str());
  return kOutputFailed;
}

int UsageError(std::FILE* err, const std::string& problem) {
  std::fprintf(err, "ohmsift-cli: %s\n%s\n", problem.c_str(),
               Tr("Try 'ohmsift-cli --help' for more information.").c_str());
  return kUsageError;
}

}  // namespace

int Run(int argc, char** argv, std::FILE* in, std::FILE* out, std::FILE* err) {
  Options options;
  std::string problem;
  if (!ParseArguments(argc, argv, options, problem)) return UsageError(err, problem);
  if (options.help || options.version) {
    const std::string text =
        options.help ? Usage() : std::string("ohmsift-cli ") + kVersion + "\n" + kLicence;
    if (std::fputs(text.c_str(), out) < 0 || std::fflush(out) != 0) return OutputFailed(err, errno);
    return kAllAccepted;
  }
  if (options.only && !options.series &&
      Distinct(options.only).size() > std::size_t{engine::kMaxValues})
    return UsageError(err, Trf("--only: at most %d different values", engine::kMaxValues));
  // A sweep writes hundreds of megabytes: in large blocks, but to a terminal line by line, so
  // that a value typed there is answered at once.
  const int outFd = fileno(out);
  if (outFd < 0 || !isatty(outFd)) std::setvbuf(out, nullptr, _IOFBF, 1 << 17);
  const Values values(options);
  const std::vector<double> networkValues = NetworkValues(options);
  if (options.parts > 0 && networkValues.empty()) {
    return UsageError(
        err, options.range
                 ? Trf("--range %s leaves no value to build networks from",
                       Quoted(options.range->first.text + "-" + options.range->second.text).c_str())
                 : Tr("--only and --without leave no value to build networks from"));
  }
  NoteUnused(options, values, err);
  Lister lister(options, values, networkValues, out, err);
  bool allAccepted = true;
  int readFailure = 0;
  bool utf16 = false;
  if (options.wanted.empty()) {
    // Standard input as a list file holds values: items of lines, comments, empty lines.
    readFailure = ReadLines(in, [&](std::string_view line, long number, bool cut) {
      if (LooksUtf16(line, number)) {
        utf16 = true;
        return false;
      }
      if (cut) {
        allAccepted = lister.Refuse(line, number, kLongLine) && allAccepted;
        return true;
      }
      ForItems(line, true, [&](std::string_view item) {
        allAccepted = lister.List(item, number) && allAccepted;
        return true;
      });
      return true;
    });
  } else {
    for (const std::string_view text : options.wanted) {
      allAccepted = lister.List(text, 0) && allAccepted;
    }
  }
  const int failure = lister.Finish();
  if (failure != 0) return OutputFailed(err, failure);
  if (readFailure != 0 || utf16) {
    std::fprintf(err, "ohmsift-cli: %s\n",
                 utf16 ? Tr("standard input is in UTF-16, not UTF-8: give it as UTF-8 text").c_str()
                       : Trf("cannot read standard input: %s", std::strerror(readFailure)).c_str());
    return kUsageError;
  }
  return allAccepted ? kAllAccepted : kSomeRefused;
}

}  // namespace cli
