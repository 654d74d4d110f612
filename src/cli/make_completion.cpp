// Makes ohmsift-cli's bash completion from its template and the program's own table of options,
// so that the options and the words their values may be cannot drift from what the program takes.
// Usage: ohmsift_make_completion TEMPLATE OUTPUT
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "cli/Options.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: ohmsift_make_completion TEMPLATE OUTPUT\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::string text(std::istreambuf_iterator<char>(in), {});
  std::string options, valued, choices, lists;
  for (const cli::OptionInfo& option : cli::OptionTable()) {
    options += std::string(option.name) + " ";
    if (option.value.empty()) continue;
    const std::string bare(option.name.substr(2));
    valued += (valued.empty() ? "" : "|") + bare;
    if (option.value == "LIST") lists += (lists.empty() ? "" : " | ") + std::string(option.name);
    if (option.choices.empty()) continue;
    std::string words;
    for (const std::string_view word : option.choices)
      words += (words.empty() ? "" : " ") + std::string(word);
    choices +=
        "    " + std::string(option.name) + ") _ohmsift_cli_names '" + words + "' \"$value\" ;;\n";
  }
  options += "--";
  if (!choices.empty()) choices.pop_back();
  for (const auto& [mark, value] : {std::pair<std::string, std::string>{"@OPTIONS@", options},
                                    {"@VALUED@", valued},
                                    {"@CHOICES@", choices},
                                    {"@LISTS@", lists}}) {
    const std::size_t at = text.find(mark);
    if (at == std::string::npos) {
      std::cerr << argv[1] << ": no " << mark << "\n";
      return 1;
    }
    text.replace(at, mark.size(), value);
  }
  std::ofstream out(argv[2], std::ios::binary);
  if (!(out << text)) {
    std::cerr << "cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
