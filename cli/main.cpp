#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_runner.h"

int main(int argc, char** argv) {
  std::vector<std::string> words(argv + 1, argv + argc);
  // Progress lines only for a person watching: not into a file or a pipe.
  return RunCli(words, std::cout, std::cerr, isatty(STDERR_FILENO) == 1 ? &std::cerr : nullptr);
}
