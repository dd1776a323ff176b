#pragma once
#include <ostream>
#include <string>
#include <vector>

// Runs one vellumar-cli invocation: `words` are the arguments after the program name. Applies the
// common options (--service sets every service host), prints the help for no command or "help",
// and returns the exit code (0 success, 1 failure, 2 wrong usage).
[[nodiscard]] int RunCli(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);
