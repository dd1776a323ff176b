#pragma once
#include <ostream>
#include <string>

// What `vellumar-cli help`, `help COMMAND` and `COMMAND --help` print. Option lines are written as
// "  --name VALUE  meaning" (indent, the option, two or more spaces, its meaning) so that manual pages can be
// made from the help.
struct CommandHelp {
  const char* name;
  const char* group;    // one of the groups `help` lists, in the order of kGroups in command_help.cpp
  const char* summary;  // one line: what the command does
  const char* options;  // the option lines, each ending in '\n'; "" when it takes none of its own
  const char* example;  // one command line, without "vellumar-cli"
};

// The help of `command`; nullptr when there is none.
const CommandHelp* FindCommandHelp(const std::string& command);

// The command list, grouped, with the options every command takes.
void PrintOverview(std::ostream& out);
// One command's usage, options (with their defaults) and example.
void PrintCommandHelp(std::ostream& out, const std::string& command);
// "usage: vellumar-cli COMMAND ARGS" for the command, or nothing for an unknown name.
void PrintUsageLine(std::ostream& out, const std::string& command);
