// ohmsift-cli's Run on any command line and standard input, in memory. Input encoding: the first
// byte modulo 16 is the number of arguments; that many NUL-terminated arguments follow (fewer if
// the input ends); every remaining byte is standard input. So "14700" followed by a NUL runs
// `ohmsift-cli 4700`, and "0" followed by "4700\n101\n" reads those two lines.
//
// What the output must be is worked out from the documented usage alone: which arguments are
// options, which values are accepted, the status, and the frame of every block; the lines inside
// a block must be those a fresh search gives.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "Oracles.h"
#include "cli/Cli.h"
#include "engine/Engine.h"
#include "platform/Classes.h"

namespace {

const std::string kResultsFor = " の結果";
const std::string kHeading = "誤差(%)　必要な抵抗１　抵抗２　できた抵抗値";
const std::string kNeeded = "必要な抵抗";
const std::string kNotOwned = "持っていない抵抗";

struct Expectation {
  bool usage = false;
  bool help = false;
  bool without = false;
  std::set<long> excluded;
  bool fromArguments = false;
  std::vector<std::string> wanted;  // every candidate text, in order
};

// --without's LIST: whole numbers of ohms from 1 to 9999999, separated by commas.
bool ReadList(std::string_view list, std::set<long>& values) {
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = std::min(list.find(',', start), list.size());
    const std::string_view item = list.substr(start, comma - start);
    if (item.empty()) return false;
    long value = 0;
    for (const char c : item) {
      if (!fuzz::IsDigit(c)) return false;
      value = std::min(value * 10 + (c - '0'), 10000000L);
    }
    if (value < 1 || value > 9999999) return false;
    values.insert(value);
    if (comma == list.size()) return true;
    start = comma + 1;
  }
}

Expectation Expect(const std::vector<std::string>& args, std::string_view input) {
  Expectation e;
  bool ended = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (ended || a.size() < 2 || a[0] != '-') {
      e.wanted.push_back(a);
    } else if (a == "--") {
      ended = true;
    } else if (a == "--help" || a == "-h") {
      e.help = true;
    } else if (a == "--without" || a.rfind("--without=", 0) == 0) {
      if (a == "--without" && i + 1 == args.size()) {
        e.usage = true;
        return e;
      }
      const std::string list = a == "--without" ? args[++i] : a.substr(10);
      if (!ReadList(list, e.excluded)) {
        e.usage = true;
        return e;
      }
      e.without = true;
    } else {
      e.usage = true;
      return e;
    }
  }
  if (e.excluded.size() > 200) e.usage = true;
  e.fromArguments = !e.wanted.empty();
  if (!e.fromArguments) {
    // Lines, without a trailing carriage return and the blanks around the value; empty ones
    // skipped.
    std::size_t start = 0;
    while (start < input.size()) {
      const std::size_t newline = std::min(input.find('\n', start), input.size());
      std::string_view line = input.substr(start, newline - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
      while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
      e.wanted.emplace_back(line);  // empty ones stay, to keep line numbers
      start = newline + 1;
    }
  }
  return e;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t newline = text.find('\n', start);
    FUZZ_CHECK(newline != std::string::npos, "unterminated last line in " + fuzz::Printable(text));
    lines.push_back(text.substr(start, newline - start));
    start = newline + 1;
  }
  return lines;
}

bool IsUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t n = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the byte after the first
    if (b < 0x80) {
      ++i;
      continue;
    } else if (b >= 0xC2 && b <= 0xDF) {
      n = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
      n = 2;
      low = b == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
      high = b == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
      n = 3;
      low = b == 0xF0 ? 0x90 : 0x80;
      high = b == 0xF4 ? 0x8F : 0xBF;
    } else {
      return false;
    }
    if (i + n >= s.size()) return false;
    for (std::size_t k = 1; k <= n; ++k) {
      const auto c = static_cast<unsigned char>(s[i + k]);
      if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return false;
    }
    i += n + 1;
  }
  return true;
}

std::string ValueText(long value) {
  char line[32];
  std::snprintf(line, sizeof line, "%7ld", value);
  return line;
}

