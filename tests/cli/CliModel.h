// What ohmsift-cli must print for a command line and its standard input, stated on its own: the
// options' grammar, which values are accepted, the status, the messages' lines, and every block,
// CSV row and JSON object, whose pairs must be those the step-by-step search finds, in the order
// of their printed errors. Shared by the command line's test and its fuzz target.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace climodel {

struct Run {
  int status;
  std::string out, err;
};

// Runs the command line in this process, standard input and output in memory.
Run RunInMemory(const std::vector<std::string>& args, std::string_view input);

// What differs between a run and what it must be, or nothing.
std::string Check(const std::vector<std::string>& args, std::string_view input, const Run& run);

}  // namespace climodel
