#pragma once
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/server_thread.h"

// An HTTP server on 127.0.0.1 with an ephemeral port, for provider tests. Routes are added before
// Start(); the destructor stops and joins the server, releasing any handler that is stalling. A server
// that does not come up within a few seconds fails Start() (see ServerThread).
class TestServer {
 public:
  TestServer() = default;
  ~TestServer() { Stop(); }
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  httplib::Server& Routes() { return server; }

  // Binds, starts the listener thread and waits until it accepts connections.
  bool Start() {
    port = server.bind_to_any_port("127.0.0.1");
    if (port <= 0) return false;
    return runner.Start();
  }

  void Stop() {
    stopping = true;
    runner.Stop();
  }

  std::string Host() const { return "127.0.0.1:" + std::to_string(port); }
  int Port() const { return port; }
  bool Stopping() const { return stopping; }

  // Sleeps up to `limit`, returning early once the server is being stopped.
  void Stall(std::chrono::milliseconds limit) const {
    auto until = std::chrono::steady_clock::now() + limit;
    while (!stopping && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

 private:
  httplib::Server server;
  ServerThread runner{{[this] { server.listen_after_bind(); }, [this] { return server.is_running(); },
                       [this] { server.stop(); }}};
  int port = 0;
  std::atomic<bool> stopping{false};
};

// The text of a fixture file under tests/fixtures/marketdata/; empty when it cannot be read.
inline std::string ReadFixture(const std::string& name) {
  std::ifstream in(std::string(VL_FIXTURES_DIR) + "/marketdata/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}
