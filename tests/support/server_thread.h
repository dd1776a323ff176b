#pragma once
// Runs a test server's blocking serve loop on a thread for the life of the object. Start() waits a bounded
// time for the server to run and the destructor stops and joins within the same bound, so a server that
// never starts fails its test within seconds instead of holding the suite until its time-out.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>

class ServerThread {
 public:
  struct Hooks {
    std::function<void()> serve;      // blocks until stopped
    std::function<bool()> isRunning;  // accepting connections
    std::function<void()> stop;       // ends serve; only called once the server runs
  };
  static constexpr std::chrono::milliseconds kDefaultLimit{5000};

  explicit ServerThread(Hooks hooks, std::chrono::milliseconds limit = kDefaultLimit)
      : hooks(std::move(hooks)), limit(limit) {}
  ~ServerThread() { Stop(); }
  ServerThread(const ServerThread&) = delete;
  ServerThread& operator=(const ServerThread&) = delete;

  // Starts serving; false when the server is not running within the limit.
  bool Start() {
    thread = std::thread([this] {
      hooks.serve();
      finished = true;
    });
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!hooks.isRunning()) {
      if (finished || std::chrono::steady_clock::now() > until) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
  }

  // Stops the server as soon as it runs and joins its thread. A thread that neither runs nor ends within
  // the limit cannot be joined or safely left behind: the program ends with a message instead of hanging.
  void Stop() {
    if (!thread.joinable()) return;
    const auto until = std::chrono::steady_clock::now() + limit;
    bool stopped = false;
    while (!finished) {
      if (!stopped && hooks.isRunning()) {
        hooks.stop();
        stopped = true;
      }
      if (std::chrono::steady_clock::now() > until) {
        std::fprintf(stderr, "test server thread did not end within %lld ms\n",
                     static_cast<long long>(limit.count()));
        std::abort();
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    thread.join();
  }

 private:
  Hooks hooks;
  std::chrono::milliseconds limit;
  std::thread thread;
  std::atomic<bool> finished{false};
};
