// ohmsift-cli on a table of command lines: every option's bad values and the refusals, each run
// held to the status and message the table gives and to what any run must be (CliRun.h), and with
// every byte it printed to the transcript recorded under expected/, as is every input of the fuzz
// target's corpus; then as a separate process by process.sh, and what it prints for every whole
// target to recorded digests by sweep_digest.sh.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <tuple>

#include "CliRun.h"
#include "cli/Options.h"

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
  std::ofstream(dir + "stock") << "\xEF\xBB\xBF# the drawer\n4k7, 5k1,5.6k,\n\n  62000  # last\r\n  # 1M\n30k,,1M\n";
  std::ofstream(dir + "bag") << "4k7\u03A9;10kohm\t22k\u2126 ; 1K0Ohm\n";  // as a spreadsheet saves it
  std::ofstream(dir + "utf16") << std::string("\xFF\xFE" "4\0" "7\0" "0\0" "0\0" "\n\0", 12);
  std::ofstream(dir + "nested") << "4k7\n@bag\n";
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
  const std::tuple<std::string, std::vector<std::string>, std::string, int, std::string> rows[] = {
      // Runs that print: the status and the messages; what they print is the model's (and the
      // corpus of the command line's fuzz target holds many more, replayed by every build).
      {"", {"--without=8200", "--", "-4700", "4700", "--help"}, "", 1, "refused \"-4700\""},
      {"", {}, "\xEF\xBB\xBF" "4700\nx\x01y\n", 1, "ohmsift-cli: line 2: refused \"x?y\": a wanted value is"},
      {"", {refused}, "", 1, quoted + "...\""},  // cut where a character ends: UTF-8 still
      {"", {std::string(57, 'x') + "😀y"}, "", 1, std::string(57, 'x') + "...\""},
      {"", {"--format=json"}, "4k7\\\n", 1, "{\"input\":\"4k7\\\\\","},
      {"", {}, std::string(65533, '0') + "4700\n4700\n", 1, std::string(60, '0') + "...\": a line holds at most 65536 bytes"},
      {"", {"--only", stock, "--without", "5100", "--format=json", "4700", "x\"y"}, "", 1, "\"series\":null"},
      {"", {"--only", stock, "--series", "e24", "4700", "--format", "Text", "--", "--x"}, "", 1, ""},
      // Best first past 10 %, and the columns kept in line.
      {"", {"--tolerance", "50", "--count", "100", "--format", "CSV", "4700"}, "", 0, "deviation_percent,error"},
      {"", {"--tolerance=50", "--series=E6", "470"}, "", 0, "\n  6.382979      1000      1000   500.000\n 10.520095"},
      {"", {"--only", "2200", "--tolerance", "10", "1000"}, "", 0, "\n 10.000000      2200      2200  1100.000\n"},
      // A drawer is not a series: exactly its values, in both roles, named when a series leaves
      // them out; any value a kit holds.
      {"", {"--only", "1M,470k", "--tolerance", "10", "--format=csv", "320000"}, "", 0, ",470000,1000000,"},
      {"", {"--only", "4k8,9k6", "4700", "2000"}, "", 0, "no pair within 5 % for 1 of 2 wanted values; these pairs reach from 2400 Ω to 4800 Ω"},
      {"", {"--only", "12k,1M", "12340"}, "", 0, "reach from 6000 Ω to 500000 Ω, with both resistors above the wanted value (every parallel pair: --parts 2 --connect parallel --spread any)"},
      {"", {"--series", "E24", "--only", "1M,1M1,4k3", "--tolerance", "10", "520000"}, "", 0, "--only: above 910k, the largest second resistor of a pair, so not used: 1M, 1M1\n"},
      {"", {"--only", "1M,1M1", "--series", "E24", "520000"}, "", 0, "; the lists leave no value that a pair can use"},
      {"", {"--without", "4k8,5k1,0R5", "4700"}, "", 0, "--without: not E24 values, so not left out: 4k8, 0R5\n"},
      {"", {"--only", "4k7,10k", "--without", "5k1,10k", "4700"}, "", 0, "--without: not among the --only values, so not left out: 5k1\n"},
      {"", {"4k7", "12.34k", "04700.000", "4k7\u03A9", "1M", "4.7005k", "100R"}, "", 1, "Results for 12.34k\n"},  // written as lists are, when whole
      {"", {}, "# targets\n4700, 5k1 # two\n\n62000;\t4k7\n", 0, "Results for 62000\n"},  // standard input as a list file
      {"", {}, "4700 5100\n", 1, "line 1: refused \"4700 5100\": a blank is no part of a value"},
      {"", {}, "a\xff\x80" "b\n", 1, "refused \"a\xEF\xBF\xBD\xEF\xBF\xBD" "b\": "},  // raw bytes quoted as UTF-8
      {"", {}, std::string("\xFF\xFE" "4\0" "7\0\n\0", 8), 2, "standard input is in UTF-16, not UTF-8"},
      {"", {"--only", "1M", "--tolerance", "10", "--format=csv", "500000"}, "", 0, "500000,1000000,1000000,500000,0,\n"},  // no exponent
      {"", {"--only", "@" + dir + "stock,@" + dir + "bag,1k5", "--format=json", "4700"}, "", 0, "\"only\":[1000,1500,4700,5100,5600,10000,22000,30000,62000,1000000]"},
      {"", {"--series", "E192", "--only", "5k1,62k,4k75", "4700"}, "", 0, "not E192 values, so not used: 5k1, 62k\n"},
      {"", {"--only=10M,4R7,2R2,0R22,R47,1G,0,12.5k,1k02,2M2", "--without=2r2,", "--format=json", "4700"}, "", 0, "0.22,0.47"},
      {"", {"--only", "4700,4700.4,10k", "--format=json", "3197"}, "", 0, "\"needed\":[4700,10000]"},  // the first met
      {"", {"--only", "@" + dir + "2000", "--count=2", "995000"}, "", 0, "resistors needed\n1989000\n1990000\n1991000\n"},
      {"", {"--only", "@" + dir + "long", "4700"}, "", 0, "these pairs reach from 2350 Ω to 2350 Ω"},
      {"", {"--format=csv", "100", "999999"}, "", 1, "\"100\",,,,,\"a wanted value is"},
      {"", {"--format=csv"}, std::string("a\0\xff\n", 4), 1, "\"a\xEF\xBF\xBD\xEF\xBF\xBD\",,,,,\""},
      {"", {"--format=json"}, "x\x1fy\n", 1, "{\"input\":\"x\\u001fy\""},
      // Networks: each format checked by hand, their JSON by the model.
      {"", {"--parts", "3", "--count=2", "4k7", "0R5"}, "", 0, " +0.000000        4700.000  1  4k7\n +0.000000        4700.000  2  1k1 + 3k6\n\nResults for 0R5\n error (%)           value  n  network\n +0.000000        0.500000  2  1R || 1R\n"},
      {"", {"--parts=2", "--only", "4k7,10k,22k", "--format=csv", "14700", "x", "1k"}, "", 1, "wanted,network,parts,value,deviation_percent,error\n14700,4k7 + 10k,2,14700,0,\n\"x\",,,,,\"a wanted value is a resistance from 0.01 Ω to 1 GΩ, in digits or as on a schematic, such as 4700, 4k7, 12.5k or 0R5\"\n1000,,,,,\n"},
      {"", {"--parts", "3", "--only", "100,200,300", "--range=0R1-1k", "--format=json", "--count", "1", "220"}, "", 0, "\"range\":[0.1,1000],\"networks\":[{\"text\":\"100R + (200R || 300R)\",\"parts\":3,\"value\":220,\"deviation_percent\":0,\"tree\":{\"series\":[100,{\"parallel\":[200,300]}]}}]"},
      {"", {"--parts", "1", "--without", "0R99", "1R"}, "", 0, "  1  1R\n"},
      {"", {"--parts", "1", "--range", "1k-1k", "1k"}, "", 0, "  1  1k\n"},
      {"", {"--parts", "1", "--without", "2M2,10M", "2M2", "10M"}, "", 0, "for 2 of 2 wanted values; these networks reach from 0.1 Ω to 9100000 Ω"},
      {"", {"--parts", "3", "0.01", "1G"}, "", 0, "these networks reach from 0.0333333 Ω to 30000000 Ω\n"},
      // Each series value as its decimal, from 0.1 ohm to 10 megohms: alone it comes first.
      {"", {"--parts", "3", "--count=1", "--format=csv", "220", "820k", "4k7", "1R", "10M", "0R1"}, "", 0, "220,220R,1,220,0,\n820000,820k,1,820000,0,\n4700,4k7,1,4700,0,\n1,1R,1,1,0,\n10000000,10M,1,10000000,0,\n0.1,0R1,1,0.1,0,\n"},
      {"", {"--parts", "2", "--series", "E192", "--count=1", "--format=json", "10R6"}, "", 0, "\"networks\":[{\"text\":\"10R6\",\"parts\":1,\"value\":10.6,\"deviation_percent\":0,"},
      {"", {"--parts", "2", "--count=1", "0R05"}, "", 0, " +0.000000       0.0500000  2  0R1 || 0R1\n"},
      // The spread, and fewer different values first.
      {"", {"--parts", "3", "--connect", "parallel", "--only", "5k,10k,15k,30k", "--tolerance=1", "--count=3", "3333.333"}, "", 0, "  2  5k || 10k\n +0.000010        3333.333  3  10k || 10k || 10k\n +0.000010        3333.333  3  5k || 15k || 30k\n"},
      {"", {"--parts", "2", "--only", "100,22k", "--count=3", "--format=csv", "99.5"}, "", 0, "deviation_percent,error\n99.5,100R,1,100,0.5025125628140703,\n"},
      {"", {"--parts", "2", "--only", "100,22k", "--spread", "ANY", "--count=3", "--format=csv", "99.5"}, "", 0, "99.5,100R || 22k,2,99.5475113122172,"},
      {"", {"--parts", "3", "--series", "E96", "--tolerance", "0.1", "--count=3", "--spread=10", "--format=json", "3.3333k"}, "", 0, "\"spread\":10,"},
      {"", {"--parts", "1", "--only", "1G", "--format=json", "1G"}, "", 0, "\"value\":1000000000,"},
      {"", {"--parts", "2", "--connect", "series", "--only", "1k,2k", "--tolerance", "1", "100"}, "", 0, "reach from 1000 Ω to 4000 Ω"},
      {"", {"--parts", "2", "100"}, "", 0, "\n +0.000000         100.000  1  100R\n"},
      {"", {"--parts", "2", "--series", "E3", "--range", "11R-12R", "4700"}, "", 2, "--range \"11R-12R\" leaves no value"},
      {"", {"--connect", "series", "4700"}, "", 2, "--connect narrows a search for networks or ratios: it needs --parts, --divider, --feedback, --adjust or --ratio"},
      // Ratios: each formula, sources and currents as MIN:TYP:MAX, totals, limits, a stock list.
      {"", {"--divider", "12", "--total", "10k-100k", "--count=3", "3V3", "0.5", "12", "-1", "0"}, "", 1, "3V3 out of a divider fed by 12 V\n error (%)      output         low        high    low %  high %              R1              R2  n  R1 + R2\n -0.027465     3.29909     3.06515     3.54381   -7.117  +7.388             24k             9k1  2     33k1\n"},
      {"", {"--feedback", "0.788:0.8:0.812", "--series", "E96", "--count=2", "--format=csv", "5"}, "", 0, "wanted,r1,r2,parts,value,deviation_percent,low,high,total,error\n5,10k5,2k,2,5,0,"},
      {"", {"--adjust", "1.25", "--pin-current", "40u:50u:100u", "--total", "1k-10k", "--count=2", "--format=json", "9"}, "", 0, "\"formula\":\"adjust\",\"source\":[1.25,1.25,1.25],\"pin_current\":[0.00004,0.00005,0.0001],"},
      {"", {"--ratio", "--series", "E192", "--parts", "3", "--connect", "parallel", "--count=3", "9", "1e3"}, "", 1, "R1 / R2 = 9\n"},
      {"", {"--divider=-12", "--part-tolerance", "0.1", "--within=-3.31--3.29", "--count=2", "--", "-3V3"}, "", 0, "-3V3 out of a divider fed by -12 V\n"},
      {"", {"--divider", "5", "--only", "1k,2k,3k3,4k7,10k", "--parts", "4", "--spread", "any", "--tolerance", "0.1", "--count=3", "3.3", "4.999"}, "", 0, "no result within 0.1 % for 1 of 2 wanted values, with R1 + R2 from 1000 Ω to 1000000 Ω"},
      {"", {"--divider", "1", "--range", "1k-10k", "--count=1", "--format=json", "0.5"}, "", 0, "\"results\":[{\"r1\":1100,\"r2\":1100,\"value\":0.5,"},
      {"", {"--feedback", "0.6", "0.5", "6.1"}, "", 1, "refused \"0.5\": a regulator's output lies beyond its reference VREF, on the same side of 0"},
      {"", {"--ratio", "0", "-2", "x"}, "", 1, "refused \"-2\": a ratio R1 / R2 is above 0"},
      {"", {"--divider", "12", "--ratio", "5"}, "", 2, "--divider and --ratio: a search takes one of --divider, --feedback, --adjust and --ratio"},
      {"", {"--divider", "12", "--parts", "1", "5"}, "", 2, "--parts 1 leaves R2 without a resistor: a ratio search takes 2 to 4 parts"},
      {"", {"--divider", "12", "--pin-current", "1u", "5"}, "", 2, "--pin-current is a regulator's: it needs --feedback or --adjust"},
      {"", {"--feedback", "0.8", "--pin-current", "0:0:1u", "--count=1", "5"}, "", 0, "5 out of a regulator with 800 mV at its feedback pin and 0 \u00B5A (0 to 1) into it\n"},
      {"", {"--feedback", "0.812:0.8:0.788", "5"}, "", 2, "--feedback \"0.812:0.8:0.788\": MIN, TYP and MAX must not descend"},
      {"", {"--within", "1-2", "4700"}, "", 2, "--within belongs to a ratio search: it needs --divider, --feedback, --adjust or --ratio"},
      {"", {"--divider", "12", "--total", "1M-1k", "5"}, "", 2, "--total \"1M-1k\": the low end 1M is above the high end 1k"},
      {"", {"--divider", "-1:1:2", "5"}, "", 2, "the source must not be or cross 0 V"},
      {"", {"--ratio=1", "5"}, "", 2, "--ratio takes no value"},
      {"", {"--divider", "12", "--within", "3.4-3.2", "3"}, "", 2, "--within \"3.4-3.2\": the low end is above the high end"},
      {"", {"--divider", "12", "--total", "0-1G", "3"}, "", 2, "--total \"0-1G\": R1 + R2 is above 0"},
      {"", {"--divider", "12", "--within", "3.299-3.301", "3V3"}, "", 0, "whose worst case lies from 3.299 to 3.301 for 1 of 1 wanted values"},
      {"", {"--divider", "2p", "1p", "0.5p"}, "", 1, "refused \"0.5p\": a wanted value is a voltage from 1p to 1G in size"},
      {"", {"--ratio", "--count=3", "--format=csv", "0.001", "10"}, "", 0, "0.001,10R,10k,2,0.001,0,"},  // equal results by R1
      {"", {}, "4700\n\xEF\xBB\xBF" "5100\n", 0, "Results for 5100\n"},  // files joined
      {"", {"--parts", "2", "--range=1M-10k", "4700"}, "", 2, "--range \"1M-10k\": the low end 1M is above the high end 10k"},
      {"", {"--spread", "10", "4700"}, "", 2, "--spread narrows a search for networks or ratios: it needs --parts"},
      {"", {"--parts", "2", "--spread", "0.99", "4700"}, "", 2, "--spread takes a ratio of at least 1, such as 10 or 100, or any, not \"0.99\""},
      {"", {"--parts", "2", "--spread", "1e3", "4700"}, "", 2, "--spread takes"},
      {"", {"--only", "4k7 5k1", "4700"}, "", 2, "--only: \"4k7 5k1\" is not a value; a blank is no part of a value: separate values with commas, semicolons or tabs"},
      {"", {"--only", "@" + dir + "utf16", "4700"}, "", 2, "utf16\" is in UTF-16, not UTF-8: save it as UTF-8 text"},
      {"", {"--only", "@" + dir + "nested", "4700"}, "", 2, "nested\", line 2: \"@bag\" names a file, which only a list on the command line may do"},
      // Each malformed option or list entry, named.
      {"", {"--frobnicate", "4700"}, "", 2, "unknown option \"--frobnicate\""},
      {"", {"4700", "--series"}, "", 2, "ohmsift-cli: --series needs a value\nTry"},
      {"", {"--without", "4.,4.7k5", "4700"}, "", 2, "\"4.\" is not a value"},
      {"", {"--without=1m"}, "", 2, "\"1m\" is not a value"},
      {"", {"--without=0R001"}, "", 2, "\"0R001\" is not a value"},
      {"", {"--without=2G"}, "", 2, "\"2G\" is not"},
      {"", {"--without", "R,k7x"}, "", 2, "\"R\" is not"},
      {"", {"--only", ", ,"}, "", 2, "--only: the list holds no value"},
      {"", {"--only", "@" + dir + "2001", "4700"}, "", 2, "--only: at most 2000 different values"},
      {"", {"--only", "@" + dir + "bad", "4700"}, "", 2, dir + "bad\", line 3: \"4k7x\" is not a value"},
      {"", {"--only", "@" + dir + "none", "4700"}, "", 2, dir + "none\": No such file or directory"},
      {"", {"--only", "@" + dir, "4700"}, "", 2, "Is a directory"},
      {"", {"--without", "@-", "4700"}, "", 2, "standard input holds the wanted values"},
      {"", {"--only", "@", "4700"}, "", 2, "--only \"@\": no file name after @"},
      {"", {"--only", "@/dev/zero"}, "", 2, "line 1: longer than"},
      {"", {"--tolerance", "50.0001", "4700"}, "", 2, "--tolerance takes"},
      {"", {"--tolerance", "50.000000000000000001", "4700"}, "", 2, "--tolerance takes"},  // 50.0 read
      {"", {"--tolerance", "49.99999999999999999", "4700"}, "", 0, "11000  4697.917"},  // 50.0 read
      {"", {"--tolerance", "0.0", "4700"}, "", 2, "--tolerance takes"},
      {"", {"--tolerance", "1.x", "4700"}, "", 2, "--tolerance takes a percentage greater than 0 and at most 50, such as 1 or 2.5, not \"1.x\""},
      {"", {"--tolerance=2.5.1", "--parts=2", "--spread", "1.5x", "4700"}, "", 2, "--tolerance takes"},
      {"", {"--parts=2", "--spread", "1.x", "4700"}, "", 2, "--spread takes"},
      {"", {"--tolerance", "-1", "4700"}, "", 2, "--tolerance takes"},
      {"", {"--count", "101", "4700"}, "", 2, "--count takes a whole number from 1 to 100"},
      {"", {"--count", "0", "4700"}, "", 2, "--count takes"},
      {"", {"--series", "E5", "4700"}, "", 2, "--series takes E3, E6, E12, E24, E48, E96 or E192"},
      {"", {"--format", "xml", "4700"}, "", 2, "--format takes text, csv or json"},
      {"", {"--only", "1", "--only=2", "4700"}, "", 2, "--only may be given only once"},
      {"", {"--help=x"}, "", 2, "unknown option"},
      {"", {"-h"}, "", 0, "  -h, --help"},
      // The locale: Japanese under a Japanese one (installed or not, by any of its variables), English
      // otherwise, in ASCII where the character set is not UTF-8; CSV and JSON as in any locale.
      {"LANG=ja_JP.UTF-8", {"--without", "8200", "4700", "x"}, "", 1, "4700 の結果\n誤差(%)　必要な抵抗１　抵抗２　できた抵抗値\n"},
      {"LC_MESSAGES=ja_JP.UTF-8 LC_CTYPE=C.UTF-8", {"--parts", "2", "--count=1", "4k7", "1G"}, "", 0, "欲しい抵抗値 2 個のうち 1 個は 5 % 以内の回路がありません。"},
      {"LC_ALL=ja_JP.UTF-8 LANG=C", {"-h"}, "", 0, "使い方: ohmsift-cli [OPTION]... [WANTED]...\n"},
      {"LC_ALL=ja_JP.utf8", {"--frobnicate"}, "", 2, "\"--frobnicate\" というオプションはありません\n詳しくは"},
      {"LANG=ja_JP.UTF-8", {"--format=csv", "x"}, "", 1, "\"x\",,,,,\"a wanted value is a whole number of ohms"},
      {"LANG=ja_JP.UTF-8", {"--format=json", "--parts=1", "4k7"}, "", 0, "{\"wanted\":4700,\"series\":\"E24\""},
      {"LANG=C", {"--parts", "1", "--without", "4k7\u03A9", "4k7\u03A9", "1G"}, "", 0, "Results for 4k7ohm\n"},
      {"LANG=en_GB.ISO-8859-1", {"\u03A9x"}, "", 1, "refused \"ohmx\": a wanted value"},
      {"LANGUAGE=ja LANG=C.UTF-8", {"4700"}, "", 0, "4700 の結果\n"},  // as gettext reads LANGUAGE
      {"LANGUAGE=ja LANG=C", {"4700"}, "", 0, "Results for 4700\n"},   // but not under C
      {"LANG=ja_JP.UTF-8", {"--adjust", "1.25", "--pin-current", "50u", "--total", "1k-10k", "--count=2", "9", "1"}, "", 1, "9 "},
      {"LC_MESSAGES=ja_JP.UTF-8 LANG=C", {"4k7x", "4700"}, "", 1, "refused \"4k7x\": a wanted value"},  // no ? for Japanese
      {"LANG=C", {"--adjust", "1.25", "--pin-current", "50u", "--total", "1k-10k", "--count=1", "9"}, "", 0, "and 50 uA out of that\n"},
  };

  std::string transcript;
  // The folder's name, which holds the process id, as DIR/ in the transcript.
  const auto dirless = [&dir](std::string text) {
    for (std::size_t at; (at = text.find(dir)) != std::string::npos;) text.replace(at, dir.size(), "DIR/");
    return text;
  };
  for (const auto& [locale, args, input, status, err] : rows) {
    const clirun::Run run = clirun::RunInMemory(args, input, locale.empty() ? clirun::kLocale : locale);
    const std::string name = locale + (args.empty() ? input : args[0]) + ": " + run.err;
    EXPECT_EQ(run.status, status) << name;
    EXPECT_NE((run.out + run.err).find(err), std::string::npos) << name;
    EXPECT_EQ(locale.empty() ? clirun::Check(args, input, run) : "", "") << name;
    std::vector<std::string> shownArgs;
    for (const std::string& a : args) shownArgs.push_back(dirless(a));
    transcript += clirun::Transcript(shownArgs, input, {run.status, dirless(run.out), dirless(run.err)}, locale);
  }
  std::filesystem::remove_all(dir);
  // Every byte of it, as recorded.
  ExpectRecorded("rows.txt", transcript);
}

