#include "cli/Cli.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Options.h"
#include "engine/Arithmetic.h"
#include "engine/Engine.h"
#include "engine/Listing.h"
#include "engine/Search.h"
#include "engine/WholeOhm.h"
#include "platform/Classes.h"

namespace cli {
namespace {

constexpr const char kUsage[] =
    "Usage: ohmsift-cli [OPTION]... [WANTED]...\n"
    "\n"
    "Finds the pairs of standard resistors that, in parallel, come closest to each WANTED value\n"
    "(a whole number of ohms, greater than 100 and less than 1000000) and lists the best of them\n"
    "with their errors and the resistor values they need. With no WANTED, reads the values from\n"
    "standard input, one per line.\n"
    "\n"
    "  --series NAME        E3, E6, E12, E24 (the default), E48, E96 or E192\n"
    "                         --series E96 2200\n"
    "  --tolerance PERCENT  keep pairs within PERCENT % of the wanted value, more than 0 and at\n"
    "                       most 50 (default 5)            --tolerance 1 4700\n"
    "  --count N            keep the N best pairs, 1 to 100 (default 15)    --count 40 4700\n"
    "  --only LIST          use only these values: your stock   --only @drawer.txt 4700\n"
    "  --without LIST       leave these values out (it wins over --only)   --without 8200,5k1 "
    "4700\n"
    "  --format FORMAT      text (the default: as the window shows it), csv or json (JSON Lines)\n"
    "                         --format csv 4700 1000 > pairs.csv\n"
    "  --help               show this help and exit\n"
    "  --version            show the version and exit\n"
    "  --                   end of options; every later argument is a WANTED value\n"
    "\n"
    "A LIST is values separated by commas, or @FILE: a file of values, one per line or separated\n"
    "by commas, where blank lines and lines starting with # are skipped. A value is a whole\n"
    "number of ohms from 1 to 9999999, in digits or as on a schematic: 4k7, 4.7k, 1M, 100R, 1k02.\n"
    "Each option may be given once, as --option VALUE or --option=VALUE.\n"
    "\n"
    "Exit status: 0 when every value was accepted, 1 when one or more were refused,\n"
    "2 for a usage error, 3 when the output could not be written.\n"
    "\n"
    "See man ohmsift-cli for more.\n";

constexpr const char kVersion[] = "ohmsift-cli " OHMSIFT_VERSION
                                  "\n"
                                  "Copyright (C) 2026 the OhmSift developers.\n"
                                  "License MIT: <https://opensource.org/licenses/MIT>.\n";

constexpr const char kResultsSuffix[] = " の結果";
constexpr const char kHeading[] = "誤差(%)　必要な抵抗１　抵抗２　できた抵抗値";
constexpr const char kNeededTitle[] = "必要な抵抗";
constexpr const char kNotOwnedTitle[] = "持っていない抵抗";
constexpr const char kAccepted[] =
    "a wanted value is a whole number of ohms written in digits only, greater than 100 and less "
    "than 1000000";

// Output in large blocks: a sweep over every target writes hundreds of megabytes.
class Output {
 public:
  explicit Output(std::FILE* file) : file_(file) { buffer_.reserve(kFlushAt + 4096); }
  ~Output() { Flush(); }
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  Output& operator<<(std::string_view text) {
    buffer_.append(text);
    return *this;
  }
  // The shortest text that reads back as the same double.
  Output& operator<<(double x) {
    char text[32];
    buffer_.append(text, std::to_chars(text, text + sizeof text, x == 0 ? 0.0 : x).ptr);
    return *this;
  }
  Output& operator<<(long n) { return *this << std::string_view(std::to_string(n)); }
  void Line(std::string_view text) {
    *this << text << "\n";
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

// A text as a JSON string: UTF-8 kept, control characters escaped, any byte that is no part of
// a UTF-8 character replaced by U+FFFD, so that every line is valid JSON.
std::string JsonString(std::string_view text) {
  std::string json = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    std::size_t length = byte < 0x80                    ? 1
                         : byte >= 0xC2 && byte <= 0xDF ? 2
                         : byte >= 0xE0 && byte <= 0xEF ? 3
                         : byte >= 0xF0 && byte <= 0xF4 ? 4
                                                        : 0;
    for (std::size_t k = 1; k < length; ++k) {
      const unsigned next = i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0;
      const bool first = k == 1;
      // No overlong forms, surrogates or values beyond U+10FFFF.
      const unsigned low = first && byte == 0xE0 ? 0xA0 : first && byte == 0xF0 ? 0x90 : 0x80;
      const unsigned high = first && byte == 0xED ? 0x9F : first && byte == 0xF4 ? 0x8F : 0xBF;
      if (next < low || next > high) length = 0;
    }
    if (length == 0) {
      json += "\\ufffd";
      ++i;
    } else if (byte == '"' || byte == '\\') {
      json += {'\\', static_cast<char>(byte)};
      ++i;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      json += escaped;
      ++i;
    } else {
      json.append(text.substr(i, length));
      i += length;
    }
  }
  return json + "\"";
}

std::string JsonValues(const std::vector<long>& values) {
  std::string json = "[";
  for (const long v : values) json += (json.size() > 1 ? "," : "") + std::to_string(v);
  return json + "]";
}

class Lister {
 public:
  Lister(const Options& options, std::FILE* out, std::FILE* err)
      : options_(options),
        out_(out),
        err_(err),
        sequences_(options.series.mantissas),
        excluded_(sequences_) {
    if (options.without) {
      without_.assign(options.without->begin(), options.without->end());
      excluded_.LeaveOut(without_);
    }
    if (options.only) {
      const std::vector<double> only(options.only->begin(), options.only->end());
      excluded_.KeepOnly(only);
    }
    if (options.format == Format::kCsv) out_.Line("wanted,r1,r2,value,deviation_percent");
    if (options.format == Format::kJson) {
      jsonParameters_ =
          ",\"series\":\"" + std::string(options.series.name) + "\",\"tolerance_percent\":";
      char text[32];
      jsonParameters_.append(text, std::to_chars(text, text + 32, options.tolerancePercent).ptr);
    }
  }

