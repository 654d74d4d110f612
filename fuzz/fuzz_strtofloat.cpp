// StrToFloat on any bytes: it accepts exactly the decimal numbers within the range of a double,
// gives each the correctly rounded value to the last bit, and refuses everything else with
// EConvertError and a readable message that quotes the text.
#include <locale.h>

#include <cmath>
#include <cstring>
#include <optional>
#include <string>

#include "FuzzCheck.h"
#include "platform/Codepage.h"
#include "platform/SysUtils.h"

namespace {

// What StrToFloat must give: after leading blanks and tabs, [+-]? (digits [. digits?] | . digits)
// ([eE] [+-]? digits)? and nothing else, read by the C library (correctly rounded) in the "C"
// locale whatever the process's; a value too large for a double is no number.
std::optional<double> ReferenceRead(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  std::size_t i = 0;
  const auto digits = [&] {
    const std::size_t from = i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
    return i - from;
  };
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  std::size_t mantissa = digits();
  if (i < t.size() && t[i] == '.') ++i, mantissa += digits();
  if (mantissa == 0) return std::nullopt;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    if (digits() == 0) return std::nullopt;
  }
  if (i != t.size()) return std::nullopt;
  static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
  const std::string copy(t);
  const double value = strtod_l(copy.c_str(), nullptr, c);
  if (std::isinf(value)) return std::nullopt;
  return value;
}

// The message quotes the text, or its first 40 bytes and "...", with control bytes as '?' and no
// double-byte character (a lead byte 0x81-0x9F or 0xE0-0xFC, a trail 0x40-0x7E or 0x80-0xFC) cut
// in two, and says it is no number, in Japanese.
std::string Message(std::string_view text) {
  const auto in = [&](std::size_t i, int low, int high) {
    return i < text.size() && (unsigned char)text[i] >= low && (unsigned char)text[i] <= high;
  };
  const auto length = [&](std::size_t i) -> std::size_t {
    const bool lead = in(i, 0x81, 0x9F) || in(i, 0xE0, 0xFC);
    return lead && (in(i + 1, 0x40, 0x7E) || in(i + 1, 0x80, 0xFC)) ? 2 : 1;
  };
  std::size_t shown = text.size() > 40 ? 0 : text.size();
  while (shown < text.size() && shown + length(shown) <= 40) shown += length(shown);
  std::string message = "'";
  for (const unsigned char c : text.substr(0, shown))
    message += c < 0x20 || c == 0x7F ? '?' : char(c);
  return message + (shown < text.size() ? "...' " : "' ") +
         "\x82\xcd\x90\xb3\x82\xb5\x82\xa2\x90\x94\x92\x6c\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82\xdc"
         "\x82\xb9\x82\xf1\x81\x42";  // は正しい数値ではありません。
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<double> expected = ReferenceRead(text);
  try {
    const double value = StrToFloat(AnsiString(text));
    FUZZ_CHECK(expected && std::memcmp(&value, &*expected, sizeof value) == 0,
               "read as " + std::to_string(value));
  } catch (const EConvertError& error) {
    // Where the C library has no code page 932 (a cross build's), the Japanese is '?'s.
    static const bool cp932 = Utf8ToCp932("値").View() == "\x92l";
    const std::string due = Message(text), got(error.Message.View());
    FUZZ_CHECK(
        !expected &&
            (cp932 ? got == due : got.substr(0, got.rfind("' ")) == due.substr(0, due.rfind("' "))),
        "refused with " + got);
  }
  return 0;
}
