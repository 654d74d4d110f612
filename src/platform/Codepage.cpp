#include "platform/Codepage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>

namespace {

bool IsAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// One converter per direction, opened on first use; opening is far dearer than converting.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (Usable()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool Usable() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts text; an input sequence the target cannot hold, or that is not valid input, becomes
  // '?' and conversion goes on after it. skip tells how many input bytes such a sequence takes.
  template <class Skip>
  std::string Run(std::string_view text, Skip skip) const {
    std::string out;
    if (!Usable()) {
      for (const char c : text) out += static_cast<unsigned char>(c) < 0x80 ? c : '?';
      return out;
    }
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char buffer[256];
    char* in = const_cast<char*>(text.data());  // iconv's interface is not const-correct
    std::size_t inLeft = text.size();
    while (inLeft > 0) {
      char* dst = buffer;
      std::size_t dstLeft = sizeof buffer;
      const std::size_t done = iconv(cd_, &in, &inLeft, &dst, &dstLeft);
      out.append(buffer, static_cast<std::size_t>(dst - buffer));
      if (done != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
      // EILSEQ or EINVAL: an unmappable character or a broken or truncated sequence.
      const std::size_t n = std::min(inLeft, skip(std::string_view(in, inLeft)));
      out += '?';
      in += n;
      inLeft -= n;
    }
    return out;
  }

 private:
  iconv_t cd_;
};

std::size_t Utf8SequenceLength(std::string_view rest) {
  const auto lead = static_cast<unsigned char>(rest[0]);
  std::size_t n = 1;
  if (lead >= 0xF0) {
    n = 4;
  } else if (lead >= 0xE0) {
    n = 3;
  } else if (lead >= 0xC0) {
    n = 2;
  }
  // Stop early at a byte that cannot continue the sequence, so no following character is lost.
  std::size_t i = 1;
  while (i < n && i < rest.size() && (static_cast<unsigned char>(rest[i]) & 0xC0) == 0x80) ++i;
  return i;
}

}  // namespace

std::size_t Cp932CharacterLength(std::string_view text) noexcept {
  const auto lead = static_cast<unsigned char>(text[0]);
  const bool doubleByte = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
  if (!doubleByte || text.size() < 2) return 1;
  const auto trail = static_cast<unsigned char>(text[1]);
  return (trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC) ? 2 : 1;
}

std::string Cp932ToUtf8(const AnsiString& text) {
  if (IsAscii(text.View())) return text.ToStdString();
  thread_local const Converter decoder("UTF-8", "CP932");
  return decoder.Run(text.View(), Cp932CharacterLength);
}

AnsiString Utf8ToCp932(std::string_view utf8) {
  if (IsAscii(utf8)) return AnsiString(utf8);
  thread_local const Converter encoder("CP932", "UTF-8");
  return AnsiString(encoder.Run(utf8, Utf8SequenceLength));
}