  // Lists one wanted text; false when it was refused. where names its origin in messages.
  bool List(std::string_view text, const std::string& where) {
    double value = 0.0;
    if (!engine::AcceptWantedText(AnsiString(text), value)) {
      out_.Flush();  // keep the messages in step with the output before them
      std::fprintf(err_, "ohmsift-cli: %srefused %s: %s\n", where.c_str(), Quoted(text).c_str(),
                   kAccepted);
      if (options_.format == Format::kCsv) out_.Line(CsvField(text) + ",,,,");
      if (options_.format == Format::kJson) {
        out_.Line("{\"input\":" + JsonString(text) + ",\"error\":" + JsonString(kAccepted) + "}");
      }
      return false;
    }
    const engine::SearchResult found =
        engine::Search(sequences_, excluded_, value, options_.count, options_.tolerance);
    const engine::Listing listing = engine::List(sequences_, found);
    // In the order the window's sorted list shows them, in every format.
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
    if (options_.format == Format::kText) WriteText(text, listing, order);
    if (options_.format != Format::kText) WriteData(long(value), found, listing, order);
    return true;
  }

  // False when the output could not be written.
  bool Finish() {
    out_.Flush();
    return !out_.Failed();
  }

 private:
  static std::string CsvField(std::string_view text) {
    std::string field = "\"";
    for (const char c : text) field += c == '"' ? std::string("\"\"") : std::string(1, c);
    return field + "\"";
  }

  void WriteText(std::string_view text, const engine::Listing& listing, const int* order) {
    out_.Line(std::string(text) + kResultsSuffix);
    out_.Line(kHeading);
    for (int k = 0; k < listing.lineCount; ++k) out_.Line(listing.lines[order[k]].View());
    out_.Line("");
    out_.Line(kNeededTitle);
    for (int i = 0; i < listing.usedCount; ++i) out_.Line(listing.usedLines[i].View());
    if (options_.without) {
      out_.Line("");
      out_.Line(kNotOwnedTitle);
      char line[engine::kValueLineBuffer];
      for (const double v : without_)
        out_.Line({line, std::size_t(engine::ComposeValueLine(line, v))});
    }
    out_.Line("");
  }

  // CSV rows or a JSON object: resistors in whole ohms, numbers as the doubles they are.
  void WriteData(long wanted, const engine::SearchResult& found, const engine::Listing& listing,
                 const int* order) {
    const bool json = options_.format == Format::kJson;
    if (json) out_ << "{\"wanted\":" << wanted << jsonParameters_ << ",\"pairs\":[";
    for (int k = 0; k < found.count; ++k) {
      const engine::Pair& pair = found.pairs[order[k]];
      const long r1 = engine::WholeOhm(pair.reg1), r2 = engine::WholeOhm(pair.reg2);
      // (value - wanted) / wanted x 100: the listing's percent with the sign of the deviation.
      const double deviation = -engine::arith::Product(pair.error, 100.0);
      if (json) {
        out_ << (k ? ",{\"r1\":" : "{\"r1\":") << r1 << ",\"r2\":" << r2
             << ",\"value\":" << pair.value << ",\"deviation_percent\":" << deviation << "}";
      } else {
        out_ << wanted << "," << r1 << "," << r2 << "," << pair.value << ",";
        out_ << deviation;
        out_.Line("");
      }
    }
    if (!json) {
      if (found.count == 0) out_.Line(std::to_string(wanted) + ",,,,");
      return;
    }
    std::vector<long> needed;
    for (int i = 0; i < listing.usedCount; ++i) needed.push_back(engine::WholeOhm(listing.used[i]));
    out_ << "],\"needed\":" << JsonValues(needed);
    if (options_.without) out_ << ",\"without\":" << JsonValues(*options_.without);
    if (options_.only) out_ << ",\"only\":" << JsonValues(*options_.only);
    out_.Line("}");
  }

  const Options& options_;
  Output out_;
  std::FILE* err_;
  engine::Sequences sequences_;
  engine::Exclusions excluded_;
  std::vector<double> without_;
  std::string jsonParameters_;
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
    for (const std::string_view text : options.wanted) {
      allAccepted = lister.List(text, "") && allAccepted;
    }
  }
  if (!lister.Finish()) {
    std::fprintf(err, "ohmsift-cli: the output could not be written\n");
    return kOutputFailed;
  }
  return allAccepted ? kAllAccepted : kSomeRefused;
}

}  // namespace cli
