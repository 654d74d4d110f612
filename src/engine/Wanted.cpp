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
  const double v = StrToFloat(text);
  if (!(v > 100.0) || !(v < 1000000.0)) return false;
  value = v;
  return true;
}

}  // namespace engine
