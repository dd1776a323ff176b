#pragma once
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_runner.h"

// One run of vellumar-cli inside the test process: its exit code and what it wrote to each stream.
struct CliResult {
  int code = -1;
  std::string out;
  std::string err;
};

inline CliResult CallCli(const std::vector<std::string>& words) {
  std::ostringstream out, err;
  CliResult result;
  result.code = RunCli(words, out, err);
  result.out = out.str();
  result.err = err.str();
  return result;
}

// The same with "--db FILE" added.
inline CliResult CallCliOn(std::vector<std::string> words, const std::string& db) {
  words.push_back("--db");
  words.push_back(db);
  return CallCli(words);
}
