// The market-data service: answering one 200-symbol quote request and one chart, and serving quote
// requests over loopback to a second process.
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

}  // namespace
