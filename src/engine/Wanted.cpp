#include <algorithm>
#include <string_view>

#include "engine/Engine.h"
#include "platform/SysUtils.h"

namespace engine {

bool AcceptWantedText(const AnsiString& text, double& value) {
  if (text.IsEmpty()) return false;
  // Plain ASCII digits only: no blank, sign, point or exponent, and no byte of a double-byte
  // character (those are all 0x80 or above), so full-width digits are refused too.
  for (const char c : text.View()) {
    if (c < '0' || c > '9') return false;
  }
  // A text of digits too long for a double would make the conversion fail; such a text is far
  // out of range anyway.
  const std::string_view digits = text.View();
  const std::size_t significant =
      digits.size() - std::min(digits.find_first_not_of('0'), digits.size());
  if (significant > 7) return false;
  const double v = StrToFloat(text);
  if (!(v > 100.0) || !(v < 1000000.0)) return false;
  value = v;
  return true;
}

}  // namespace engine
