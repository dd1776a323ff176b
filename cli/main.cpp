#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_runner.h"

int main(int argc, char** argv) {
  std::vector<std::string> words(argv + 1, argv + argc);
  return RunCli(words, std::cout, std::cerr);
}
