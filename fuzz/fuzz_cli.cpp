// ohmsift-cli's Run on any command line and standard input, in memory, held to what its usage says
// it must do (tests/cli/CliModel.h). Input: the first byte modulo 16 is the number of arguments;
// that many NUL-terminated arguments follow; every remaining byte is standard input. So "14700"
// and a NUL run `ohmsift-cli 4700`.
#include <cstdlib>
#include <string>
#include <vector>

#include "CliModel.h"
#include "FuzzCheck.h"
#include "cli/Cli.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Bytes bytes(data, size);
  std::vector<std::string> args(bytes.Next() % 16);
  for (std::string& a : args) a = bytes.TakeUntilNul();
  std::string input(bytes.rest);
  std::vector<char*> argv = {const_cast<char*>("ohmsift-cli")};
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  std::FILE* in =
      input.empty() ? std::fopen("/dev/null", "r") : fmemopen(input.data(), input.size(), "r");
  char *out = nullptr, *err = nullptr;
  std::size_t outSize = 0, errSize = 0;
  std::FILE* outFile = open_memstream(&out, &outSize);
  std::FILE* errFile = open_memstream(&err, &errSize);
  const int status = cli::Run(static_cast<int>(argv.size()) - 1, argv.data(), in, outFile, errFile);
  for (std::FILE* f : {in, outFile, errFile}) std::fclose(f);
  const std::string problem =
      climodel::Check(args, input, status, std::string(out, outSize), std::string(err, errSize));
  FUZZ_CHECK(problem.empty(), problem + "; " + fuzz::Printable(std::string(err, errSize)));
  std::free(out);
  std::free(err);
  return 0;
}
