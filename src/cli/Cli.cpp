#include "cli/Cli.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Engine.h"
#include "engine/Listing.h"
#include "engine/Search.h"
#include "engine/Series.h"
#include "platform/Classes.h"

namespace cli {
namespace {

constexpr const char kUsage[] =
    "Usage: ohmsift-cli [--without LIST] [WANTED...]\n"
    "\n"
    "Finds the pairs of E24 resistors that, in parallel, come closest to each WANTED value\n"
    "(a whole number of ohms, greater than 100 and less than 1000000) and lists the 15 best\n"
    "with their errors and the resistor values they need. With no WANTED, reads the values\n"
    "from standard input, one per line.\n"
    "\n"
    "  --without LIST  leave out the resistor values in LIST, whole numbers of ohms separated\n"
    "                  by commas (for example --without 8200,5100)\n"
    "  --help          show this help and exit\n"
    "  --version       show the version and exit\n"
    "  --              end of options; every later argument is a WANTED value\n"
    "\n"
    "Exit status: 0 when every value was accepted, 1 when one or more were refused,\n"
    "2 for a usage error, 3 when the output could not be written.\n"
    "\n"
    "See man ohmsift-cli for more.\n";

constexpr const char kVersion[] =
    "ohmsift-cli " OHMSIFT_VERSION "\n"
    "Copyright (C) 2026 the OhmSift developers.\n"
    "License MIT: <https://opensource.org/licenses/MIT>.\n";

constexpr const char kResultsSuffix[] = " の結果";
constexpr const char kHeading[] = "誤差(%)　必要な抵抗１　抵抗２　できた抵抗値";
constexpr const char kNeededTitle[] = "必要な抵抗";
constexpr const char kNotOwnedTitle[] = "持っていない抵抗";
constexpr const char kAccepted[] =
    "a wanted value is a whole number of ohms written in digits only, greater than 100 and less "
    "than 1000000";
constexpr long kLargestListed = 9999999;  // what a seven-column value line can show

// Output in large blocks: a sweep over every target writes hundreds of megabytes.
class Output {
 public:
  explicit Output(std::FILE* file) : file_(file) { buffer_.reserve(kFlushAt + 4096); }
  ~Output() { Flush(); }
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  void Line(std::string_view text) {
    buffer_.append(text.data(), text.size());
    buffer_.push_back('\n');
    if (buffer_.size() >= kFlushAt) Flush();
  }
  void Flush() {
    if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
    buffer_.clear();
    std::fflush(file_);
  }
  bool Failed() const { return std::ferror(file_) != 0; }

 private:
  static constexpr std::size_t kFlushAt = 1 << 17;
  std::FILE* file_;
  std::string buffer_;
};

// A text as it may safely be quoted in a message: control bytes as '?', at most 60 bytes shown,
// cut where a UTF-8 character ends.
std::string Quoted(std::string_view text) {
  constexpr std::size_t kShown = 60;
  std::size_t shown = std::min(text.size(), kShown);
  const auto continuation = [&](std::size_t i) {
    return (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
  };
  // Back to the first byte of a character cut in two; at most three bytes back, so that a text
  // that is no UTF-8 is still shown.
  for (std::size_t back = 0; shown < text.size() && back < 3 && continuation(shown); ++back) {
    --shown;
  }
  if (shown < text.size() && continuation(shown)) shown = std::min(text.size(), kShown);
  std::string quoted = "\"";
  for (std::size_t i = 0; i < shown; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    quoted += (byte < 0x20 || byte == 0x7F) ? '?' : text[i];
  }
  if (shown < text.size()) quoted += "...";
  return quoted + "\"";
}

bool ParseList(std::string_view list, std::vector<double>& values, std::string& problem) {
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = std::min(list.find(',', start), list.size());
    const std::string_view item = list.substr(start, comma - start);
    long value = 0;
    bool ok = !item.empty();
    for (const char c : item) {
      ok = ok && c >= '0' && c <= '9';
      if (ok) value = std::min(value * 10 + (c - '0'), kLargestListed + 1);
    }
    if (!ok || value < 1 || value > kLargestListed) {
      problem = "--without takes whole numbers of ohms from 1 to 9999999 separated by commas; " +
                Quoted(item) + " in " + Quoted(list) + " is not one";
      return false;
    }
    values.push_back(static_cast<double>(value));
    if (comma == list.size()) return true;
    start = comma + 1;
  }
}

struct Options {
  bool help = false;
  bool version = false;
  bool without = false;
  std::vector<double> excluded;  // ascending, distinct
  std::vector<std::string_view> wanted;
};

bool ParseArguments(int argc, char** argv, Options& options, std::string& problem) {
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      options.wanted.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--without" || arg.substr(0, 10) == "--without=") {
      std::string_view list;
      if (arg == "--without") {
        if (i + 1 == argc) {
          problem = "--without needs a LIST of values, such as --without 8200,5100";
          return false;
        }
        list = argv[++i];
      } else {
        list = arg.substr(10);
      }
      if (!ParseList(list, options.excluded, problem)) return false;
      options.without = true;
    } else {
      problem = "unknown option " + Quoted(arg);
      return false;
    }
  }
  std::sort(options.excluded.begin(), options.excluded.end());
  options.excluded.erase(std::unique(options.excluded.begin(), options.excluded.end()),
                         options.excluded.end());
  if (options.excluded.size() > static_cast<std::size_t>(engine::kNoneCapacity)) {
    problem = "--without takes at most " + std::to_string(engine::kNoneCapacity) +
              " distinct values; " + std::to_string(options.excluded.size()) + " were given";
    return false;
  }
  return true;
}

