#pragma once

#include <cstdio>

namespace cli {

// Exit statuses.
constexpr int kAllAccepted = 0;
constexpr int kSomeRefused = 1;
constexpr int kUsageError = 2;  // also input that cannot be read
constexpr int kOutputFailed = 3;

// Runs the command line: lists the results for each wanted value given as an argument or, with
// none, for each line of in. Returns one of the statuses above.
int Run(int argc, char** argv, std::FILE* in, std::FILE* out, std::FILE* err);

}  // namespace cli
