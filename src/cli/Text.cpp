#include "cli/Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "cli/Locale.h"

namespace cli {

std::string ValidUtf8(std::string_view text) {
  std::string valid;
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    std::size_t length = byte == 0                      ? 0
                         : byte < 0x80                  ? 1
                         : byte >= 0xC2 && byte <= 0xDF ? 2
                         : byte >= 0xE0 && byte <= 0xEF ? 3
                         : byte >= 0xF0 && byte <= 0xF4 ? 4
                                                        : 0;
    for (std::size_t k = 1; k < length; ++k) {
      const unsigned next = i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0;
      // No overlong forms, surrogates or values beyond U+10FFFF.
      const unsigned low = k == 1 && byte == 0xE0 ? 0xA0 : k == 1 && byte == 0xF0 ? 0x90 : 0x80;
      const unsigned high = k == 1 && byte == 0xED ? 0x9F : k == 1 && byte == 0xF4 ? 0x8F : 0xBF;
      if (next < low || next > high) length = 0;
    }
    valid.append(length == 0 ? std::string_view("\xEF\xBF\xBD") : text.substr(i, length));
    i += length == 0 ? 1 : length;
  }
  return valid;
}

std::string Quoted(std::string_view text, bool whole) {
  constexpr std::size_t kShown = 60;
  std::size_t shown = whole ? text.size() : std::min(text.size(), kShown);
  const auto continuation = [&](std::size_t i) {
    return (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
  };
  // Back to the first byte of a character cut in two; at most three bytes back, so that a text
  // that is no UTF-8 is still shown.
  for (std::size_t back = 0; shown < text.size() && back < 3 && continuation(shown); ++back) {
    --shown;
  }
  if (shown < text.size() && continuation(shown)) shown = std::min(text.size(), kShown);
  std::string quoted;
  for (const char c : Local(text.substr(0, shown))) {
    const auto byte = static_cast<unsigned char>(c);
    quoted += (byte < 0x20 || byte == 0x7F) ? '?' : c;
  }
  return "\"" + quoted + (shown < text.size() ? "...\"" : "\"");
}

std::string Number(double x) {
  char text[400];  // the longest fixed form of a double
  return {text,
          std::to_chars(text, text + sizeof text, x == 0 ? 0.0 : x, std::chars_format::fixed).ptr};
}

std::string Schematic(double ohms) {
  // The shortest decimal that reads back as the value, its point then moved by whole thousands.
  const std::string fixed = Number(ohms);
  const std::size_t point = fixed.find('.');
  std::string whole = fixed.substr(0, point);
  std::string fraction = point == fixed.npos ? "" : fixed.substr(point + 1);
  int unit = 0;
  while (unit < 3 && whole.size() > std::size_t(3 * (unit + 1))) ++unit;
  fraction = whole.substr(whole.size() - std::size_t(3 * unit)) + fraction;
  whole.resize(whole.size() - std::size_t(3 * unit));
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  return whole + "RkMG"[unit] + fraction;
}

std::string Figure(double x) {
  if (!std::isfinite(x) || x == 0) return Number(x);
  // As many decimals as leave six significant digits, the rounding done by printf.
  const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(x))));
  char text[400];
  std::snprintf(text, sizeof text, "%.*f", std::max(0, 5 - magnitude), x);
  std::string figure = text;
  if (figure.find('.') != figure.npos) {
    while (figure.back() == '0') figure.pop_back();
    if (figure.back() == '.') figure.pop_back();
  }
  return figure;
}

namespace {
constexpr std::pair<int, const char*> kPrefixes[] = {
    {-12, "p"}, {-9, "n"}, {-6, "\u00B5"}, {-3, "m"}, {0, ""}, {3, "k"}, {6, "M"}};
}  // namespace

int PrefixPower(double x) {
  int chosen = 0;
  for (const auto& [power, name] : kPrefixes) {
    if (std::fabs(x) >= std::pow(10.0, power)) chosen = power;
  }
  return x == 0 ? 0 : chosen;
}

std::string Prefixed(double x, int power) {
  const auto* prefix = std::find_if(std::begin(kPrefixes), std::end(kPrefixes),
                                    [&](const auto& p) { return p.first == power; });
  return Figure(x / std::pow(10.0, power)) + " " + prefix->second;
}

std::string Prefixed(double x) { return Prefixed(x, PrefixPower(x)); }

}  // namespace cli
