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
#include "cli/Options.h"
#include "cli/Writers.h"
#include "engine/Arithmetic.h"
#include "engine/Wanted.h"
#include "engine/WholeOhm.h"

namespace cli {
namespace {

constexpr const char kUsage[] =
    "Usage: ohmsift-cli [OPTION]... [WANTED]...\n"
    "\n"
    "Finds the pairs of standard resistors that, in parallel, come closest to each WANTED value\n"
    "(a whole number of ohms, greater than 100 and less than 1000000) and lists the best of them\n"
    "with their errors and the resistor values they need, best first. With no WANTED, reads the\n"
    "values from standard input, one per line. E24 pairs within 5 % reach at most 455000 ohms,\n"
    "so nothing above about 479000 is found with the defaults.\n"
    "\n"
    "  --series NAME        E3, E6, E12, E24 (the default), E48, E96 or E192\n"
    "                         --series E96 2200\n"
    "  --tolerance PERCENT  keep pairs within PERCENT % of the wanted value, more than 0 and at\n"
    "                       most 50 (default 5)            --tolerance 1 4700\n"
    "  --count N            keep the N best pairs, 1 to 100 (default 15)    --count 40 4700\n"
    "  --only LIST          use only these values, your stock: without --series exactly these,\n"
    "                       with it the series' values they name   --only @drawer.txt 4700\n"
    "  --without LIST       leave these values out (it wins over --only)   --without 8200,5k1 "
    "4700\n"
    "  --format FORMAT      text (the default: as the window shows it), csv or json (JSON Lines)\n"
    "                         --format csv 4700 1000 > pairs.csv\n"
    "  --parts N            instead of pairs, networks of up to N resistors (1 to 4) in series\n"
    "                       and in parallel, best first            --parts 3 4k7\n"
    "  --connect HOW        with --parts: series, parallel or any (the default)\n"
    "                         --parts 2 --connect parallel 3k\n"
    "  --range LOW-HIGH     with --parts: only values from LOW to HIGH, both included\n"
    "                         --parts 3 --range 10R-1M 12.5k\n"
    "  -h, --help           show this help and exit\n"
    "  --version            show the version and exit\n"
    "  --                   end of options; every later argument is a WANTED value\n"
    "\n"
    "A LIST is values separated by commas, or @FILE: a file of values, one per line or separated\n"
    "by commas, where blank lines and lines starting with # are skipped. A value is a resistance\n"
    "from 0.01 ohm to 1 gigohm (or 0), in digits or as on a schematic: 4700, 4.7k, 4k7, 0R22,\n"
    "1M, 10M. Names of series and formats may be written in any case. Each option may be given\n"
    "once, as --option VALUE or --option=VALUE.\n"
    "\n"
    "With --parts, a WANTED value is any resistance from 0.01 ohm to 1 gigohm written as a LIST\n"
    "value is (4700, 4k7, 12.5k, 0R5), and the networks are built from the series' values from\n"
    "1 ohm to 10 megohms (or the --only values), less --without; each is written with + for\n"
    "series and || for parallel: 4k7 + (10k || 22k).\n"
    "\n"
    "Exit status: 0 when every value was accepted, 1 when one or more were refused,\n"
    "2 for a usage error or input that cannot be read, 3 when the output could not be written.\n"
    "\n"
    "See man ohmsift-cli for more.\n";

constexpr const char kAccepted[] =
    "a wanted value is a whole number of ohms written in digits only, greater than 100 and less "
    "than 1000000";
constexpr const char kResistanceAccepted[] =
    "a wanted value is a resistance from 0.01 Ω to 1 GΩ, in digits or as on a schematic, such as "
    "4700, 4k7, 12.5k or 0R5";

constexpr const char kLongLine[] = "a line holds at most 65536 bytes";
static_assert(kLongestLine == 65536);

// The search's values, and those it leaves out, as the options say.
struct Values {
  explicit Values(const Options& options)
      : sequences(
            options.only && !options.series
                ? engine::Sequences::Stock(Distinct(options.only))
                : engine::Sequences(options.series.value_or(engine::kDefaultSeries).mantissas)),
        excluded(sequences),
        columns(sequences) {
    if (options.without) excluded.LeaveOut(Distinct(options.without));
    if (options.only && options.series) excluded.KeepOnly(Distinct(options.only));
  }
  static std::vector<double> Distinct(const std::optional<std::vector<ListValue>>& list) {
    std::vector<double> ohms;
    for (const ListValue& v : list.value_or(std::vector<ListValue>())) ohms.push_back(v.ohms);
    std::sort(ohms.begin(), ohms.end());
    ohms.erase(std::unique(ohms.begin(), ohms.end()), ohms.end());
    return ohms;
  }
  // The largest value two of the values make in parallel, as written (half the largest), or 0.
  double Reach() const {
    for (int i = sequences.secondResistorValues - 1; i >= 0; --i) {
      if (!excluded[i]) return sequences.nominal[std::size_t(i)] / 2;
    }
    return 0;
  }

