// The wanted-value rule on any bytes, decision by decision against its plain statement; a refused
// text leaves the caller's value alone.
#include <string>

#include "FuzzCheck.h"
#include "Oracles.h"
#include "engine/Engine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<long> expected = fuzz::WantedValue(text);
  double value = -1;
  const bool accepted = engine::AcceptWantedText(AnsiString(text), value);
  FUZZ_CHECK(accepted == expected.has_value(), fuzz::Printable(text));
  FUZZ_CHECK(value == (accepted ? static_cast<double>(*expected) : -1), fuzz::Printable(text));
  return 0;
}
