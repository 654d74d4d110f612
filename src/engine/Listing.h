// The lines a search's pairs are shown as: one result line per pair and one line per distinct
// resistor value the pairs use.
#pragma once

#include <string_view>
#include <vector>

#include "engine/Format.h"
#include "engine/Search.h"
#include "engine/Sequences.h"

namespace engine {

template <int capacity>
struct Text {
  char chars[capacity];
  int length;
  std::string_view View() const { return {chars, static_cast<std::size_t>(length)}; }
};

// What a listing writes of each value of a sequence, its column and its line among the values
// used, composed once by whoever keeps the sequences: composed for every line, they were a third
// of a listing's work.
class Columns {
 public:
  explicit Columns(const Sequences& sequences);
  const Column& column(int index) const { return columns_[std::size_t(index)]; }
  const Text<kValueLineBuffer>& line(int index) const { return lines_[std::size_t(index)]; }

 private:
  std::vector<Column> columns_;
  std::vector<Text<kValueLineBuffer>> lines_;
};

struct Listing {
  // The pairs in the order they are shown: ascending printed error (to the six decimals of a
  // line), then ascending first resistor, then ascending second, by whole ohms; pairs alike in
  // all three keep the search's order. Where every error is under 10 %, this is the order in
  // which a list sorting its lines as text shows them.
  int lineCount = 0;
  int order[kMaxPairs];  // the search's index of each pair shown, in that order
  // " %*f  %8ld  %8ld  %8.3f" of errorWidth, one per pair in the search's order: lines[order[k]]
  // is the k-th shown.
  Text<kLineBuffer> lines[kMaxPairs];
  int errorWidth = 0;
  // The distinct values the pairs use, by whole-ohm figure, each as the search held it (the first
  // met), ascending, with its sequence index and its "%7ld" line.
  int usedCount = 0;
  double used[2 * kMaxPairs];
  int usedIndex[2 * kMaxPairs];
  Text<kValueLineBuffer> usedLines[2 * kMaxPairs];
};

// With aligned, where an error prints with two digits before the point, every line's error field
// is widened to nine characters so that the columns stay in line; else lines are as the window's.
// Without lines, only the order and the values used, for one who composes the lines itself.
Listing List(const Sequences& sequences, const Columns& columns, const SearchResult& found,
             bool aligned = false, bool lines = true) noexcept;

}  // namespace engine
