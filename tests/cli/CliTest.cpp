// ohmsift-cli on a table of command lines: every option's bad values and the refusals, each run
// held to the status and message the table gives and to what it must print (CliModel.h), which
// also holds every option and format in the fuzz target's corpus, replayed by every build; then as
// a separate process by process.sh, and what it prints for every whole target to recorded digests
// by sweep_digest.sh.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <tuple>

#include "CliModel.h"

namespace {

TEST(CliTest, EveryOptionAndFormat) {
  const std::string dir = ::testing::TempDir() + "ohmsift_cli_" + std::to_string(getpid()) + "_";
  std::ofstream(dir + "stock") << "# the drawer\n4k7, 5k1,5.6k\n\n  62000 \r\n30k\n1M\n";
  std::ofstream(dir + "bad") << "4700\n\n4k7x\n";
  const std::string stock = "@" + dir + "stock";
  std::string refused = "z", quoted = "\"z";
  for (int i = 0; i < 30; ++i) refused += "あ";
  for (int i = 0; i < 19; ++i) quoted += "あ";  // 58 bytes: the 20th character would pass 60
  // Arguments, standard input, status, and a text the output or the messages must hold.
  const std::tuple<std::vector<std::string>, std::string, int, std::string> rows[] = {
      // Runs that print: the status and the messages; what they print is the model's (and the
      // corpus of the command line's fuzz target holds many more, replayed by every build).
      {{"--without=8200", "--", "-4700", "4700", "--help"}, "", 1, "refused \"-4700\""},
      {{}, "4700\nx\x01y\n", 1, "ohmsift-cli: line 2: refused \"x?y\": a wanted value is"},
      {{refused}, "", 1, quoted + "...\""},  // cut where a character ends: UTF-8 still
      {{"--only", stock, "--without", "5100", "--format=json", "4700", "x\"y"}, "", 1, ""},
      {{"--only", stock, "4700", "--format", "text", "--", "--x"}, "", 1, ""},
      // What the parser makes of lists and names, which the model takes as it is.
      // clang-format off
      {{"--series=e96", "--only=100r,4k7", "--without=8200,8k2,8200", "--format=json", "4700"}, "", 0,
       "\"without\":[8200],\"only\":[100,4700]}"},
      // clang-format on
      {{"--format=json"}, "x\x1fy\n", 1, "{\"input\":\"x\\u001fy\""},
      {{"--format=json"}, "\xff\n", 1, "{\"input\":\"\\ufffd\""},
      // Each malformed option or list entry, named.
      {{"--frobnicate", "4700"}, "", 2, "unknown option \"--frobnicate\""},
      {{"4700", "--without"}, "", 2, "--without needs a value"},
      {{"--without", "0", "4700"}, "", 2, "\"0\" in \"0\" is not a value"},
      {{"--without=10000000"}, "", 2, "\"10000000\" in"},
      {{"--without", "8200,,4700"}, "", 2, "\"\" in \"8200,,4700\" is not a value"},
      {{"--without", "4k7,1R5,4.7,k7,4.,4.7k5,1m"}, "", 2, "\"1R5\" in"},
      {{"--only", "@" + dir + "bad", "4700"}, "", 2, "bad\", line 3: \"4k7x\" is not a value"},
      {{"--only", "@" + dir + "none", "4700"}, "", 2, "No such file or directory"},
      {{"--without", "@-", "4700"}, "", 2, "standard input holds the wanted values"},
      {{"--only", "@/dev/zero"}, "", 2, "line 1: longer than"},
      {{"--tolerance", "50.0001", "4700"}, "", 2, "--tolerance takes"},
      {{"--tolerance", "50.000000000000000001", "4700"}, "", 2, "--tolerance takes"},  // 50.0 read
      {{"--tolerance", "0.0", "4700"}, "", 2, "--tolerance takes"},
      {{"--tolerance", "-1", "4700"}, "", 2, "--tolerance takes"},
      {{"--count", "101", "4700"}, "", 2, "--count takes a whole number from 1 to 100"},
      {{"--count", "0", "4700"}, "", 2, "--count takes"},
      {{"--series", "E5", "4700"}, "", 2, "--series takes E3, E6, E12, E24, E48, E96 or E192"},
      {{"--format", "xml", "4700"}, "", 2, "--format takes text, csv or json"},
      {{"--only", "1", "--only=2", "4700"}, "", 2, "--only may be given only once"},
  };
  for (const auto& [args, input, status, err] : rows) {
    const climodel::Run run = climodel::RunInMemory(args, input);
    const std::string name = (args.empty() ? input : args[0]) + ": " + run.err;
    EXPECT_EQ(run.status, status) << name;
    EXPECT_NE((run.out + run.err).find(err), std::string::npos) << name;
    EXPECT_EQ(climodel::Check(args, input, run), "") << name;
  }
}

}  // namespace
