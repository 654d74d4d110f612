#include "platform/Classes.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/Exception.h"

namespace {

std::uint64_t BigEndian64(const char* p) noexcept {
  std::uint64_t x;
  std::memcpy(&x, p, 8);
  if constexpr (std::endian::native == std::endian::little) x = __builtin_bswap64(x);
  return x;
}

std::uint32_t BigEndian32(const char* p) noexcept {
  std::uint32_t x;
  std::memcpy(&x, p, 4);
  if constexpr (std::endian::native == std::endian::little) x = __builtin_bswap32(x);
  return x;
}

}  // namespace

int CompareListLines(std::string_view a, std::string_view b) noexcept {
  const std::size_t common = std::min(a.size(), b.size());
  // Lines mostly differ within their first sixteen bytes: compared as big-endian words, they are
  // ordered without a call to memcmp, which costs more than the comparison (lists are filled on
  // every keystroke). A short line's bytes are taken as two words that overlap: where the first
  // are equal, the overlap is too, and the second decides as its bytes would one by one.
  std::uint64_t x = 0, y = 0;
  std::size_t compared = common;
  if (common >= 8) {
    x = BigEndian64(a.data());
    y = BigEndian64(b.data());
    if (x == y && common >= 16) {
      x = BigEndian64(a.data() + 8);
      y = BigEndian64(b.data() + 8);
    }
    compared = common >= 16 ? 16 : 8;
  } else if (common >= 4) {
    x = std::uint64_t{BigEndian32(a.data())} << 32 | BigEndian32(a.data() + common - 4);
    y = std::uint64_t{BigEndian32(b.data())} << 32 | BigEndian32(b.data() + common - 4);
  } else {
    for (std::size_t i = 0; i < common; ++i) {
      x = x << 8 | static_cast<unsigned char>(a[i]);
      y = y << 8 | static_cast<unsigned char>(b[i]);
    }
  }
  if (x != y) return x < y ? -1 : 1;
  if (compared < common) {
    const int bytes = std::memcmp(a.data() + compared, b.data() + compared, common - compared);
    if (bytes != 0) return bytes;  // memcmp compares as unsigned
  }
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
