// ohmsift-cli run as a separate process, as scripts run it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

std::string Quote(const std::string& arg) {
  std::string quoted = "'";
  for (const char c : arg) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// With output given, standard output goes there instead of to a file read back.
Outcome Cli(const std::vector<std::string>& args, const std::string& input = "",
            const std::string& output = "") {
  // Named per process: CTest runs the cases side by side.
  const std::string dir = ::testing::TempDir() + "ohmsift_cli_" + std::to_string(getpid()) + "_";
  const std::string in = dir + "in", out = dir + "out", err = dir + "err";
  std::ofstream(in, std::ios::binary) << input;
  std::string command = Quote(OHMSIFT_CLI);
#ifdef OHMSIFT_CLI_LAUNCHER
  command = OHMSIFT_CLI_LAUNCHER " " + command;
#endif
  for (const std::string& arg : args) command += " " + Quote(arg);
  command += " <" + Quote(in) + " >" + Quote(output.empty() ? out : output) + " 2>" + Quote(err);
  const int raw = std::system(command.c_str());
  Outcome outcome{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(out), ReadFile(err)};
  for (const std::string& path : {in, out, err}) std::remove(path.c_str());
  return outcome;
}

const char kHeading[] = "誤差(%)　必要な抵抗１　抵抗２　できた抵抗値\n";

// The lines themselves are the engine's, checked there; here, the block around them.
TEST(CliTest, ListsOneBlockPerValue) {
  const Outcome run = Cli({"4700"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  std::vector<std::string> lines;
  std::istringstream text(run.out);
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 2u + 15u + 2u + 22u + 1u);
  EXPECT_EQ(lines[0], "4700 の結果");
  EXPECT_EQ(lines[1] + "\n", kHeading);
  EXPECT_EQ(lines[2], " 0.044326      8200     11000  4697.917");
  EXPECT_EQ(lines[16], " 1.863080      5600     33000  4787.565");
  EXPECT_EQ(lines[17], "");
  EXPECT_EQ(lines[18], "必要な抵抗");
  EXPECT_EQ(lines[19], "   5100");
  EXPECT_EQ(lines[40], "  75000");
  EXPECT_EQ(lines[41], "");
}

TEST(CliTest, ExcludedValuesAreLeftOutAndListed) {
  const Outcome run = Cli({"--without", "8200,510,5100", "0101", "999999"});
  EXPECT_EQ(run.status, 0);
  const std::string notOwned = "\n持っていない抵抗\n    510\n   5100\n   8200\n\n";
  // A value with no pair still prints its caption, heading and the closing lines.
  const std::string empty = std::string("999999 の結果\n") + kHeading + "\n必要な抵抗\n" + notOwned;
  ASSERT_GE(run.out.size(), empty.size());
  EXPECT_EQ(run.out.substr(run.out.size() - empty.size()), empty);
  EXPECT_EQ(run.out.rfind("0101 の結果\n", 0), 0u);
  EXPECT_EQ(run.out.find("     510"), std::string::npos);
  EXPECT_EQ(Cli({"--without=8200", "4700"}).out.find("\n 0.263183      5100     62000  4712.370\n"),
            Cli({"4700"}).out.find("\n 0.044326"));
}

TEST(CliTest, ReadsValuesFromStandardInput) {
  const Outcome lines = Cli({}, "  4700 \r\n\n\t101\n4700");
  const Outcome args = Cli({"4700", "101", "4700"});
  EXPECT_EQ(lines.status, 0);
  EXPECT_EQ(lines.out, args.out);
}

TEST(CliTest, RefusedValuesAreNamedAndTheRestListed) {
  struct Case {
    std::vector<std::string> args;
    std::string input;
    std::vector<std::string> named;
  };
  const std::vector<Case> cases = {
      {{"abc", "4700", "100", "1000000"}, "", {"\"abc\"", "\"100\"", "\"1000000\""}},
      {{"4700.5", " 4700", "１０１"}, "", {"\"4700.5\"", "\" 4700\"", "\"１０１\""}},
      {{}, "4700\nx\x01y\n0100\n", {"line 2: refused \"x?y\"", "line 3: refused \"0100\""}},
      {{"--", "-4700"}, "", {"\"-4700\""}},
  };
  for (const Case& c : cases) {
    const Outcome run = Cli(c.args, c.input);
    EXPECT_EQ(run.status, 1) << run.err;
    for (const std::string& name : c.named) {
      EXPECT_NE(run.err.find(name), std::string::npos) << name << " in " << run.err;
    }
    EXPECT_NE(run.err.find("greater than 100 and less than 1000000"), std::string::npos);
  }
  EXPECT_NE(Cli({"abc", "4700"}).out.find("4700 の結果\n"), std::string::npos);
}

// A long refused text is cut where a character ends, so that the message stays UTF-8.
TEST(CliTest, ACutQuotationKeepsWholeCharacters) {
  std::string text = "z", shown = "\"z";
  for (int i = 0; i < 30; ++i) text += "あ";
  for (int i = 0; i < 19; ++i) shown += "あ";  // 58 bytes: the 20th character would pass 60
  const Outcome run = Cli({text});
  EXPECT_NE(run.err.find(shown + "...\""), std::string::npos) << run.err;
}

TEST(CliTest, UsageErrorsListNothing) {
  std::string tooMany;
  for (int v = 1; v <= 201; ++v) tooMany += (v > 1 ? "," : "") + std::to_string(v);
  const std::vector<std::vector<std::string>> cases = {
      {"--frobnicate", "4700"},       {"--without"},
      {"4700", "--without", "82x0"},  {"--without", ""},
      {"--without", "8200,"},         {"--without", "10000000", "4700"},
      {"--without", tooMany, "4700"}, {"-x"},
  };
  for (const std::vector<std::string>& args : cases) {
    const Outcome run = Cli(args);
    EXPECT_EQ(run.status, 2) << args[0];
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("ohmsift-cli: "), std::string::npos);
  }
  // Repeated values count once.
  std::string repeated = "8200";
  for (int i = 0; i < 300; ++i) repeated += ",8200";
  EXPECT_EQ(Cli({"--without", repeated, "4700"}).status, 0);
}

TEST(CliTest, HelpDescribesTheUsage) {
  const Outcome run = Cli({"--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("Usage: ohmsift-cli [--without LIST] [WANTED...]", 0), 0u);
}

// A full disk must not pass for a listing written, whatever was asked for.
TEST(CliTest, OutputThatCannotBeWrittenIsAFailure) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"4700"}, {"--help"}, {"--without", "8200", "4700", "150"}}) {
    const Outcome run = Cli(args, "", "/dev/full");
    EXPECT_EQ(run.status, 3) << args[0];
    EXPECT_EQ(run.err, "ohmsift-cli: the output could not be written\n") << args[0];
  }
}

TEST(CliTest, SurvivesLongAndBinaryInput) {
  std::string input(1 << 20, '7');
  input += "\n";
  for (int b = 0; b < 256; ++b) input += static_cast<char>(b);
  input += "\n4700\n";
  const Outcome run = Cli({}, input);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("4700 の結果"), std::string::npos);
  EXPECT_LT(run.err.size(), 1000u);
}

}  // namespace
