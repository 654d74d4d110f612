#include "cli/Lines.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

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
  std::vector<char> chunk(1 << 16);
  std::string pending;  // a line cut by the end of a chunk
  long number = 0;
  bool skipping = false, first = true;
  const auto hand = [&](std::string_view line, bool cut) {
    if (first && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
    first = false;
    return each(line, ++number, cut);
  };
  for (;;) {
    const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), in);
    if (got == 0) {
      if (std::ferror(in)) return errno != 0 ? errno : EIO;
      break;
    }
    std::string_view rest(chunk.data(), got);
    for (std::size_t newline; (newline = rest.find('\n')) != std::string_view::npos;) {
      const std::string_view piece = rest.substr(0, newline);
      rest.remove_prefix(newline + 1);
      if (skipping) {
        skipping = false;
        continue;
      }
      const bool whole = pending.empty() && piece.size() <= kLongestLine;
      if (!whole) pending.append(piece.substr(0, kLongestLine + 1 - pending.size()));
      const bool cut = pending.size() > kLongestLine;
      if (cut) pending.resize(kLongestLine);
      if (!hand(whole ? piece : std::string_view(pending), cut)) return 0;
      pending.clear();
    }
    if (skipping) continue;
    pending.append(rest.substr(0, kLongestLine + 1 - std::min(pending.size(), kLongestLine + 1)));
    if (pending.size() > kLongestLine) {
      pending.resize(kLongestLine);
      if (!hand(pending, true)) return 0;
      pending.clear();
      skipping = true;
    }
  }
  if (!pending.empty() && !skipping) hand(pending, false);
  return 0;
}

}  // namespace cli
