// ohmsift-cli: the search for scripts, batch work and machines without a display.
#include <cstdio>
#include <cstring>

#include "cli/Cli.h"

int main(int argc, char** argv) {
  // Temporary, for the package checks until the real option arrives.
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("ohmsift-cli %s\nMIT licence: see /usr/share/doc/ohmsift-cli/copyright\n",
                OHMSIFT_VERSION);
    return 0;
  }
  return cli::Run(argc, argv, stdin, stdout, stderr);
}