  engine::Sequences sequences;
  engine::Exclusions excluded;
  engine::Columns columns;
};

// The values a network search builds from: the series' values from 1 ohm to 10 megohms, or the
// stock list's, less those the lists leave out, inside the range; exact and as written.
struct NetworkValues {
  NetworkValues(const Options& options, const Values& values) {
    if (options.parts == 0) return;
    const engine::Sequences& sequences = values.sequences;
    for (int i = 0; i < sequences.firstResistorValues; ++i) {
      if (!values.excluded[i])
        Add(options, sequences.values[std::size_t(i)], sequences.nominal[std::size_t(i)]);
    }
    // A series' decades end with the megohms' mantissas; 10 megohms closes them, as a network
    // may well need a value that large.
    const auto named = [](const std::optional<std::vector<ListValue>>& list) {
      return list && std::any_of(list->begin(), list->end(), [](const ListValue& v) {
               return engine::WholeOhm(v.ohms) == engine::WholeOhm(kTop);
             });
    };
    if ((!options.only || options.series) && !named(options.without) &&
        (!options.only || named(options.only)))
      Add(options, kTop, kTop);
  }
  void Add(const Options& options, double value, double written) {
    if (!InRange(options, written)) return;
    exact.push_back(value);
    nominal.push_back(written);
  }

  static constexpr double kTop = 1e7;
  std::vector<double> exact, nominal;
};

class Lister {
 public:
  Lister(const Options& options, const Values& values, const NetworkValues& networkValues,
         std::FILE* out, std::FILE* err)
      : options_(options),
        values_(values),
        networkValues_(networkValues),
        setup_{options, values.sequences, Values::Distinct(options.only),
               Values::Distinct(options.without), networkValues.nominal},
        writer_(MakeWriter(setup_, out)),
        tolerance_(ToleranceFraction(options)),
        out_(out),
        err_(err) {
    if (options.parts > 0)
      tables_ = std::make_unique<engine::networks::Tables>(networkValues.exact, options.parts);
  }

  // Lists one wanted text; false when it was refused. where names its origin in messages.
  bool List(std::string_view text, const std::string& where) {
    if (tables_) {
      const std::optional<double> wanted = ReadResistance(text);
      if (!wanted || !(*wanted > 0)) return Refuse(text, where, kResistanceAccepted);
      const std::span<engine::networks::Network> kept =
          std::span(networks_).first(std::size_t(options_.count));
      const int found = engine::networks::Search(
          *tables_, *wanted, tolerance_, options_.connect.value_or(engine::networks::Connect::kAny),
          kept);
      writer_->Networks(text, *wanted, kept.first(std::size_t(found)));
      ++accepted_;
      unpaired_ += found == 0;
      return true;
    }
    const std::optional<double> wanted = engine::WantedValue(text);
    if (!wanted) return Refuse(text, where, kAccepted);
    const engine::SearchResult found = engine::Search(values_.sequences, values_.excluded, *wanted,
                                                      options_.count, tolerance_);
    const engine::Listing listing = engine::List(values_.sequences, values_.columns, found, true);
    writer_->Listed(text, *wanted, found, listing);
    ++accepted_;
    unpaired_ += found.count == 0;
    return true;
  }

  // Names a wanted text that is refused, and why; false.
  bool Refuse(std::string_view text, const std::string& where, const char* reason) {
    writer_->Flush();  // keep the messages in step with the output before them
    std::fprintf(err_, "ohmsift-cli: %srefused %s: %s\n", where.c_str(), Quoted(text).c_str(),
                 reason);
    writer_->Refused(text, reason);
    return false;
  }

  // Says how many values found no pair; the errno of a failed write, or 0.
  int Finish() {
    if (unpaired_ > 0 && tables_) {
      // The smallest network is the smallest value's parallel ones, the largest the largest's
      // series, as far as the connection allows.
      using engine::networks::Connect;
      const Connect connect = options_.connect.value_or(Connect::kAny);
      const double parts = options_.parts;
      writer_->Flush();
      std::fprintf(
          err_,
          "ohmsift-cli: no network within %s %% for %ld of %ld wanted values; these "
          "networks reach from %s Ω to %s Ω\n",
          options_.tolerance.c_str(), unpaired_, accepted_,
          Ohms(networkValues_.nominal.front() / (connect == Connect::kSeries ? 1 : parts)).c_str(),
          Ohms(networkValues_.nominal.back() * (connect == Connect::kParallel ? 1 : parts))
              .c_str());
    } else if (unpaired_ > 0) {
      writer_->Flush();
      std::fprintf(err_, "ohmsift-cli: no pair within %s %% for %ld of %ld wanted values",
                   options_.tolerance.c_str(), unpaired_, accepted_);
      const double reach = values_.Reach();
      if (reach > 0) std::fprintf(err_, "; these pairs reach at most %s Ω", Ohms(reach).c_str());
      std::fputs("\n", err_);
    }
    writer_->Flush();
    return writer_->Failure() != 0 ? writer_->Failure() : (std::ferror(out_) ? EIO : 0);
  }