// The help fits a terminal of 80 columns in each language, a wide character taking two.
TEST(CliTest, HelpFitsIn79Columns) {
  for (const std::string locale : {"LC_ALL=C.UTF-8", "LC_ALL=ja_JP.UTF-8"}) {
    std::istringstream help(clirun::RunInMemory({"--help"}, "", locale).out);
    std::setlocale(LC_CTYPE, "C.UTF-8");  // for the widths
    int number = 0;
    for (std::string line; std::getline(help, line); ++number) {
      std::wstring wide(line.size(), L'\0');
      wide.resize(std::mbstowcs(wide.data(), line.c_str(), wide.size()));
      EXPECT_LE(wcswidth(wide.c_str(), wide.size()), 79) << locale << ": " << line;
    }
    EXPECT_GT(number, 40) << locale;
  }
}

// Each option of the table has an item of its own in both man pages.
TEST(CliTest, EveryOptionInBothManPages) {
  for (const std::string page : {"/ohmsift-cli.1", "/ja/ohmsift-cli.1"}) {
    std::ifstream in(OHMSIFT_MAN_DIR + page);
    std::string line, items;
    for (bool item = false; std::getline(in, line); item = line == ".TP") items += item ? line : "";
    for (const cli::OptionInfo& option : cli::OptionTable()) {
      std::string roff;  // each hyphen as roff writes one
      for (const char c : option.name) roff += c == '-' ? std::string("\\-") : std::string(1, c);
      EXPECT_NE(items.find(roff), std::string::npos) << page << " has no item for " << option.name;
    }
  }
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
