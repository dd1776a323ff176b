#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class HistoryFetcher;

// Fetches every stored symbol again at a fixed period on a thread of its own, first one period after
// start. Each result goes to `log`. The destructor stops the waits and joins; a fetch under way ends
// within its sources' deadlines.
class PriceRefresh {
 public:
  PriceRefresh(HistoryFetcher& fetcher, std::chrono::milliseconds period,
               std::function<void(const std::string&)> log);
  ~PriceRefresh();
  PriceRefresh(const PriceRefresh&) = delete;
  PriceRefresh& operator=(const PriceRefresh&) = delete;

 private:
  void Loop();

  HistoryFetcher& fetcher;
  std::chrono::milliseconds period;
  std::function<void(const std::string&)> log;
  std::mutex mutex;
  std::condition_variable wake;
  bool stopping = false;
  std::thread thread;
};