// One block for an accepted text, from lines[at]; returns the index after it.
std::size_t CheckBlock(const std::vector<std::string>& lines, std::size_t at,
                       const std::string& text, long target, const Expectation& e) {
  const auto line = [&](std::size_t i) -> const std::string& {
    static const std::string missing = "<missing>";
    return i < lines.size() ? lines[i] : missing;
  };
  const std::string where = "block for " + fuzz::Printable(text) + ": ";
  FUZZ_CHECK(line(at) == text + kResultsFor, where + fuzz::Printable(line(at)));
  FUZZ_CHECK(line(at + 1) == kHeading, where + fuzz::Printable(line(at + 1)));
  std::size_t i = at + 2;
  std::vector<std::string> results;
  std::set<long> used;
  for (; i < lines.size() && !lines[i].empty(); ++i) {
    const auto r = fuzz::ParseResultLine(lines[i]);
    FUZZ_CHECK(r.has_value(), where + "malformed " + fuzz::Printable(lines[i]));
    const std::string problem = fuzz::CheckResultLine(*r, double(target));
    FUZZ_CHECK(problem.empty(), where + problem + " in " + fuzz::Printable(lines[i]));
    FUZZ_CHECK(!e.excluded.count(r->reg1) && !e.excluded.count(r->reg2),
               where + "excluded value used in " + fuzz::Printable(lines[i]));
    FUZZ_CHECK(results.empty() || results.back() < lines[i], where + "results out of order");
    results.push_back(lines[i]);
    used.insert(r->reg1);
    used.insert(r->reg2);
  }
  FUZZ_CHECK(results.size() <= 15, where + "more than 15 results");
  FUZZ_CHECK(line(i) == "" && line(i + 1) == kNeeded, where + fuzz::Printable(line(i + 1)));
  i += 2;
  for (const long value : used) {
    FUZZ_CHECK(line(i) == ValueText(value),
               where + "needed " + fuzz::Printable(line(i)) + ", expected " + ValueText(value));
    ++i;
  }
  if (e.without) {
    FUZZ_CHECK(line(i) == "" && line(i + 1) == kNotOwned, where + fuzz::Printable(line(i + 1)));
    i += 2;
    for (const long value : e.excluded) {
      FUZZ_CHECK(line(i) == ValueText(value), where + "not owned " + fuzz::Printable(line(i)));
      ++i;
    }
  }
  FUZZ_CHECK(line(i) == "", where + "no empty line at the end: " + fuzz::Printable(line(i)));

  // The lines themselves: those of a fresh search with the same exclusions.
  engine::InitTable();
  for (const long value : e.excluded) engine::NoneTable[engine::NoneCount++] = double(value);
  TStringList answers(true), needed(true);
  engine::CalcSub(double(target), answers, needed);
  FUZZ_CHECK(answers.Count() == static_cast<int>(results.size()), where + "result count");
  for (int k = 0; k < answers.Count(); ++k) {
    FUZZ_CHECK(answers.Get(k).View() == results[k], where + fuzz::Printable(results[k]));
  }
  return i + 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Bytes bytes(data, size);
  const int count = bytes.Next() % 16;
  std::vector<std::string> args;
  for (int i = 0; i < count && !bytes.Empty(); ++i) args.emplace_back(bytes.TakeUntilNul());
  const std::string_view input = bytes.Rest();

  std::vector<char*> argv;
  std::string program = "ohmsift-cli";
  argv.push_back(program.data());
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  std::string inputCopy(input);
  std::FILE* in = input.empty() ? std::fopen("/dev/null", "r")
                                : fmemopen(inputCopy.data(), inputCopy.size(), "r");
  char* outBuffer = nullptr;
  char* errBuffer = nullptr;
  std::size_t outSize = 0, errSize = 0;
  std::FILE* out = open_memstream(&outBuffer, &outSize);
  std::FILE* err = open_memstream(&errBuffer, &errSize);
  if (in == nullptr || out == nullptr || err == nullptr) std::abort();
  const int status = cli::Run(static_cast<int>(args.size()) + 1, argv.data(), in, out, err);
  std::fclose(in);
  std::fclose(out);
  std::fclose(err);
  const std::string outText(outBuffer, outSize), errText(errBuffer, errSize);
  std::free(outBuffer);
  std::free(errBuffer);

  const Expectation e = Expect(args, input);
  const std::string context =
      "status " + std::to_string(status) + ", err " + fuzz::Printable(errText.substr(0, 300));
  if (e.usage) {
    FUZZ_CHECK(status == cli::kUsageError, context);
    FUZZ_CHECK(outText.empty(), "output on a usage error: " + fuzz::Printable(outText));
    const std::vector<std::string> lines = SplitLines(errText);
    FUZZ_CHECK(lines.size() == 2 && lines[0].rfind("ohmsift-cli: ", 0) == 0 &&
                   lines[1] == "Try 'ohmsift-cli --help' for more information.",
               context);
    return 0;
  }
  FUZZ_CHECK(status != cli::kUsageError, context);
  if (e.help) {
    FUZZ_CHECK(status == cli::kAllAccepted && errText.empty(), context);
    FUZZ_CHECK(outText.rfind("Usage: ohmsift-cli [--without LIST] [WANTED...]\n", 0) == 0,
               fuzz::Printable(outText.substr(0, 100)));
    return 0;
  }

  const std::vector<std::string> outLines = SplitLines(outText);
  const std::vector<std::string> errLines = SplitLines(errText);
  std::size_t at = 0, refused = 0;
  bool inputIsText = IsUtf8(input);
  for (std::size_t n = 0; n < e.wanted.size(); ++n) {
    const std::string& text = e.wanted[n];
    inputIsText = inputIsText && IsUtf8(text);
    if (!e.fromArguments && text.empty()) continue;
    if (const auto value = fuzz::WantedValue(text)) {
      at = CheckBlock(outLines, at, text, *value, e);
      continue;
    }
    const std::string prefix =
        "ohmsift-cli: " + (e.fromArguments ? "" : "line " + std::to_string(n + 1) + ": ") +
        "refused ";
    FUZZ_CHECK(refused < errLines.size() && errLines[refused].rfind(prefix, 0) == 0,
               "refusal of " + fuzz::Printable(text) + ": " + context);
    ++refused;
  }
  FUZZ_CHECK(at == outLines.size(), "output after the last block: " +
                                        fuzz::Printable(at < outLines.size() ? outLines[at] : ""));
  FUZZ_CHECK(refused == errLines.size(), "messages beyond the refusals: " + context);
  FUZZ_CHECK(status == (refused == 0 ? cli::kAllAccepted : cli::kSomeRefused), context);
  for (const std::string& a : args) inputIsText = inputIsText && IsUtf8(a);
  // Messages quote what was refused; quoting must not break a character of a text input.
  FUZZ_CHECK(!inputIsText || IsUtf8(errText), "broken character in " + fuzz::Printable(errText));
  return 0;
}
