// What the fuzz targets share with their corpus replayer: a failed check that names the input and
// aborts (a crash to libFuzzer, a failed test to the replayer).
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

inline const char* currentInput = "(the fuzzer's)";  // the file being replayed

}  // namespace fuzz

#define FUZZ_CHECK(condition, detail)                                              \
  if (!(condition)) {                                                              \
    std::fprintf(stderr, "line %d: %s\n  %s\n  input: %s\n", __LINE__, #condition, \
                 std::string(detail).c_str(), ::fuzz::currentInput);               \
    std::abort();                                                                  \
  }
