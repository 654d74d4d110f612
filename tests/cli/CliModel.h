// What ohmsift-cli must print for a command line and its standard input, stated on its own: the
// options' grammar, which values are accepted, the status, the messages' lines, and every block,
// CSV row and JSON object, whose pairs must be those the step-by-step search finds, in the order
// of their printed errors. Shared by the command line's test and its fuzz target.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace climodel {

struct Run {
  int status;
  std::string out, err;
};

// Runs the command line in this process, standard input and output in memory.
Run RunInMemory(const std::vector<std::string>& args, std::string_view input);

// A fuzz input as a command line: the first byte modulo 16 is the number of arguments, that many
// NUL-terminated arguments follow, and every remaining byte is standard input.
std::pair<std::vector<std::string>, std::string> Decode(std::string_view bytes);

// A run as a transcript records it: arguments, input, status and every byte printed, with the
// version that --version names left out, so that a recorded digest outlives a release.
std::string Transcript(const std::vector<std::string>& args, std::string_view input, const Run& run);

// What differs between a run and what it must be, or nothing.
std::string Check(const std::vector<std::string>& args, std::string_view input, const Run& run);

}  // namespace climodel
