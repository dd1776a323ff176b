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

// Tab-separated output as rows of cells, an empty last cell kept.
inline std::vector<std::vector<std::string>> TsvRows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string>& cells = rows.emplace_back();
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
      cells.push_back(line.substr(start, tab - start));
    }
    cells.push_back(line.substr(start));
  }
  return rows;
}

// The same with "--db FILE" added.
inline CliResult CallCliOn(std::vector<std::string> words, const std::string& db) {
  words.push_back("--db");
  words.push_back(db);
  return CallCli(words);
}
