#include "cli/Lines.h"

#include <cerrno>
#include <string>

namespace cli {

std::string_view Trimmed(std::string_view line) noexcept {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!line.empty() && blank(line.front())) line.remove_prefix(1);
  while (!line.empty() && blank(line.back())) line.remove_suffix(1);
  return line;
}

int ReadLines(std::FILE* in,
              const std::function<bool(std::string_view line, long number, bool cut)>& each) {
  std::string line;
  long number = 0;
  const auto hand = [&](bool cut) {
    std::string_view text = line;
    // A byte-order mark starts a file, or, where files were joined, any of its lines.
    ++number;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const bool more = each(text, number, cut);
    line.clear();
    return more;
  };
  // Byte by byte rather than in blocks, so that a line typed at a terminal is answered at once.
  bool skipping = false;  // the rest of a line handed on cut
  for (int c; (c = getc_unlocked(in)) != EOF;) {
    if (c == '\n') {
      if (!skipping && !hand(false)) return 0;
      skipping = false;
    } else if (!skipping) {
      line.push_back(static_cast<char>(c));
      if (line.size() > kLongestLine) {
        line.pop_back();
        if (!hand(true)) return 0;
        skipping = true;
      }
    }
  }
  if (std::ferror(in)) return errno != 0 ? errno : EIO;
  if (!line.empty()) hand(false);
  return 0;
}

}  // namespace cli
