// ohmsift-cli: the search for scripts, batch work and machines without a display.
#include <cstdio>

#include "cli/Cli.h"
#include "cli/Locale.h"

int main(int argc, char** argv) {
  cli::SetUpLocale();
  return cli::Run(argc, argv, stdin, stdout, stderr);
}
