#pragma once

#include <httplib.h>

#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/loopback.h"

// Plays a price source on an ephemeral loopback port: GET /d?s=SYMBOL answers what was set for that
// symbol (status 404 and "No data" otherwise) and remembers every symbol asked, in order.
class FakeUpstream {
 public:
  FakeUpstream() {
    server.Get("/d", [this](const httplib::Request& req, httplib::Response& res) {
      std::lock_guard<std::mutex> lock(mutex);
      const std::string symbol = req.get_param_value("s");
      asked.push_back(symbol);
      auto it = answers.find(symbol);
      if (it == answers.end()) {
        res.set_content("No data", "text/plain");
        return;
      }
      res.status = it->second.first;
      res.set_content(it->second.second, "text/csv");
    });
    port = server.bind_to_any_port("127.0.0.1");
    thread = std::thread([this] { server.listen_after_bind(); });
    for (int i = 0; i < 500 && !server.is_running(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ~FakeUpstream() {
    while (!server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    server.stop();
    thread.join();
  }
  void Answer(const std::string& symbol, const std::string& body, int status = 200) {
    std::lock_guard<std::mutex> lock(mutex);
    answers[symbol] = {status, body};
  }
  std::vector<std::string> Asked() {
    std::lock_guard<std::mutex> lock(mutex);
    return asked;
  }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port) + "/d?s={symbol}"; }

 private:
  httplib::Server server;
  int port = 0;
  std::thread thread;
  std::mutex mutex;
  std::map<std::string, std::pair<int, std::string>> answers;
  std::vector<std::string> asked;
};

// A source that takes the connection and never says a word: the listening socket is never accepted from.
class StalledUpstream {
 public:
  StalledUpstream() { fd = ListenLoopback(port); }
  ~StalledUpstream() { close(fd); }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port) + "/d?s={symbol}"; }
  bool Ready() const { return port != 0; }

 private:
  int fd = -1;
  int port = 0;
};
