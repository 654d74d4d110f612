// ohmsift-cli run as a separate process, as scripts run it, each run held to what its usage says
// it must do (CliModel.h). What it prints for every whole target is held to a recorded digest
// (sweep_digest.sh).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "CliModel.h"

namespace {

std::string Quote(const std::string& arg) {
  std::string quoted = "'";
  for (const char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string Slurp(const std::string& path) {
  std::stringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  std::remove(path.c_str());
  return text.str();
}

TEST(CliTest, RunsAsItsUsageSays) {
  std::string tooMany = "1", refused = "z", quoted = "\"z";
  for (int v = 2; v <= 201; ++v) tooMany += "," + std::to_string(v);
  for (int i = 0; i < 30; ++i) refused += "あ";
  for (int i = 0; i < 19; ++i) quoted += "あ";  // 58 bytes: the 20th character would pass 60
  struct Row {
    std::vector<std::string> args;
    std::string input = "", output = "", err = "";  // output: a device for standard output;
                                                    // err: a text it holds
    int status = -1;                                // when the model cannot see it
  };
  const std::string dir = ::testing::TempDir() + "ohmsift_cli_" + std::to_string(getpid()) + "_";
  std::ofstream(dir + "stock") << "# the drawer\n4k7, 5k1,5.6k\n\n  62000 \r\n30k\n1M\n";
  std::ofstream(dir + "bad") << "4700\n\n4k7x\n";
  const std::string stock = "@" + dir + "stock";
  const Row rows[] = {
      {{"4700"}},
      {{"--without", "8200,510,5100", "0101", "999999"}},  // 999999 has a block, without pairs
      {{"--without=8200", "--", "-4700", "4700", "--help"}},
      {{}, "  4700 \r\n\n\t101\n"},
      {{}, "4700\nx\x01y\n", "", "ohmsift-cli: line 2: refused \"x?y\": a wanted value is"},
      // A long refused text is cut where a character ends, so that the message stays UTF-8.
      {{refused}, "", "", quoted + "...\""},
      {{"abc", "100", "1000000", "４７００"}},
      {{"--help"}},
      {{"--version", "4700"}},
      {{"--frobnicate", "4700"}},
      {{"4700", "--without"}},
      {{"--without", "0", "4700"}},
      {{"--without=10000000"}},
      {{"--without", "8200,,4700"}},
      {{"--without", tooMany, "4700"}},  // any length: the window's table holds 200
      // Every option against the step-by-step search, and the formats read back.
      {{"--series", "E3", "--count=100", "4700", "150"}},
      {{"--series=e192", "--count", "40", "4700", "101"}},
      {{"--series", "E12", "--tolerance", "0.5", "--format", "csv", "1000", "abc", "999999"}},
      {{"--tolerance", "50", "--count", "100", "--series", "E6", "999"}},
      {{"--tolerance", ".001", "--series", "E48", "101", "60090"}},
      {{"--only", stock, "--without", "5100", "--format=json", "4700", "x\"y"}},
      {{"--only", stock, "4700", "--format", "text", "--", "--x"}},
      {{"--format", "json", "--series", "E96", "--without", "4k7,4.87k,1M"},
       "4700\n\xff\xfe\n\n\t2200\n"},
      {{"--format", "csv"}, "4700\n\"a,b\"\n"},
      {{"--only", "@" + dir + "bad", "4700"}, "", "", "bad\", line 3: \"4k7x\" is not a value"},
      {{"--only", "@" + dir + "none", "4700"}, "", "", "No such file or directory"},
      {{"--without", "@-", "4700"}},
      {{"--tolerance", "50.0001", "4700"}},
      {{"--tolerance", "0.0", "4700"}},
      {{"--count", "101", "4700"}},
      {{"--series", "E5", "4700"}},
      {{"--format", "xml", "4700"}},
      {{"--only", "1", "--only=2", "4700"}},
      {{"--without", "4k7,0R5"}},
      // A full disk must not pass for a listing written, whatever was asked for.
      {{"4700"}, "", "/dev/full", "ohmsift-cli: the output could not be written\n", 3},
      {{"--help"}, "", "/dev/full", "could not be written", 3},
  };
  for (const Row& row : rows) {
    std::ofstream(dir + "in", std::ios::binary) << row.input;
    std::string command = Quote(OHMSIFT_CLI);
#ifdef OHMSIFT_CLI_LAUNCHER
    command = OHMSIFT_CLI_LAUNCHER " " + command;
#endif
    for (const std::string& arg : row.args) command += " " + Quote(arg);
    command += " <" + Quote(dir + "in") + " >" +
               Quote(row.output.empty() ? dir + "out" : row.output) + " 2>" + Quote(dir + "err");
    const int raw = std::system(command.c_str());
    const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    const std::string out = Slurp(dir + "out"), err = Slurp(dir + "err");
    const std::string name = row.args.empty() ? row.input : row.args[0];
    EXPECT_NE(err.find(row.err), std::string::npos) << name << ": " << err;
    if (row.status >= 0) {
      EXPECT_EQ(status, row.status) << name;
    } else {
      EXPECT_EQ(climodel::Check(row.args, row.input, status, out, err), "") << name << ": " << err;
    }
  }
  std::remove((dir + "in").c_str());
}

}  // namespace
