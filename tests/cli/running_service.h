#pragma once
// vellumar-marketd as a child process on a free loopback port (port 0; the port is read from its start-up
// line), stopped with the object.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

class RunningService {
 public:
  // `arguments` come after "--port 0 --quiet", e.g. {"--now", "2026-12-04T15:30:00-05:00"}.
  explicit RunningService(const std::vector<std::string>& arguments) {
    const std::string program = std::string(VL_BINARY_DIR) + "/bin/vellumar-marketd";
    std::vector<std::string> words = {program, "--port", "0", "--quiet"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    int err[2];
    if (::pipe(err) != 0) return;
    pid = ::fork();
    if (pid == 0) {
      ::dup2(err[1], STDERR_FILENO);
      ::close(err[0]);
      ::execv(program.c_str(), argv.data());
      ::_exit(127);
    }
    ::close(err[1]);
    std::string text;
    char c = 0;
    const std::string marker = "listening on http://127.0.0.1:";
    while (text.find(marker) == std::string::npos || text.back() != '\n') {
      if (::read(err[0], &c, 1) != 1) break;
      text += c;
    }
    ::close(err[0]);
    const size_t at = text.find(marker);
    if (at != std::string::npos) port = std::atoi(text.c_str() + at + marker.size());
  }
  ~RunningService() {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
  }
  RunningService(const RunningService&) = delete;
  RunningService& operator=(const RunningService&) = delete;

  pid_t pid = -1;
  int port = 0;
};
