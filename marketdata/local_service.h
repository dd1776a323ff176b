#pragma once
#include <sys/types.h>

#include <cstdint>
#include <string>

struct ServiceHosts;

// "name[:port]" split into its parts; the port is 80 when absent or not a number from 1 to 65535.
struct HostPort {
  std::string name;
  uint16_t port = 80;
};
HostPort SplitHostPort(const std::string& host);

// Whether `host` ("name[:port]") names this machine: "localhost", a name ending in ".localhost",
// 127.x.x.x or ::1 ("[::1]:8642").
bool IsLoopbackHost(const std::string& host);

// Whether something accepts a connection at the loopback `host` within `timeoutMs`.
bool LoopbackHostAnswers(const std::string& host, int timeoutMs);

// The bundled market-data service, started for as long as this object lives when the quote host is this
// machine, the settings allow it and nothing answers there yet. The service is stopped (and waited for)
// when the object ends or Stop() is called, and it is told to end with its parent when the parent dies
// without stopping it (killed or interrupted).
class LocalService {
 public:
  enum class Outcome {
    NotWanted,       // the settings say not to start it, or the quote host is not this machine
    AlreadyRunning,  // something answers at the quote host
    Started,         // started now and answering
    Missing,         // no vellumar-marketd in the program folder
    Failed,          // started but it ended or did not answer in time
  };

  LocalService() = default;
  ~LocalService() { Stop(); }
  LocalService(const LocalService&) = delete;
  LocalService& operator=(const LocalService&) = delete;

  // Runs "<programFolder>vellumar-marketd --port N --quiet" (N from the quote host) when needed;
  // `programFolder` ends with '/'. Its standard output is discarded; its error stream goes to ours unless
  // SetQuiet(true) was called (a command-line tool whose error stream the user reads).
  Outcome EnsureRunning(const ServiceHosts& hosts, const std::string& programFolder);
  void Stop();
  void SetQuiet(bool discardErrors) { quiet = discardErrors; }

  // The started service's process id; -1 when none runs on our behalf.
  pid_t Pid() const { return pid; }

 private:
  pid_t pid = -1;
  bool quiet = false;
};

// True for the outcomes after which the quote host answers.
inline bool ServiceAnswers(LocalService::Outcome outcome) {
  return outcome == LocalService::Outcome::AlreadyRunning || outcome == LocalService::Outcome::Started;
}