 private:
  const Options& options_;
  const Values& values_;
  const NetworkValues& networkValues_;
  Setup setup_;
  std::unique_ptr<Writer> writer_;
  std::unique_ptr<engine::networks::Tables> tables_;
  std::array<engine::networks::Network, engine::networks::kMaxNetworks> networks_;
  double tolerance_;
  std::FILE* out_;
  std::FILE* err_;
  long accepted_ = 0, unpaired_ = 0;
};

// With a series, the values of --only that name none of its values, as written.
std::string NotInSeries(const Options& options, const engine::Sequences& sequences) {
  std::string names;
  if (!options.only || !options.series) return names;
  const std::vector<std::int32_t>& whole = sequences.whole;
  for (const ListValue& v : *options.only) {
    if (std::find(whole.begin(), whole.end(), engine::WholeOhm(v.ohms)) != whole.end()) continue;
    // A network search also takes the 10 megohms that close the series.
    if (options.parts > 0 && engine::WholeOhm(v.ohms) == engine::WholeOhm(NetworkValues::kTop))
      continue;
    const std::string quoted = Quoted(v.text);
    names += (names.empty() ? "" : ", ") + quoted.substr(1, quoted.size() - 2);
  }
  return names;
}

int OutputFailed(std::FILE* err, int failure) {
  std::fprintf(err, "ohmsift-cli: the output could not be written: %s\n", std::strerror(failure));
  return kOutputFailed;
}

}  // namespace

int Run(int argc, char** argv, std::FILE* in, std::FILE* out, std::FILE* err) {
  Options options;
  std::string problem;
  if (!ParseArguments(argc, argv, options, problem)) {
    std::fprintf(err, "ohmsift-cli: %s\nTry 'ohmsift-cli --help' for more information.\n",
                 problem.c_str());
    return kUsageError;
  }
  if (options.help || options.version) {
    const std::string text =
        options.help ? kUsage : std::string("ohmsift-cli ") + kVersion + "\n" + kLicence;
    if (std::fputs(text.c_str(), out) < 0 || std::fflush(out) != 0) return OutputFailed(err, errno);
    return kAllAccepted;
  }
  if (options.only && !options.series &&
      Values::Distinct(options.only).size() > std::size_t{engine::kMaxValues}) {
    std::fprintf(err,
                 "ohmsift-cli: --only: at most %d different values\n"
                 "Try 'ohmsift-cli --help' for more information.\n",
                 engine::kMaxValues);
    return kUsageError;
  }
  // A sweep writes hundreds of megabytes: in large blocks, but to a terminal line by line, so
  // that a value typed there is answered at once.
  const int outFd = fileno(out);
  if (outFd < 0 || !isatty(outFd)) std::setvbuf(out, nullptr, _IOFBF, 1 << 17);
  const Values values(options);
  const NetworkValues networkValues(options, values);
  if (options.parts > 0 && networkValues.exact.empty()) {
    std::fprintf(
        err, "ohmsift-cli: %s\nTry 'ohmsift-cli --help' for more information.\n",
        options.range
            ? ("--range " + Quoted(options.range->first.text + "-" + options.range->second.text) +
               " leaves no value to build networks from")
                  .c_str()
            : "--only and --without leave no value to build networks from");
    return kUsageError;
  }
  if (const std::string names = NotInSeries(options, values.sequences); !names.empty()) {
    std::fprintf(err, "ohmsift-cli: --only: not %s values, so not used: %s\n",
                 std::string(options.series->name).c_str(), names.c_str());
  }
  Lister lister(options, values, networkValues, out, err);
  bool allAccepted = true;
  int readFailure = 0;
  if (options.wanted.empty()) {
    readFailure = ReadLines(in, [&](std::string_view line, long number, bool cut) {
      const std::string_view text = Trimmed(line);
      const std::string where = "line " + std::to_string(number) + ": ";
      if (cut) {
        lister.Refuse(line, where, kLongLine);
        allAccepted = false;
      } else if (!text.empty() && !lister.List(text, where)) {
        allAccepted = false;
      }
      return true;
    });
  } else {
    for (const std::string_view text : options.wanted) {
      allAccepted = lister.List(text, "") && allAccepted;
    }
  }
  const int failure = lister.Finish();
  if (failure != 0) return OutputFailed(err, failure);
  if (readFailure != 0) {
    std::fprintf(err, "ohmsift-cli: cannot read standard input: %s\n", std::strerror(readFailure));
    return kUsageError;
  }
  return allAccepted ? kAllAccepted : kSomeRefused;
}

}  // namespace cli
