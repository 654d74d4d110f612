#include "CliModel.h"

#include <algorithm>
#include <set>

#include "Oracles.h"
#include "engine/Engine.h"

namespace climodel {
namespace {

struct Expectation {
  bool usage = false, help = false, version = false, without = false;
  std::set<long> excluded;
  bool fromArguments = false;
  std::vector<std::string> wanted;  // every candidate text, in order, empty lines kept
};

// --without's LIST: whole numbers of ohms from 1 to 9999999, separated by commas.
bool ReadList(std::string_view list, std::set<long>& values) {
  for (std::size_t start = 0;;) {
    const std::size_t comma = std::min(list.find(',', start), list.size());
    const std::string_view item = list.substr(start, comma - start);
    long value = item.empty() ? -1 : 0;
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
  for (std::size_t i = 0; i < args.size() && !e.usage; ++i) {
    const std::string& a = args[i];
    if (ended || a.size() < 2 || a[0] != '-') {
      e.wanted.push_back(a);
    } else if (a == "--") {
      ended = true;
    } else if (a == "--help" || a == "-h") {
      e.help = true;
    } else if (a == "--version") {
      e.version = true;
    } else if (a == "--without" ? i + 1 < args.size() : a.rfind("--without=", 0) == 0) {
      e.usage = !ReadList(a == "--without" ? args[++i] : a.substr(10), e.excluded);
      e.without = true;
    } else {
      e.usage = true;
    }
  }
  e.usage = e.usage || e.excluded.size() > 200;
  e.fromArguments = !e.wanted.empty();
  // Lines without a carriage return at the end and the blanks around the value.
  for (std::size_t start = 0; !e.fromArguments && start < input.size();) {
    const std::size_t newline = std::min(input.find('\n', start), input.size());
    std::string_view line = input.substr(start, newline - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t first = line.find_first_not_of(" \t"), last = line.find_last_not_of(" \t");
    e.wanted.emplace_back(first == line.npos ? "" : line.substr(first, last - first + 1));
    start = newline + 1;
  }
  return e;
}

// The lines of a text that ends every line; false if one is unterminated.
bool Split(const std::string& text, std::vector<std::string>& lines) {
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t newline = text.find('\n', start);
    if (newline == std::string::npos) return false;
    lines.push_back(text.substr(start, newline - start));
    start = newline + 1;
  }
  return true;
}

// The block the window's tables give for an accepted text.
std::vector<std::string> Block(const std::string& text, long target, const Expectation& e) {
  engine::InitTable();
  for (const long value : e.excluded) engine::NoneTable[engine::NoneCount++] = double(value);
  TStringList answers(true), needed(true);
  engine::CalcSub(double(target), answers, needed);
  std::vector<std::string> block = {text + " の結果",
                                    "誤差(%)　必要な抵抗１　抵抗２　できた抵抗値"};
  for (int k = 0; k < answers.Count(); ++k) block.push_back(answers.Get(k).ToStdString());
  block.insert(block.end(), {"", "必要な抵抗"});
  for (int k = 0; k < needed.Count(); ++k) block.push_back(needed.Get(k).ToStdString());
  if (e.without) block.insert(block.end(), {"", "持っていない抵抗"});
  for (const long value : e.excluded) {
    char line[engine::kValueLineBuffer];
    block.emplace_back(line, std::size_t(engine::ComposeValueLine(line, double(value))));
  }
  block.emplace_back();
  return block;
}

}  // namespace

std::string Check(const std::vector<std::string>& args, std::string_view input, int status,
                  const std::string& out, const std::string& err) {
  const Expectation e = Expect(args, input);
  std::vector<std::string> outLines, errLines;
  if (!Split(out, outLines) || !Split(err, errLines)) return "an unterminated line";
  if (e.usage) {
    const bool ok = status == 2 && out.empty() && errLines.size() == 2 &&
                    errLines[0].rfind("ohmsift-cli: ", 0) == 0 &&
                    errLines[1] == "Try 'ohmsift-cli --help' for more information.";
    return ok ? "" : "not the usage error due";
  }
  if (e.help || e.version) {
    const char* first = e.help ? "Usage: ohmsift-cli" : "ohmsift-cli " OHMSIFT_VERSION "\n";
    return status == 0 && err.empty() && out.rfind(first, 0) == 0 ? "" : "no help or version";
  }
  std::size_t at = 0, refused = 0;
  for (std::size_t n = 0; n < e.wanted.size(); ++n) {
    const std::string& text = e.wanted[n];
    if (!e.fromArguments && text.empty()) continue;
    if (const std::optional<long> value = fuzz::WantedValue(text)) {
      for (const std::string& line : Block(text, *value, e)) {
        if (at >= outLines.size() || outLines[at++] != line) return "not the block for " + text;
      }
    } else {
      const std::string prefix =
          "ohmsift-cli: " + (e.fromArguments ? "" : "line " + std::to_string(n + 1) + ": ") +
          "refused ";
      if (refused >= errLines.size() || errLines[refused++].rfind(prefix, 0) != 0) {
        return "no refusal of " + text;
      }
    }
  }
  if (at != outLines.size() || refused != errLines.size()) return "more output than due";
  return status == (refused == 0 ? 0 : 1) ? "" : "status " + std::to_string(status);
}

}  // namespace climodel
