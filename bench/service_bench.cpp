// The market-data service: answering one 200-symbol quote request and one chart, the history download of a
// split security and its events, quotes and the history of currency pairs, serving quote requests over
// loopback to a second process, and a healthy request while 500 slow clients hold connections open.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>
#include <httplib.h>

#include <chrono>
#include <thread>

#include "marketdata/stock_info_provider.h"
#include "service/market.h"
#include "service/market_server.h"
#include "service_market.h"
#include "tests/support/loopback.h"

namespace {

std::string QuoteTarget(const Market& market, size_t count) {
  const std::vector<std::string> symbols = BenchSymbols(market, count);
  std::string target = "/d/quotes.csv?s=";
  for (size_t i = 0; i < symbols.size(); ++i) target += (i ? "+" : "") + symbols[i];
  return target + "&f=" + StockInfoProvider::kFieldCodes;
}

void BM_ServiceQuote200(benchmark::State& state) {
  const auto market = BenchMarket();
  const std::string target = QuoteTarget(*market, 200);
  ServiceBody(*market, target);  // the first request of a symbol builds its history; users meet it once
  for (auto _ : state) benchmark::DoNotOptimize(ServiceBody(*market, target).size());
}
BENCHMARK(BM_ServiceQuote200)->Unit(benchmark::kMillisecond);

void BM_ServiceChart(benchmark::State& state) {
  const auto market = BenchMarket();
  const std::string target =
      "/charts/big.chart?symb=MSFT&size=2&time=8&freq=1&ma=4&maval=50&type=64&style=320";
  ServiceBody(*market, target);
  for (auto _ : state) benchmark::DoNotOptimize(ServiceBody(*market, target).size());
}
BENCHMARK(BM_ServiceChart)->Unit(benchmark::kMillisecond);

// A child process sends `requests` 10-symbol quote requests over one keep-alive connection; the time is
// from its start to its end.
void BM_ServiceLoopbackThroughput(benchmark::State& state) {
  const auto market = BenchMarket();
  MarketServer server(*market, false);
  std::string error;
  if (!server.Bind("127.0.0.1", 0, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  std::thread serving([&server] { (void)server.Run(); });  // ends when the benchmark stops it
  const int port = server.Port();
  const std::string target = QuoteTarget(*market, 10);
  const int requests = 200;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
      httplib::Client client("127.0.0.1", port);
      client.set_keep_alive(true);
      for (int i = 0; i < requests; ++i) {
        auto res = client.Get(target);
        if (!res || res->status != 200) ::_exit(1);
      }
      ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) state.SkipWithError("a request failed");
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  state.SetItemsProcessed(state.iterations() * requests);
  server.Stop();
  serving.join();
}
BENCHMARK(BM_ServiceLoopbackThroughput)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// The whole daily history of NVIDIA since 1990: prices as traded across its splits, and the adjusted close
// taking out splits and dividends.
void BM_ServiceTradedHistory(benchmark::State& state) {
  const auto market = BenchMarket();
  const std::string target = "/table.csv?s=NVDA";
  ServiceBody(*market, target);
  for (auto _ : state) benchmark::DoNotOptimize(ServiceBody(*market, target).size());
}
BENCHMARK(BM_ServiceTradedHistory)->Unit(benchmark::kMillisecond);

void BM_ServiceEventsPage(benchmark::State& state) {
  const auto market = BenchMarket();
  const std::string target = "/vellumar/events.csv?s=NVDA";
  ServiceBody(*market, target);
  for (auto _ : state) benchmark::DoNotOptimize(ServiceBody(*market, target).size());
}
BENCHMARK(BM_ServiceEventsPage)->Unit(benchmark::kMillisecond);

// Twenty pairs with every field the quote client asks for.
void BM_ServiceRateQuotes20(benchmark::State& state) {
  const auto market = BenchMarket();
  std::string target = "/d/quotes.csv?s=";
  const char* codes[] = {"USD", "EUR", "GBP", "CHF", "JPY"};
  for (const char* base : codes) {
    for (const char* quote : {"CAD", "AUD", "SEK", "NOK"}) target += std::string(base) + quote + "=X+";
  }
  target += std::string("&f=") + StockInfoProvider::kFieldCodes;
  ServiceBody(*market, target);
  for (auto _ : state) benchmark::DoNotOptimize(ServiceBody(*market, target).size());
}
BENCHMARK(BM_ServiceRateQuotes20)->Unit(benchmark::kMillisecond);

// Every working day's rate of a cross pair since 1999.
void BM_ServiceRateHistory(benchmark::State& state) {
  const auto market = BenchMarket();
  const std::string target = "/table.csv?s=GBPJPY=X";
  ServiceBody(*market, target);
  for (auto _ : state) benchmark::DoNotOptimize(ServiceBody(*market, target).size());
}
BENCHMARK(BM_ServiceRateHistory)->Unit(benchmark::kMillisecond);

// The time to answer one healthy request on a new connection while 500 other connections have sent part of
// a request and wait (each iteration opens them afresh, within the time a request may take to arrive).
void BM_ServiceHealthyRequestWithSlowClients(benchmark::State& state) {
  const auto market = BenchMarket();
  MarketServer server(*market, false);
  std::string error;
  if (!server.Bind("127.0.0.1", 0, error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  std::thread serving([&server] { (void)server.Run(); });  // ends when the benchmark stops it
  while (!server.IsRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const std::string partial = "GET /healthz HTTP/1.1\r\nHost: localhost\r\nX-Slow: ";
  for (auto _ : state) {
    std::vector<int> slow;
    for (int i = 0; i < 500; ++i) {
      const int fd = ConnectLoopback(server.Port());
      if (fd < 0) continue;
      (void)!send(fd, partial.data(), partial.size(), MSG_NOSIGNAL);
      slow.push_back(fd);
    }
    while (server.OpenConnections() < slow.size()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const auto start = std::chrono::steady_clock::now();
    httplib::Client client("127.0.0.1", server.Port());
    auto res = client.Get("/d/quotes.csv?s=MSFT&f=sl1");
    const auto end = std::chrono::steady_clock::now();
    if (!res || res->status != 200) state.SkipWithError("the healthy request failed");
    if (server.OpenConnections() < slow.size()) state.SkipWithError("slow connections were dropped");
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    for (int fd : slow) close(fd);
    while (server.OpenConnections() > 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  server.Stop();
  serving.join();
}
BENCHMARK(BM_ServiceHealthyRequestWithSlowClients)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

}  // namespace
