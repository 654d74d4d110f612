// ohmsift-cli on a table of command lines: every option, its bad values, the formats, each run held
// to what it must print (CliModel.h) and to the status and message the table gives; then as a
// separate process by process.sh, and what it prints for every whole target to a recorded digest
// by sweep_digest.sh.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "CliModel.h"

namespace {

TEST(CliTest, EveryOptionAndFormat) {
  const std::string dir = ::testing::TempDir() + "ohmsift_cli_" + std::to_string(getpid()) + "_";
  std::ofstream(dir + "stock") << "# the drawer\n4k7, 5k1,5.6k\n\n  62000 \r\n30k\n1M\n";
  std::ofstream(dir + "bad") << "4700\n\n4k7x\n";
  std::string tooMany = "1", refused = "z", quoted = "\"z";
  for (int v = 2; v <= 201; ++v) tooMany += "," + std::to_string(v);
  for (int i = 0; i < 30; ++i) refused += "あ";
  for (int i = 0; i < 19; ++i) quoted += "あ";  // 58 bytes: the 20th character would pass 60
  struct Row {
    std::vector<std::string> args;
    std::string input;
    int status;
    std::string err = "";  // a text the messages must hold
  };
  const Row rows[] = {
      {{"4700"}, "", 0},
      {{"--without", "8200,510,5100", "0101", "999999"}, "", 0},  // a block without pairs too
      {{"--without=8200", "--", "-4700", "4700", "--help"}, "", 1, "refused \"-4700\""},
      {{}, "  4700 \r\n\n\t101\n", 0},
      {{}, "4700\nx\x01y\n", 1, "ohmsift-cli: line 2: refused \"x?y\": a wanted value is"},
      {{refused}, "", 1, quoted + "...\""},  // cut where a character ends: UTF-8 still
      {{"abc", "100", "1000000", "４７００"}, "", 1},
      {{"--help"}, "", 0},
      {{"--version", "4700"}, "", 0},
      {{"--without", tooMany, "4700"}, "", 0},  // any length: the window's table holds 200
      {{"--series", "E3", "--count=100", "4700", "150"}, "", 0},
      {{"--series=e192", "--count", "40", "4700", "101"}, "", 0},
      {{"--series", "E12", "--tolerance", "0.5", "--format", "csv", "1000", "abc", "999999"},
       "",
       1},
      {{"--tolerance", "50", "--count", "100", "--series", "E6", "999"}, "", 0},
      {{"--tolerance", ".001", "--series", "E48", "101", "60090"}, "", 0},
      {{"--only", "@" + dir + "stock", "--without", "5100", "--format=json", "4700", "x\"y"},
       "",
       1},
      {{"--only", "@" + dir + "stock", "4700", "--format", "text", "--", "--x"}, "", 1},
      {{"--format", "json", "--series", "E96", "--without", "4k7,4.87k,1M"},
       "4700\n\xff\xfe\n\n\t2200\n",
       1},
      {{"--format", "csv"}, "4700\n\"a,b\"\n", 1},
      {{"--without", "1k02,100R,0004k7,4700.000,9999999", "1000"}, "", 0},
      // Each malformed option or list entry, named.
      {{"--frobnicate", "4700"}, "", 2, "unknown option \"--frobnicate\""},
      {{"4700", "--without"}, "", 2, "--without needs a value"},
      {{"--without", "0", "4700"}, "", 2, "\"0\" in \"0\" is not a value"},
      {{"--without=10000000"}, "", 2, "\"10000000\" in"},
      {{"--without", "8200,,4700"}, "", 2, "\"\" in \"8200,,4700\" is not a value"},
      {{"--without", "4k7,0R5,4.7,k7,4.,4.7k5,1m"}, "", 2, "\"0R5\" in"},
      {{"--only", "@" + dir + "bad", "4700"}, "", 2, "bad\", line 3: \"4k7x\" is not a value"},
      {{"--only", "@" + dir + "none", "4700"}, "", 2, "No such file or directory"},
      {{"--without", "@-", "4700"}, "", 2, "standard input holds the wanted values"},
      {{"--only", "@/dev/zero"}, "", 2, "line 1: longer than"},
      {{"--tolerance", "50.0001", "4700"}, "", 2, "--tolerance takes"},
      {{"--tolerance", "0.0", "4700"}, "", 2, "--tolerance takes"},
      {{"--tolerance", "-1", "4700"}, "", 2, "--tolerance takes"},
      {{"--count", "101", "4700"}, "", 2, "--count takes a whole number from 1 to 100"},
      {{"--count", "0", "4700"}, "", 2, "--count takes"},
      {{"--series", "E5", "4700"}, "", 2, "--series takes E3, E6, E12, E24, E48, E96 or E192"},
      {{"--format", "xml", "4700"}, "", 2, "--format takes text, csv or json"},
      {{"--only", "1", "--only=2", "4700"}, "", 2, "--only may be given only once"},
  };
  for (const Row& row : rows) {
    const std::string name = row.args.empty() ? row.input : row.args[0];
    const climodel::Run run = climodel::RunInMemory(row.args, row.input);
    EXPECT_EQ(run.status, row.status) << name << ": " << run.err;
    EXPECT_NE(run.err.find(row.err), std::string::npos) << name << ": " << run.err;
    EXPECT_EQ(climodel::Check(row.args, row.input, run), "") << name << ": " << run.err;
  }
}

}  // namespace
