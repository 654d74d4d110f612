// The wanted-value rule on any bytes, decision by decision against its plain statement: a text is
// accepted exactly when it is non-empty, made of ASCII digits only, with at most 7 significant
// digits and a value strictly between 100 and 1,000,000; then it gives that value exactly, and
// when it is refused it leaves the caller's value alone.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "Oracles.h"
#include "engine/Engine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<long> expected = fuzz::WantedValue(text);
  constexpr double kUntouched = -12345.5;
  double value = kUntouched;
  const bool accepted = engine::AcceptWantedText(AnsiString(text), value);
  FUZZ_CHECK(accepted == expected.has_value(),
             (accepted ? "accepted " : "refused ") + fuzz::Printable(text));
  if (accepted) {
    FUZZ_CHECK(value == static_cast<double>(*expected),
               fuzz::Printable(text) + " gave " + std::to_string(value));
  } else {
    FUZZ_CHECK(value == kUntouched, fuzz::Printable(text) + " changed the value when refused");
  }
  return 0;
}
