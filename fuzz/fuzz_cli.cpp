// ohmsift-cli's Run on any command line and standard input, in memory, held to what it must print
// (tests/cli/CliModel.h). Input: the first byte modulo 16 is the number of arguments; that many
// NUL-terminated arguments follow; every remaining byte is standard input. So "\x01" "4700" and a
// NUL run `ohmsift-cli 4700`.
#include "CliModel.h"
#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Bytes bytes{{reinterpret_cast<const char*>(data), size}};
  std::vector<std::string> args(bytes.Next() % 16);
  for (std::string& a : args) a = bytes.TakeUntilNul();
  const climodel::Run run = climodel::RunInMemory(args, bytes.rest);
  const std::string problem = climodel::Check(args, bytes.rest, run);
  FUZZ_CHECK(problem.empty(), problem + "; " + fuzz::Printable(run.err));
  return 0;
}
