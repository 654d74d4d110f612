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
      {{"--without", tooMany, "4700"}},
      // A full disk must not pass for a listing written, whatever was asked for.
      {{"4700"}, "", "/dev/full", "ohmsift-cli: the output could not be written\n", 3},
      {{"--help"}, "", "/dev/full", "could not be written", 3},
  };
  const std::string dir = ::testing::TempDir() + "ohmsift_cli_" + std::to_string(getpid()) + "_";
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
