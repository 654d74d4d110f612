// The one reader of lines, for wanted values on standard input and for list files.
#pragma once

#include <cstdio>
#include <functional>
#include <string_view>

namespace cli {

constexpr std::size_t kLongestLine = 65536;

// The text without the blanks and tabs around it, nor a carriage return at its end.
std::string_view Trimmed(std::string_view line) noexcept;

// Hands every line of in (a UTF-8 byte-order mark at the start of each left out, the newline taken
// off, the last line even without one) to each, numbered from 1, until each returns false. A line
// longer than kLongestLine is handed on cut to that length with cut set, and the rest of it is
// skipped: no line can make the reader's memory grow without end. Returns 0, or the errno of a
// read that failed.
int ReadLines(std::FILE* in,
              const std::function<bool(std::string_view line, long number, bool cut)>& each);

}  // namespace cli
