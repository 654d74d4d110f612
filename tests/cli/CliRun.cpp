#include "CliRun.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "Version.h"
#include "cli/Cli.h"
#include "cli/Locale.h"

namespace clirun {
namespace {

// The lines of a text, the last one even if unterminated; false if it is.
bool Split(std::string_view text, std::vector<std::string>& lines) {
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t newline = std::min(text.find('\n', start), text.size());
    lines.emplace_back(text.substr(start, newline - start));
    start = newline + 1;
  }
  return text.empty() || text.back() == '\n';
}

long Count(std::string_view text, std::string_view what) {
  long n = 0;
  for (std::size_t at = text.find(what); at != text.npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// A line as a transcript shows it: valid UTF-8 as it is, every other byte, control character,
// byte-order mark and backslash escaped, and a run of more than 16 of one byte as \{count*byte}.
std::string Shown(std::string_view text) {
  std::string shown;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = 1;
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0xC2 && byte <= 0xF4) {  // a UTF-8 character whole, or the byte alone
      length = byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
      const std::string_view c = text.substr(i, length);
      if (c.size() < length || c == "\xEF\xBB\xBF" ||
          std::any_of(c.begin() + 1, c.end(),
                      [](char b) { return (static_cast<unsigned char>(b) & 0xC0) != 0x80; }))
        length = 1;
    }
    char one[8];
    if (length > 1) {
      shown.append(text.substr(i, length));
    } else if (byte == '\\') {
      shown += "\\\\";
    } else if (byte < 0x20 || byte >= 0x7F) {
      std::snprintf(one, sizeof one, "\\x%02x", byte);
      shown += one;
    } else {
      std::size_t run = 1;
      while (i + run < text.size() && text[i + run] == text[i]) ++run;
      if (run > 16) {
        shown += "\\{" + std::to_string(run) + "*" + text[i] + "}";
        length = run;
      } else {
        shown += text[i];
      }
    }
    i += length;
  }
  return shown;
}

// Each line of text behind prefix; a last line without its newline marked so.
std::string Lines(std::string_view prefix, std::string_view text) {
  std::string lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t newline = std::min(text.find('\n', start), text.size());
    lines.append(prefix).append(Shown(text.substr(start, newline - start))).append("\n");
    if (newline == text.size()) lines += "\\ no newline at the end\n";
    start = newline + 1;
  }
  return lines;
}

}  // namespace

Run RunInMemory(const std::vector<std::string>& args, std::string_view input,
                const std::string& locale) {
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LC_CTYPE", "LANG"}) unsetenv(name);
  for (std::size_t start = 0; start < locale.size();) {
    const std::size_t end = std::min(locale.find(' ', start), locale.size());
    const std::string assignment = locale.substr(start, end - start);
    const std::size_t equals = assignment.find('=');
    setenv(assignment.substr(0, equals).c_str(), assignment.substr(equals + 1).c_str(), 1);
    start = end + 1;
  }
  cli::SetUpLocale(OHMSIFT_CLI_CATALOGUES);
  std::vector<std::string> copies(args);  // as main gets them
  std::vector<char*> argv = {const_cast<char*>("ohmsift-cli")};
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::string in(input);
  std::FILE* inFile =
      in.empty() ? std::fopen("/dev/null", "r") : fmemopen(in.data(), in.size(), "r");
  char *out = nullptr, *err = nullptr;
  std::size_t outSize = 0, errSize = 0;
  std::FILE* outFile = open_memstream(&out, &outSize);
  std::FILE* errFile = open_memstream(&err, &errSize);
  const int status = cli::Run(int(argv.size()) - 1, argv.data(), inFile, outFile, errFile);
  for (std::FILE* f : {inFile, outFile, errFile}) std::fclose(f);
  Run run{status, {out, outSize}, {err, errSize}};
  std::free(out);
  std::free(err);
  return run;
}

std::pair<std::vector<std::string>, std::string> Decode(std::string_view bytes) {
  std::vector<std::string> args(bytes.empty() ? 0 : std::uint8_t(bytes[0]) % 16);
  bytes.remove_prefix(!bytes.empty());
  for (std::string& a : args) {
    a = bytes.substr(0, bytes.find('\0'));
    bytes.remove_prefix(std::min(bytes.size(), a.size() + 1));
  }
  return {args, std::string(bytes)};
}

std::string Transcript(const std::vector<std::string>& args, std::string_view input, const Run& run,
                       std::string_view label) {
  std::string t = "=== " + std::string(label) + (label.empty() ? "" : ": ") + "ohmsift-cli";
  for (const std::string& a : args) {
    const bool plain = !a.empty() && a.find_first_of(" '\"\\$`*?;&|<>()#~") == a.npos;
    t += " " + (plain ? Shown(a) : "'" + Shown(a) + "'");
  }
  t += "\n" + Lines("< ", input) + "--- status " + std::to_string(run.status) + "\n" +
       Lines("| ", run.out) + Lines("! ", run.err);
  const std::string version = std::string("ohmsift-cli ") + kVersion + "\n";
  for (std::size_t at; (at = t.find(version)) != t.npos;)
    t.replace(at, version.size(), "ohmsift-cli VERSION\n");
  return t;
}

std::string Check(const std::vector<std::string>& args, std::string_view input, const Run& run) {
  const auto& [status, out, err] = run;
  std::vector<std::string> outLines, errLines;
  if (!Split(out, outLines) || !Split(err, errLines)) return "an unterminated line";
  if (status == 2) {
    const bool usage = out.empty() && errLines.size() == 2 &&
                       errLines[0].rfind("ohmsift-cli: ", 0) == 0 &&
                       errLines[1] == "Try 'ohmsift-cli --help' for more information.";
    const bool utf16 =
        !errLines.empty() &&
        errLines.back() ==
            "ohmsift-cli: standard input is in UTF-16, not UTF-8: give it as UTF-8 text";
    return usage || utf16 ? "" : "not a usage error";
  }
  long refused = 0;
  for (const std::string& line : errLines) {
    if (line.rfind("ohmsift-cli: ", 0) != 0) return "not the program's message: " + line;
    refused += line.find("refused \"") != line.npos;
  }
  if (status != (refused > 0 ? 1 : 0)) return "status " + std::to_string(status);
  const Run again = RunInMemory(args, input);
  if (again.status != status || again.out != out || again.err != err) return "not the same again";
  // Unless the format was chosen, the same in JSON Lines: an object for each block of text (a
  // wanted value's results) and for each refusal, where it prints more than the help.
  if (std::any_of(args.begin(), args.end(),
                  [](const std::string& a) { return a.rfind("--format", 0) == 0; }))
    return {};
  std::vector<std::string> json = args, objects;
  json.insert(json.begin(), "--format=json");
  const Run inJson = RunInMemory(json, input);
  Split(inJson.out, objects);
  const bool objectsOnly = std::all_of(objects.begin(), objects.end(), [](const std::string& o) {
    return o.size() > 1 && o.front() == '{' && o.back() == '}';
  });
  if (inJson.status != status || inJson.err != err ||
      (inJson.out != out &&
       (!objectsOnly || long(objects.size()) != Count(out, "error (%)") + refused)))
    return "not the same in JSON: " + inJson.out.substr(0, 200);
  return {};
}

}  // namespace clirun
