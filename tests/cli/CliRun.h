// ohmsift-cli run in this process, as the command line's test and its fuzz target run it: a
// transcript of every byte it printed, which the test holds to recorded digests, and what must
// hold of any run whatever it was given.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace clirun {

struct Run {
  int status;
  std::string out, err;
};

// The locale runs are made under unless told otherwise: English in UTF-8.
inline constexpr char kLocale[] = "LC_ALL=C.UTF-8";

// Runs the command line in this process, standard input and output in memory, with the build's
// catalogues, under the locale that the variables of locale say ("LANG=ja_JP.UTF-8", blanks
// between several), no other locale variable set.
Run RunInMemory(const std::vector<std::string>& args, std::string_view input,
                const std::string& locale = kLocale);

// A fuzz input as a command line: the first byte modulo 16 is the number of arguments, that many
// NUL-terminated arguments follow, and every remaining byte is standard input.
std::pair<std::vector<std::string>, std::string> Decode(std::string_view bytes);

// A run as a transcript records it, a line for each line: a heading with the label and the
// arguments, then the input ("< "), the status, standard output ("| ") and standard error ("! "),
// every byte shown and the version that --version names left out, so that a recorded transcript
// outlives a release.
std::string Transcript(const std::vector<std::string>& args, std::string_view input, const Run& run,
                       std::string_view label = {});

// What differs from what any run in the locale kLocale must be, or nothing: every line ended; a
// usage error (status 2) prints nothing and says what was wrong and where to look, standard input
// in UTF-16 says so last; otherwise every message is the
// program's, a refusal among them exactly when the status is 1; the same run again prints the
// same; and with JSON asked for instead of text, the same status and messages, and one object
// for each block (each heading of the text) and refusal.
std::string Check(const std::vector<std::string>& args, std::string_view input, const Run& run);

}  // namespace clirun
