#include "service/price_refresh.h"

#include "service/history_fetcher.h"

PriceRefresh::PriceRefresh(HistoryFetcher& fetcher, std::chrono::milliseconds period,
                           std::function<void(const std::string&)> log)
    : fetcher(fetcher), period(period), log(std::move(log)), thread([this] { Loop(); }) {}

PriceRefresh::~PriceRefresh() {
  {
    std::lock_guard<std::mutex> lock(mutex);
    stopping = true;
  }
  wake.notify_all();
  fetcher.Stop();
  thread.join();
}

void PriceRefresh::Loop() {
  std::unique_lock<std::mutex> lock(mutex);
  for (;;) {
    if (wake.wait_for(lock, period, [this] { return stopping; })) return;
    lock.unlock();
    for (const std::string& symbol : fetcher.StoredSymbols()) {
      const FetchReport report = fetcher.Fetch(symbol);
      log(report.message);
      std::lock_guard<std::mutex> check(mutex);
      if (stopping) return;
    }
    lock.lock();
  }
}
