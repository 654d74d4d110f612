// What the fuzz targets share with their corpus replayer: a failed check that names the input and
// aborts (a crash to libFuzzer, a failed test to the replayer), and a reader of the input bytes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace fuzz {

inline const char* currentInput = "(the fuzzer's)";  // the file being replayed

[[noreturn]] inline void Fail(const char* check, int line, const std::string& detail) {
  std::fprintf(stderr, "line %d: check failed: %s\n  %s\n  input: %s\n", line, check,
               detail.c_str(), currentInput);
  std::abort();
}

// A text with its unprintable bytes escaped, for failure messages.
inline std::string Printable(std::string_view text) {
  std::string shown = "\"";
  for (const char c : text) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(c));
    shown += c >= 0x20 && c < 0x7F && c != '\\' && c != '"' ? std::string(1, c) : escaped;
  }
  return shown + "\"";
}

// The input, consumed from the front; past its end every read gives nothing.
struct Bytes {
  std::string_view rest;
  Bytes(const std::uint8_t* data, std::size_t size)
      : rest(reinterpret_cast<const char*>(data), size) {}
  std::uint8_t Next() { return rest.empty() ? 0 : static_cast<std::uint8_t>(Take(1)[0]); }
  std::string_view Take(std::size_t count) {
    const std::string_view taken = rest.substr(0, count);
    rest.remove_prefix(taken.size());
    return taken;
  }
  // The bytes up to the next NUL, which is consumed; the rest when there is none.
  std::string_view TakeUntilNul() {
    const std::string_view taken = Take(rest.find('\0'));
    Take(1);
    return taken;
  }
};

}  // namespace fuzz

#define FUZZ_CHECK(condition, detail) \
  if (!(condition)) ::fuzz::Fail(#condition, __LINE__, (detail))
