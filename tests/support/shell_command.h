#pragma once
// Runs a command line through the shell and collects its standard output and exit code.
#include <sys/wait.h>

#include <cstdio>
#include <string>

struct ShellRun {
  int code = -1;  // the exit code; -1 when it did not exit normally or could not start
  std::string out;
};

inline ShellRun RunShell(const std::string& command) {
  ShellRun result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return result;
  char buf[4096];
  size_t n = 0;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) result.out.append(buf, n);
  const int status = ::pclose(pipe);
  result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}
