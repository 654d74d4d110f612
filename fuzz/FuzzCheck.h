// What the fuzz targets share with their corpus replayer: a failed check that names the input and
// aborts (a crash to libFuzzer, a failed test to the replayer), and a reader of the input bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace fuzz {

// The file being replayed, when there is one; libFuzzer names its own inputs.
inline const char* currentInput = nullptr;

[[noreturn]] inline void Fail(const char* check, const char* file, int line,
                              const std::string& detail) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, check);
  if (!detail.empty()) std::fprintf(stderr, "  %s\n", detail.c_str());
  if (currentInput != nullptr) std::fprintf(stderr, "  input: %s\n", currentInput);
  std::fflush(stderr);
  std::abort();
}

// Shows a text with its unprintable bytes escaped, for failure messages.
inline std::string Printable(std::string_view text) {
  std::string shown = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '\\' && c != '"') {
      shown += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      shown += escaped;
    }
  }
  return shown + "\"";
}

// The input, consumed from the front; past its end every read gives zero bytes.
class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Empty() const { return size_ == 0; }
  std::uint8_t Next() {
    if (size_ == 0) return 0;
    --size_;
    return *data_++;
  }
  // Up to count bytes (fewer at the end).
  std::string_view Take(std::size_t count) {
    if (count > size_) count = size_;
    const std::string_view taken(reinterpret_cast<const char*>(data_), count);
    data_ += count;
    size_ -= count;
    return taken;
  }
  // The bytes up to the next NUL, which is consumed; the rest when there is none.
  std::string_view TakeUntilNul() {
    std::size_t n = 0;
    while (n < size_ && data_[n] != 0) ++n;
    const std::string_view taken = Take(n);
    Next();
    return taken;
  }
  std::string_view Rest() { return Take(size_); }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

}  // namespace fuzz

#define FUZZ_CHECK(condition, detail)                                         \
  do {                                                                        \
    if (!(condition)) ::fuzz::Fail(#condition, __FILE__, __LINE__, (detail)); \
  } while (false)
