#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/checked_output.h"
#include "cli/cli_runner.h"

int main(int argc, char** argv) {
  std::vector<std::string> words(argv + 1, argv + argc);
  // Progress lines only for a person watching: not into a file or a pipe.
  // Standard output through a buffer that notices a failed write, so a full disk is not reported as success.
  CheckedOutputBuf outputBuffer(STDOUT_FILENO);
  std::ostream out(&outputBuffer);
  return RunCli(words, out, std::cerr, isatty(STDERR_FILENO) == 1 ? &std::cerr : nullptr);
}
