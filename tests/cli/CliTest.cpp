// ohmsift-cli on a table of command lines: every option's bad values and the refusals, each run
// held to the status and message the table gives and to what any run must be (CliRun.h), and with
// every byte it printed to the transcript recorded under expected/, as is every input of the fuzz
// target's corpus; then as a separate process by process.sh, and what it prints for every whole
// target to recorded digests by sweep_digest.sh.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <tuple>

#include "CliRun.h"

namespace {

// A transcript held to the one recorded under tests/cli/expected/: on a difference, the first case
// that differs and its first line that does. With OHMSIFT_RECORD=1 it is recorded instead, for
// git diff to show.
void ExpectRecorded(const std::string& name, const std::string& transcript) {
  const std::string path = std::string(OHMSIFT_CLI_EXPECTED) + "/" + name;
  if (const char* record = std::getenv("OHMSIFT_RECORD"); record && std::string(record) == "1") {
    std::ofstream(path, std::ios::binary) << transcript;
    return;
  }
  std::ifstream in(path, std::ios::binary);
  const std::string recorded(std::istreambuf_iterator<char>(in), {});
  if (recorded == transcript) return;
  std::istringstream want(recorded), got(transcript);
  std::string wanted, line, heading;
  for (int number = 1;; ++number) {
    const bool more = bool(std::getline(want, wanted)), gotMore = bool(std::getline(got, line));
    if (gotMore && line.rfind("=== ", 0) == 0) heading = line;
    if (!more || !gotMore || wanted != line) {
      ADD_FAILURE() << path << ", line " << number << ", in the case\n  " << heading
                    << "\nrecorded: " << (more ? wanted : "(the end)")
                    << "\nprinted:  " << (gotMore ? line : "(the end)")
                    << "\nIf the change is meant, record it again with OHMSIFT_RECORD=1 and read "
                       "git diff.";
      return;
    }
  }
}

TEST(CliTest, EveryOptionAndFormat) {
  // A folder with a long name and spaces, as a user's home may have: no message cuts a file name.
  const std::string dir = ::testing::TempDir() + "ohmsift cli " + std::to_string(getpid()) +
                          std::string(80, 'x') + "/";
  std::filesystem::create_directories(dir);
  std::ofstream(dir + "stock") << "\xEF\xBB\xBF# the drawer\n4k7, 5k1,5.6k,\n\n  62000 \r\n  # 1M\n30k,,1M\n";
  std::ofstream(dir + "bad") << "4700\n\n4k7x\n";
  std::ofstream(dir + "long") << "4700" << std::string(65532, ' ') << "\n";  // as long as a line may be
  for (const int n : {2000, 2001}) {
    std::ofstream many(dir + std::to_string(n));
    for (int v = 1; v <= n; ++v) many << v << "k\n";
  }
  const std::string stock = "@" + dir + "stock";
  std::string refused = "z", quoted = "\"z";
  for (int i = 0; i < 30; ++i) refused += "あ";
  for (int i = 0; i < 19; ++i) quoted += "あ";  // 58 bytes: the 20th character would pass 60
  // Arguments, standard input, status, and a text the output or the messages must hold.
  const std::tuple<std::vector<std::string>, std::string, int, std::string> rows[] = {
      // Runs that print: the status and the messages; what they print is the model's (and the
      // corpus of the command line's fuzz target holds many more, replayed by every build).
      {{"--without=8200", "--", "-4700", "4700", "--help"}, "", 1, "refused \"-4700\""},
      {{}, "\xEF\xBB\xBF" "4700\nx\x01y\n", 1, "ohmsift-cli: line 2: refused \"x?y\": a wanted value is"},
      {{refused}, "", 1, quoted + "...\""},  // cut where a character ends: UTF-8 still
      {{std::string(57, 'x') + "😀y"}, "", 1, std::string(57, 'x') + "...\""},
      {{"--format=json"}, "4k7\\\n", 1, "{\"input\":\"4k7\\\\\","},
      {{}, std::string(65533, '0') + "4700\n4700\n", 1, std::string(60, '0') + "...\": a line holds at most 65536 bytes"},
      {{"--only", stock, "--without", "5100", "--format=json", "4700", "x\"y"}, "", 1, "\"series\":null"},
      {{"--only", stock, "--series", "e24", "4700", "--format", "Text", "--", "--x"}, "", 1, ""},
      // Best first past 10 %, and the columns kept in line.
      {{"--tolerance", "50", "--count", "100", "--format", "CSV", "4700"}, "", 0, "deviation_percent,error"},
      {{"--tolerance=50", "--series=E6", "470"}, "", 0, "\n  6.382979      1000      1000   500.000\n 10.520095"},
      {{"--only", "2200", "--tolerance", "10", "1000"}, "", 0, "\n 10.000000      2200      2200  1100.000\n"},
      // A drawer is not a series: exactly its values, in both roles, named when a series leaves
      // them out; any value a kit holds.
      {{"--only", "1M,470k", "--tolerance", "10", "--format=csv", "320000"}, "", 0, ",470000,1000000,"},
      {{"--only", "4k8,9k6", "4700", "2000"}, "", 0, "no pair within 5 % for 1 of 2 wanted values; these pairs reach at most 4800 Ω"},
      {{"--series", "E192", "--only", "5k1,62k,4k75", "4700"}, "", 0, "not E192 values, so not used: 5k1, 62k\n"},
      {{"--only=10M,4R7,2R2,0R22,R47,1G,0,12.5k,1k02,2M2", "--without=2r2,", "--format=json", "4700"}, "", 0, "0.22,0.47"},
      {{"--only", "4700,4700.4,10k", "--format=json", "3197"}, "", 0, "\"needed\":[4700,10000]"},  // the first met
      {{"--only", "@" + dir + "2000", "--count=2", "995000"}, "", 0, "必要な抵抗\n1989000\n1990000\n1991000\n"},
      {{"--only", "@" + dir + "long", "4700"}, "", 0, "these pairs reach at most 2350 Ω"},
      {{"--format=csv", "100", "999999"}, "", 1, "\"100\",,,,,\"a wanted value is"},
      {{"--format=csv"}, std::string("a\0\xff\n", 4), 1, "\"a\xEF\xBF\xBD\xEF\xBF\xBD\",,,,,\""},
      {{"--format=json"}, "x\x1fy\n", 1, "{\"input\":\"x\\u001fy\""},
      // Networks: each format checked by hand, their JSON by the model.
      {{"--parts", "3", "--count=2", "4k7", "0R5"}, "", 0, " +0.000000        4700.000  1  4k7\n +0.000000        4700.000  2  1k1 + 3k6\n\n0R5 の結果\n誤差(%)　できた抵抗値　抵抗の数　つなぎ方\n +0.000000        0.500000  2  1R || 1R\n"},
      {{"--parts=2", "--only", "4k7,10k,22k", "--format=csv", "14700", "x", "1k"}, "", 1, "wanted,network,parts,value,deviation_percent,error\n14700,4k7 + 10k,2,14700,0,\n\"x\",,,,,\"a wanted value is a resistance from 0.01 Ω to 1 GΩ, in digits or as on a schematic, such as 4700, 4k7, 12.5k or 0R5\"\n1000,,,,,\n"},
      {{"--parts", "3", "--only", "100,200,300", "--range=0R1-1k", "--format=json", "--count", "1", "220"}, "", 0, "\"range\":[0.1,1000],\"networks\":[{\"text\":\"100R + (200R || 300R)\",\"parts\":3,\"value\":220,\"deviation_percent\":0,\"tree\":{\"series\":[100,{\"parallel\":[200,300]}]}}]"},
      {{"--parts", "1", "--without", "0R99", "1R"}, "", 0, "  1  1R\n"},
      {{"--parts", "1", "--range", "1k-1k", "1k"}, "", 0, "  1  1k\n"},
      {{"--parts", "1", "--without", "2M2,10M", "2M2", "10M"}, "", 0, "for 2 of 2 wanted values; these networks reach from 1 Ω to 9100000 Ω"},
      {{"--parts", "2", "--connect", "series", "--only", "1k,2k", "--tolerance", "1", "100"}, "", 0, "reach from 1000 Ω to 4000 Ω"},
      {{"--parts", "2", "100"}, "", 0, "\n +0.000000         100.000  1  100R\n"},
      {{"--parts", "2", "--series", "E3", "--range", "11R-12R", "4700"}, "", 2, "--range \"11R-12R\" leaves no value"},
      {{"--connect", "series", "4700"}, "", 2, "--connect narrows a search for networks: it needs --parts"},
      {{"--parts", "2", "--range=1M-10k", "4700"}, "", 2, "--range \"1M-10k\": the low end 1M is above the high end 10k"},
      // Each malformed option or list entry, named.
      {{"--frobnicate", "4700"}, "", 2, "unknown option \"--frobnicate\""},
      {{"4700", "--series"}, "", 2, "ohmsift-cli: --series needs a value\nTry"},
      {{"--without", "4.,4.7k5", "4700"}, "", 2, "\"4.\" is not a value"},
      {{"--without=1m"}, "", 2, "\"1m\" is not a value"},
      {{"--without=0R001"}, "", 2, "\"0R001\" is not a value"},
      {{"--without=2G"}, "", 2, "\"2G\" is not"},
      {{"--without", "R,k7x"}, "", 2, "\"R\" is not"},
      {{"--only", ", ,"}, "", 2, "--only: the list holds no value"},
      {{"--only", "@" + dir + "2001", "4700"}, "", 2, "--only: at most 2000 different values"},
      {{"--only", "@" + dir + "bad", "4700"}, "", 2, dir + "bad\", line 3: \"4k7x\" is not a value"},
      {{"--only", "@" + dir + "none", "4700"}, "", 2, dir + "none\": No such file or directory"},
      {{"--only", "@" + dir, "4700"}, "", 2, "Is a directory"},
      {{"--without", "@-", "4700"}, "", 2, "standard input holds the wanted values"},
      {{"--only", "@", "4700"}, "", 2, "--only \"@\": no file name after @"},
      {{"--only", "@/dev/zero"}, "", 2, "line 1: longer than"},
      {{"--tolerance", "50.0001", "4700"}, "", 2, "--tolerance takes"},
      {{"--tolerance", "50.000000000000000001", "4700"}, "", 2, "--tolerance takes"},  // 50.0 read
      {{"--tolerance", "49.99999999999999999", "4700"}, "", 0, "11000  4697.917"},  // 50.0 read
      {{"--tolerance", "0.0", "4700"}, "", 2, "--tolerance takes"},
      {{"--tolerance", "-1", "4700"}, "", 2, "--tolerance takes"},
      {{"--count", "101", "4700"}, "", 2, "--count takes a whole number from 1 to 100"},
      {{"--count", "0", "4700"}, "", 2, "--count takes"},
      {{"--series", "E5", "4700"}, "", 2, "--series takes E3, E6, E12, E24, E48, E96 or E192"},
      {{"--format", "xml", "4700"}, "", 2, "--format takes text, csv or json"},
      {{"--only", "1", "--only=2", "4700"}, "", 2, "--only may be given only once"},
      {{"--help=x"}, "", 2, "unknown option"},
      {{"-h"}, "", 0, "  -h, --help"},
  };
  std::string transcript;
  // The folder's name, which holds the process id, as DIR/ in the transcript.
  const auto dirless = [&dir](std::string text) {
    for (std::size_t at; (at = text.find(dir)) != std::string::npos;) text.replace(at, dir.size(), "DIR/");
    return text;
  };
  for (const auto& [args, input, status, err] : rows) {
    const clirun::Run run = clirun::RunInMemory(args, input);
    const std::string name = (args.empty() ? input : args[0]) + ": " + run.err;
    EXPECT_EQ(run.status, status) << name;
    EXPECT_NE((run.out + run.err).find(err), std::string::npos) << name;
    EXPECT_EQ(clirun::Check(args, input, run), "") << name;
    std::vector<std::string> shownArgs;
    for (const std::string& a : args) shownArgs.push_back(dirless(a));
    transcript += clirun::Transcript(shownArgs, input, {run.status, dirless(run.out), dirless(run.err)});
  }
  std::filesystem::remove_all(dir);
  // Every byte of it, as recorded.
  ExpectRecorded("rows.txt", transcript);
}

// Every input of the fuzz target's corpus: what any run must be, and every byte of what it printed,
// as recorded when a model of every line agreed (which stated the grammar, the search step by step
// and each format afresh).
TEST(CliTest, EveryCorpusInput) {
  std::vector<std::filesystem::path> files(
      std::filesystem::directory_iterator(OHMSIFT_CLI_CORPUS), {});
  std::sort(files.begin(), files.end());
  std::string transcript;
  for (const std::filesystem::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    const auto [args, input] = clirun::Decode(std::string(std::istreambuf_iterator<char>(in), {}));
    const clirun::Run run = clirun::RunInMemory(args, input);
    EXPECT_EQ(clirun::Check(args, input, run), "") << file;
    transcript += clirun::Transcript(args, input, run, file.filename().string());
  }
  EXPECT_GT(files.size(), 100u);
  ExpectRecorded("corpus.txt", transcript);
}

}  // namespace