class Lister {
 public:
  Lister(const Options& options, std::FILE* out, std::FILE* err)
      : options_(options), out_(out), err_(err), sequences_(engine::kE24), excluded_(sequences_) {
    excluded_.LeaveOut(options.excluded);
    char line[engine::kValueLineBuffer];
    for (const double value : options.excluded) {
      excludedLines_.emplace_back(line,
                                  static_cast<std::size_t>(engine::ComposeValueLine(line, value)));
    }
  }

  // Lists one wanted text; false when it was refused. where names its origin in messages.
  bool List(std::string_view text, const std::string& where) {
    double value = 0.0;
    if (!engine::AcceptWantedText(AnsiString(text), value)) {
      out_.Flush();  // keep the messages in step with the output before them
      std::fprintf(err_, "ohmsift-cli: %srefused %s: %s\n", where.c_str(), Quoted(text).c_str(),
                   kAccepted);
      return false;
    }
    const engine::SearchResult found =
        engine::Search(sequences_, excluded_, value, engine::kListedPairs, kTolerance);
    const engine::Listing listing = engine::List(sequences_, found);

    caption_.assign(text).append(kResultsSuffix);
    out_.Line(caption_);
    out_.Line(kHeading);
    // In the order the window's sorted list shows them.
    int order[engine::kMaxPairs];
    for (int k = 0; k < listing.lineCount; ++k) {
      int j = k;
      for (; j > 0 &&
             CompareListLines(listing.lines[order[j - 1]].View(), listing.lines[k].View()) > 0;
           --j) {
        order[j] = order[j - 1];
      }
      order[j] = k;
    }
    for (int k = 0; k < listing.lineCount; ++k) out_.Line(listing.lines[order[k]].View());
    out_.Line("");
    out_.Line(kNeededTitle);
    for (int i = 0; i < listing.usedCount; ++i) out_.Line(listing.usedLines[i].View());
    if (options_.without) {
      out_.Line("");
      out_.Line(kNotOwnedTitle);
      for (const std::string& line : excludedLines_) out_.Line(line);
    }
    out_.Line("");
    return true;
  }

  // False when the output could not be written.
  bool Finish() {
    out_.Flush();
    return !out_.Failed();
  }

 private:
  static constexpr double kTolerance = 0.05;

  const Options& options_;
  Output out_;
  std::FILE* err_;
  engine::Sequences sequences_;
  engine::Exclusions excluded_;
  std::vector<std::string> excludedLines_;
  std::string caption_;
};

std::string_view Trimmed(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!line.empty() && blank(line.front())) line.remove_prefix(1);
  while (!line.empty() && blank(line.back())) line.remove_suffix(1);
  return line;
}

// Lists every non-empty line of in; false when any was refused.
bool ListInput(Lister& lister, std::FILE* in) {
  bool allAccepted = true;
  std::vector<char> chunk(1 << 16);
  std::string pending;  // a line cut by the end of a chunk
  long lineNumber = 0;
  const auto handle = [&](std::string_view line) {
    ++lineNumber;
    const std::string_view text = Trimmed(line);
    if (!text.empty() && !lister.List(text, "line " + std::to_string(lineNumber) + ": ")) {
      allAccepted = false;
    }
  };
  std::size_t got;
  while ((got = std::fread(chunk.data(), 1, chunk.size(), in)) > 0) {
    std::string_view rest(chunk.data(), got);
    std::size_t newline;
    while ((newline = rest.find('\n')) != std::string_view::npos) {
      if (pending.empty()) {
        handle(rest.substr(0, newline));
      } else {
        pending.append(rest.substr(0, newline));
        handle(pending);
        pending.clear();
      }
      rest.remove_prefix(newline + 1);
    }
    pending.append(rest);
  }
  if (!pending.empty()) handle(pending);
  return allAccepted;
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
    if (std::fputs(options.help ? kUsage : kVersion, out) < 0 || std::fflush(out) != 0) {
      std::fprintf(err, "ohmsift-cli: the output could not be written\n");
      return kOutputFailed;
    }
    return kAllAccepted;
  }
  Lister lister(options, out, err);
  bool allAccepted = true;
  if (options.wanted.empty()) {
    allAccepted = ListInput(lister, in);
  } else {
    for (const std::string_view text : options.wanted)
      allAccepted = lister.List(text, "") && allAccepted;
  }
  if (!lister.Finish()) {
    std::fprintf(err, "ohmsift-cli: the output could not be written\n");
    return kOutputFailed;
  }
  return allAccepted ? kAllAccepted : kSomeRefused;
}

}  // namespace cli
