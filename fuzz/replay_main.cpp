// Runs a fuzz target's entry point over every file of the corpus directories given, so that a
// committed corpus replays as a regression test in any build, fuzzer or not.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) {
    for (const auto& entry : std::filesystem::directory_iterator(argv[i])) files.push_back(entry);
  }
  std::sort(files.begin(), files.end());  // the same order on every run
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    // Exactly the input's size, so that a read past its end is caught.
    const std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), {});
    fuzz::currentInput = file.c_str();
    LLVMFuzzerTestOneInput(data.data(), data.size());
  }
  std::printf("replayed %zu inputs\n", files.size());
  return files.empty() ? 2 : 0;
}
