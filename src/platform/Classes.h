// Line lists of the class library: the abstract TStrings that a list box exposes as its Items, and
// TStringList, the same thing held in memory.
#pragma once

#include <string_view>
#include <vector>

#include "platform/AnsiString.h"

// The order of a sorted list: byte by byte, so a blank comes before the digits and right-aligned
// numbers of equal width come in numeric order; a shorter line before a longer one it begins.
int CompareListLines(std::string_view a, std::string_view b) noexcept;

// Where line goes among sorted lines: after any equal lines, so that equal lines keep the order
// they came in.
std::size_t SortedPlace(const std::vector<AnsiString>& lines, const AnsiString& line);

// Raises EListError unless a list of count lines has a line at index.
void CheckListIndex(int index, int count);

class TStrings {
 public:
  virtual ~TStrings() = default;

  virtual int Count() const = 0;
  // The line at index; raises EListError when there is no such line.
  virtual AnsiString Get(int index) const = 0;
  // Adds a line (in its sorted place where the list is sorted) and returns its index.
  virtual int Add(const AnsiString& line) = 0;
  // Removes the line at index; later lines move up by one. Raises EListError when there is none.
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;

  AnsiString operator[](int index) const { return Get(index); }
};

class TStringList : public TStrings {
 public:
  explicit TStringList(bool sorted = false) : Sorted(sorted) {}

  int Count() const override { return static_cast<int>(lines_.size()); }
  AnsiString Get(int index) const override;
  int Add(const AnsiString& line) override;
  void Delete(int index) override;
  void Clear() override { lines_.clear(); }

  const bool Sorted;

 private:
  std::vector<AnsiString> lines_;
};
