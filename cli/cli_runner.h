#pragma once
#include <ostream>
#include <string>
#include <vector>

// Runs one vellumar-cli invocation: `words` are the arguments after the program name. Applies the
// common options (--service sets every service host), prints the help for no command or "help",
// and returns the exit code (see CliExit). With --json, whatever goes to `err` is one JSON object
// {"message": ..., "code": EXIT}. `progress`, when given, receives the progress lines of long commands; the
// program gives its standard error only when that is a terminal.
[[nodiscard]] int RunCli(const std::vector<std::string>& words, std::ostream& out, std::ostream& err,
                         std::ostream* progress = nullptr);
