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

std::size_t SortedPlace(const std::vector<AnsiString>& lines, const AnsiString& line) {
  // Lines mostly arrive in order: then the place is the end.
  if (lines.empty() || CompareListLines(lines.back().View(), line.View()) <= 0) return lines.size();
  return static_cast<std::size_t>(std::upper_bound(lines.begin(), lines.end(), line,
                                                   [](const AnsiString& a, const AnsiString& b) {
                                                     return CompareListLines(a.View(), b.View()) <
                                                            0;
                                                   }) -
                                  lines.begin());
}

void CheckListIndex(int index, int count) {
  if (index < 0 || index >= count) {
    throw EListError(AnsiString("List index out of bounds (" + std::to_string(index) + ")"));
  }
}

AnsiString TStringList::Get(int index) const {
  CheckListIndex(index, Count());
  return lines_[static_cast<std::size_t>(index)];
}

int TStringList::Add(const AnsiString& line) {
  const std::size_t place = Sorted ? SortedPlace(lines_, line) : lines_.size();
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(place), line);
  return static_cast<int>(place);
}

void TStringList::Delete(int index) {
  CheckListIndex(index, Count());
  lines_.erase(lines_.begin() + index);
}
