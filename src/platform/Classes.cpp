#include "platform/Classes.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/Exception.h"

int CompareListLines(std::string_view a, std::string_view b) noexcept {
  const std::size_t common = std::min(a.size(), b.size());
  // Lines mostly differ within their first eight bytes: compared as one big-endian word, they are
  // ordered without a call to memcmp, which costs more than the comparison (lists are filled on
  // every keystroke).
  if (common >= 8) {
    std::uint64_t x, y;
    std::memcpy(&x, a.data(), 8);
    std::memcpy(&y, b.data(), 8);
    if (x != y) {
      if constexpr (std::endian::native == std::endian::little) {
        x = __builtin_bswap64(x);
        y = __builtin_bswap64(y);
      }
      return x < y ? -1 : 1;
    }
  }
  const int bytes = std::memcmp(a.data(), b.data(), common);  // memcmp compares as unsigned
  if (bytes != 0) return bytes;
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

AnsiString TStringList::Get(int index) const {
  CheckIndex(index);
  return lines_[static_cast<std::size_t>(index)];
}

int TStringList::Add(const AnsiString& line) {
  if (!Sorted) {
    lines_.push_back(line);
    return Count() - 1;
  }
  // Lines mostly arrive in order: then the place is the end.
  if (lines_.empty() || CompareListLines(lines_.back().View(), line.View()) <= 0) {
    lines_.push_back(line);
    return Count() - 1;
  }
  // After any equal lines, so that equal lines keep the order they came in.
  const auto place = std::upper_bound(lines_.begin(), lines_.end(), line,
                                      [](const AnsiString& a, const AnsiString& b) {
                                        return CompareListLines(a.View(), b.View()) < 0;
                                      });
  return static_cast<int>(lines_.insert(place, line) - lines_.begin());
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  lines_.erase(lines_.begin() + index);
}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) {
    throw EListError(AnsiString("List index out of bounds (" + std::to_string(index) + ")"));
  }
}
