// What the fuzz targets share with their corpus replayer: a failed check that names the input and
// aborts (a crash to libFuzzer, a failed test to the replayer).
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace fuzz {

inline const char* currentInput = "(the fuzzer's)";  // the file being replayed

// A text with its unprintable bytes escaped, for failure messages.
inline std::string Printable(std::string_view text) {
  std::string shown = "\"";
  for (const char c : text) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, c >= 0x20 && c < 0x7F ? "%c" : "\\x%02x", c & 0xFF);
    shown += escaped;
  }
  return shown + "\"";
}

}  // namespace fuzz

#define FUZZ_CHECK(condition, detail)                                              \
  if (!(condition)) {                                                              \
    std::fprintf(stderr, "line %d: %s\n  %s\n  input: %s\n", __LINE__, #condition, \
                 std::string(detail).c_str(), ::fuzz::currentInput);               \
    std::abort();                                                                  \
  }
