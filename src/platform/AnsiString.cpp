#include "platform/AnsiString.h"

#include <cstdlib>
#include <cstring>
#include <new>

AnsiString::AnsiString(const char* text) {
  if (text != nullptr) Assign(text, std::strlen(text));
}

AnsiString::AnsiString(const char* data, std::size_t size) {
  if (size != 0) Assign(data, size);
}

AnsiString::AnsiString(const AnsiString& other) noexcept : size_(other.size_), rep_(other.rep_) {
  if (rep_ != nullptr) {
    ++rep_->refs;
  } else {
    std::memcpy(inline_, other.inline_, sizeof inline_);
  }
}

AnsiString::AnsiString(AnsiString&& other) noexcept : size_(other.size_), rep_(other.rep_) {
  if (rep_ == nullptr) std::memcpy(inline_, other.inline_, sizeof inline_);
  other.rep_ = nullptr;
  other.size_ = 0;
  other.inline_[0] = '\0';
}

AnsiString& AnsiString::operator=(const AnsiString& other) noexcept {
  if (this != &other) {
    AnsiString copy(other);
    *this = std::move(copy);
  }
  return *this;
}

AnsiString& AnsiString::operator=(AnsiString&& other) noexcept {
  if (this != &other) {
    Release();
    size_ = other.size_;
    rep_ = other.rep_;
    if (rep_ == nullptr) std::memcpy(inline_, other.inline_, sizeof inline_);
    other.rep_ = nullptr;
    other.size_ = 0;
    other.inline_[0] = '\0';
  }
  return *this;
}

AnsiString::~AnsiString() {
  Release();
}

AnsiString& AnsiString::operator+=(std::string_view tail) {
  if (tail.empty()) return *this;
  std::string joined;
  joined.reserve(size_ + tail.size());
  joined.append(View()).append(tail);
  Release();
  Assign(joined.data(), joined.size());
  return *this;
}

void AnsiString::Assign(const char* data, std::size_t size) {
  size_ = size;
  if (size <= kInline) {
    rep_ = nullptr;
    std::memcpy(inline_, data, size);
    inline_[size] = '\0';
    return;
  }
  void* block = std::malloc(sizeof(Rep) + size);
  if (block == nullptr) throw std::bad_alloc();
  rep_ = static_cast<Rep*>(block);
  rep_->refs = 1;
  std::memcpy(rep_->chars, data, size);
  rep_->chars[size] = '\0';
  inline_[0] = '\0';
}

void AnsiString::Release() noexcept {
  if (rep_ != nullptr && --rep_->refs == 0) std::free(rep_);
  rep_ = nullptr;
  size_ = 0;
  inline_[0] = '\0';
}
