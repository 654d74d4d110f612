// StrToFloat on any bytes: it accepts exactly the decimal numbers within the range of a double,
// gives each the correctly rounded value to the last bit, and refuses everything else with
// EConvertError and a readable message that quotes the text.
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "Oracles.h"
#include "platform/SysUtils.h"

namespace {

std::uint64_t Bits(double x) {
  std::uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
bool IsTrailByte(unsigned char b) {
  return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// The message must quote the text, or its beginning (at most 40 bytes, then "..."), with control
// bytes shown as '?' and no double-byte character cut in two.
void CheckMessage(std::string_view text, std::string_view message) {
  const std::string_view tail = "' is not a valid number";
  FUZZ_CHECK(message.size() >= 1 + tail.size() && message.front() == '\'' &&
                 message.substr(message.size() - tail.size()) == tail,
             fuzz::Printable(message));
  for (const char c : message) {
    const auto b = static_cast<unsigned char>(c);
    FUZZ_CHECK(b >= 0x20 && b != 0x7F, "control byte in " + fuzz::Printable(message));
  }
  std::string_view quoted = message.substr(1, message.size() - 1 - tail.size());
  const bool cut = text.size() > 40;
  if (cut) {
    FUZZ_CHECK(quoted.size() >= 3 && quoted.substr(quoted.size() - 3) == "...",
               fuzz::Printable(message));
    quoted.remove_suffix(3);
    FUZZ_CHECK(quoted.size() == 40 || quoted.size() == 39, fuzz::Printable(message));
  } else {
    FUZZ_CHECK(quoted.size() == text.size(), fuzz::Printable(message));
  }
  for (std::size_t i = 0; i < quoted.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    FUZZ_CHECK(quoted[i] == text[i] || (quoted[i] == '?' && (b < 0x20 || b == 0x7F)),
               fuzz::Printable(message) + " for " + fuzz::Printable(text));
  }
  if (!cut) return;
  // Where the text was cut, a character must end: walk it as double-byte text.
  std::size_t i = 0;
  while (i < quoted.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    const bool pair = IsLeadByte(b) && i + 1 < text.size() &&
                      IsTrailByte(static_cast<unsigned char>(text[i + 1]));
    i += pair ? 2 : 1;
  }
  FUZZ_CHECK(i == quoted.size(), "cut inside a character: " + fuzz::Printable(message));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<double> expected = fuzz::ReferenceRead(text);
  try {
    const double value = StrToFloat(AnsiString(text));
    FUZZ_CHECK(expected.has_value(), "accepted " + fuzz::Printable(text));
    char shown[80];
    std::snprintf(shown, sizeof shown, "%a, expected %a", value, *expected);
    FUZZ_CHECK(Bits(value) == Bits(*expected), fuzz::Printable(text) + " read as " + shown);
  } catch (const EConvertError& error) {
    FUZZ_CHECK(!expected.has_value(), "refused " + fuzz::Printable(text));
    CheckMessage(text, error.Message.View());
  }
  return 0;
}
