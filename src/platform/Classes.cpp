#include "platform/Classes.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/Exception.h"

int CompareListLines(std::string_view a, std::string_view b) noexcept {
  const std::size_t common = std::min(a.size(), b.size());
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
