// The class library's 8-bit string. Its bytes are in code page 932 (Shift-JIS); conversion to
// and from Unicode happens only where text meets the toolkit.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class AnsiString {
 public:
  AnsiString() noexcept = default;
  AnsiString(const char* text);  // NOLINT(google-explicit-constructor): literals read naturally
  AnsiString(const char* data, std::size_t size);
  explicit AnsiString(std::string_view text) : AnsiString(text.data(), text.size()) {}
  AnsiString(const AnsiString& other) noexcept;
  AnsiString(AnsiString&& other) noexcept;
  AnsiString& operator=(const AnsiString& other) noexcept;
  AnsiString& operator=(AnsiString&& other) noexcept;
  ~AnsiString();

  const char* c_str() const noexcept { return rep_ ? rep_->chars : inline_; }
  const char* data() const noexcept { return c_str(); }
  std::size_t Length() const noexcept { return size_; }
  bool IsEmpty() const noexcept { return size_ == 0; }
  std::string_view View() const noexcept { return {c_str(), size_}; }
  std::string ToStdString() const { return std::string(View()); }

  AnsiString& operator+=(std::string_view tail);
  AnsiString& operator+=(const AnsiString& tail) { return *this += tail.View(); }
  AnsiString& operator+=(const char* tail) { return *this += std::string_view(tail); }
  friend AnsiString operator+(AnsiString head, std::string_view tail) { return head += tail; }
  friend AnsiString operator+(AnsiString head, const AnsiString& tail) { return head += tail; }
  friend AnsiString operator+(AnsiString head, const char* tail) { return head += tail; }

  friend bool operator==(const AnsiString& a, const AnsiString& b) { return a.View() == b.View(); }
  friend bool operator!=(const AnsiString& a, const AnsiString& b) { return !(a == b); }
  friend bool operator==(const AnsiString& a, const char* b) { return a.View() == b; }
  friend bool operator!=(const AnsiString& a, const char* b) { return !(a == b); }

 private:
  // Every list line fits inline, so filling a list does not touch the heap; longer texts share
  // one reference-counted buffer between copies.
  static constexpr std::size_t kInline = 47;
  struct Rep {
    std::size_t refs;
    char chars[1];
  };
  void Assign(const char* data, std::size_t size);
  void Release() noexcept;

  std::size_t size_ = 0;
  Rep* rep_ = nullptr;
  char inline_[kInline + 1] = {};
};
