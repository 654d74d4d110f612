// StrToFloat on any bytes: it accepts exactly the decimal numbers within the range of a double,
// gives each the correctly rounded value to the last bit, and refuses everything else with
// EConvertError and a readable message that quotes the text.
#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "Oracles.h"
#include "platform/Codepage.h"
#include "platform/SysUtils.h"

namespace {

// The message quotes the text, or its first 40 bytes and "...", with control bytes as '?' and no
// double-byte character cut in two.
void CheckMessage(std::string_view text, std::string_view message) {
  const std::string_view tail =
      "' \x82\xcd\x90\xb3\x82\xb5\x82\xa2\x90\x94\x92l\x82\xc5\x82\xcd\x82\xa0"
      "\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81"
      "B";  // は正しい数値ではありません。
  FUZZ_CHECK(message.size() > tail.size() && message.front() == '\'' &&
                 message.substr(message.size() - tail.size()) == tail,
             fuzz::Printable(message));
  std::string_view quoted = message.substr(1, message.size() - 1 - tail.size());
  std::size_t shown = text.size();
  if (text.size() > 40) {
    FUZZ_CHECK(quoted.size() >= 3 && quoted.substr(quoted.size() - 3) == "...",
               fuzz::Printable(message));
    quoted.remove_suffix(3);
    shown = 0;  // up to where the last whole character within 40 bytes ends
    while (shown + Cp932CharacterLength(text.substr(shown)) <= 40) {
      shown += Cp932CharacterLength(text.substr(shown));
    }
  }
  FUZZ_CHECK(quoted.size() == shown, fuzz::Printable(message));
  for (std::size_t i = 0; i < quoted.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    FUZZ_CHECK(quoted[i] == (b < 0x20 || b == 0x7F ? '?' : text[i]), fuzz::Printable(message));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<double> expected = fuzz::ReferenceRead(text);
  try {
    const double value = StrToFloat(AnsiString(text));
    FUZZ_CHECK(expected && std::memcmp(&value, &*expected, sizeof value) == 0,
               fuzz::Printable(text) + " read as " + std::to_string(value));
  } catch (const EConvertError& error) {
    FUZZ_CHECK(!expected, "refused " + fuzz::Printable(text));
    CheckMessage(text, error.Message.View());
  }
  return 0;
}
