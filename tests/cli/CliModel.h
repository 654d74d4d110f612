// What ohmsift-cli must do with a command line and its standard input, worked out from its
// documented usage alone: which arguments are options and what they ask for, which values are
// accepted, the status, and every block, CSV row and JSON object, whose pairs must be those the
// step-by-step search finds. Shared by the command line's test and its fuzz target.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace climodel {

// What differs between a run and what it must be, or nothing.
std::string Check(const std::vector<std::string>& args, std::string_view input, int status,
                  const std::string& out, const std::string& err);

}  // namespace climodel
