// ohmsift-cli's Run on any command line and standard input, in memory, held to what any run must
// be (tests/cli/CliRun.h). Input: the first byte modulo 16 is the number of arguments; that many
// NUL-terminated arguments follow; every remaining byte is standard input. So "\x01" "4700" and a
// NUL run `ohmsift-cli 4700`.
#include "CliRun.h"
#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto [args, input] = clirun::Decode({reinterpret_cast<const char*>(data), size});
  const clirun::Run run = clirun::RunInMemory(args, input);
  const std::string problem = clirun::Check(args, input, run);
  FUZZ_CHECK(problem.empty(), problem + "; " + run.err);
  return 0;
}
