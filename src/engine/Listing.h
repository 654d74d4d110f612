// The lines a search's pairs are shown as: one result line per pair and one line per distinct
// resistor value the pairs use.
#pragma once

#include <string_view>

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

struct Listing {
  int lineCount = 0;
  Text<kLineBuffer> lines[kMaxPairs];  // " %f  %8ld  %8ld  %8.3f", one per pair, best first
  // The distinct values the pairs use, by whole-ohm figure, each as the search held it (the first
  // met), ascending, with its "%7ld" line.
  int usedCount = 0;
  double used[2 * kMaxPairs];
  Text<kValueLineBuffer> usedLines[2 * kMaxPairs];
};

Listing List(const Sequences& sequences, const SearchResult& found) noexcept;

}  // namespace engine
