#pragma once
// Runs a check in a child process without the superuser's rights, so tests of permission failures mean
// the same when the suite runs as root (as CI does). The child answers through its exit code.
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

// Returns the child's exit code, or -1 when it did not exit normally. `check` returns 0 for success.
inline int RunUnprivileged(const std::function<int()>& check) {
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(125);
    ::_exit(check());
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}
