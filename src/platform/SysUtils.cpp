#include "platform/SysUtils.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

#include "platform/Codepage.h"

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A message must stay readable whatever the text held: control bytes are shown as '?', and a long
// text is cut without splitting a double-byte character.
std::string QuoteForMessage(std::string_view text) {
  constexpr std::size_t kShown = 40;
  std::string quoted = "'";
  std::size_t i = 0;
  while (i < text.size() && i < kShown) {
    if (Cp932CharacterLength(text.substr(i)) == 2) {
      if (i + 1 >= kShown) break;
      quoted += text.substr(i, 2);
      i += 2;
    } else {
      const auto byte = static_cast<unsigned char>(text[i]);
      quoted += (byte < 0x20 || byte == 0x7F) ? '?' : text[i];
      ++i;
    }
  }
  if (i < text.size()) quoted += "...";
  quoted += "'";
  return quoted;
}

// Is not a valid number, in the language of the window.
constexpr const char kNotANumber[] = " は正しい数値ではありません。";

[[noreturn]] void Refuse(std::string_view text) {
  static const AnsiString notANumber = Utf8ToCp932(kNotANumber);
  throw EConvertError(AnsiString(QuoteForMessage(text)) + notANumber);
}

}  // namespace

double StrToFloat(const AnsiString& text) {
  const std::string_view all = text.View();
  std::size_t pos = 0;
  while (pos < all.size() && (all[pos] == ' ' || all[pos] == '\t')) ++pos;

  // Checked by hand first: from_chars alone would also take "inf", "nan" and other spellings.
  bool negative = false;
  if (pos < all.size() && (all[pos] == '+' || all[pos] == '-')) negative = all[pos++] == '-';
  const std::size_t number = pos;
  std::size_t digits = 0;
  // Decimal magnitude of the leading significant digit, to tell overflow from underflow.
  long long magnitude = 0;
  bool significant = false;
  while (pos < all.size() && IsDigit(all[pos])) {
    significant = significant || all[pos] != '0';
    if (significant) ++magnitude;
    ++pos, ++digits;
  }
  if (pos < all.size() && all[pos] == '.') {
    ++pos;
    while (pos < all.size() && IsDigit(all[pos])) {
      if (!significant && all[pos] == '0') --magnitude;
      significant = significant || all[pos] != '0';
      ++pos, ++digits;
    }
  }
  if (digits == 0) Refuse(all);
  if (pos < all.size() && (all[pos] == 'e' || all[pos] == 'E')) {
    ++pos;
    bool exponentNegative = false;
    if (pos < all.size() && (all[pos] == '+' || all[pos] == '-'))
      exponentNegative = all[pos++] == '-';
    long long exponent = 0;
    std::size_t exponentDigits = 0;
    while (pos < all.size() && IsDigit(all[pos])) {
      if (exponent < 1000000000) exponent = exponent * 10 + (all[pos] - '0');
      ++pos, ++exponentDigits;
    }
    if (exponentDigits == 0) Refuse(all);
    magnitude += exponentNegative ? -exponent : exponent;
  }
  if (pos != all.size()) Refuse(all);

  double value = 0.0;
  const char* last = all.data() + pos;
  const auto [end, error] =
      std::from_chars(all.data() + number, last, value, std::chars_format::general);
  if (end != last) Refuse(all);
  if (error == std::errc::result_out_of_range) {
    // Too small to hold is zero; too large to hold is no number we can give.
    if (magnitude > 0) Refuse(all);
    value = 0.0;
  } else if (error != std::errc() || !std::isfinite(value)) {
    Refuse(all);
  }
  return negative ? -value : value;
}
