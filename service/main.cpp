// vellumar-marketd: the local market-data service.
#include "framework/app_paths.h"
#include "framework/file_util.h"
#include "service/history_fetcher.h"
#include "service/market.h"
#include "service/market_server.h"
#include "service/price_refresh.h"
#include "service/service_options.h"
#include "service/upstream_http.h"
#include "vl_version.h"

#include <date/date.h>

#include <pthread.h>
#include <unistd.h>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>

// The securities shipped with the program: "data" beside it, or the installed tree's share/vellumar.
static std::string BundledDataFolder() {
  return BundledServiceDataFolder(GetModuleFolder());
}

// The folder of the user's own files: the bundled one when the program is used portably, else the user's
// market-data folder, made when missing.
static bool DefaultDataFolder(std::string& folder) {
  const AppPaths paths = GetAppPaths();
  folder = ServiceDataFolder(paths, GetModuleFolder());
  if (paths.portable) return true;
  std::string failed;
  if (EnsureAppFolders(paths, failed)) return true;
  std::fprintf(stderr, "vellumar-marketd: cannot make the folder %s\n", failed.c_str());
  return false;
}

static bool LoadSecurities(const std::string& bundled, const std::string& dataDir, SecurityList& list) {
  std::string error;
  if (!list.LoadFile(bundled + "/securities.csv", error)) {
    std::fprintf(stderr, "vellumar-marketd: %s\n", error.c_str());
    return false;
  }
  const std::string own = dataDir + "/securities.csv";
  std::error_code ec;
  if (std::filesystem::equivalent(bundled, dataDir, ec) || !std::filesystem::exists(own, ec)) return true;
  if (!list.LoadFile(own, error)) {
    std::fprintf(stderr, "vellumar-marketd: %s\n", error.c_str());
    return false;
  }
  return true;
}

// The splits and symbol changes: the bundled events.csv, then the user's own over it when there is one.
static bool LoadEvents(const std::string& bundled, const std::string& dataDir, Market& market) {
  CorporateActions actions;
  std::string error;
  if (!actions.LoadFile(bundled + "/events.csv", error)) {
    std::fprintf(stderr, "vellumar-marketd: %s\n", error.c_str());
    return false;
  }
  const std::string own = dataDir + "/events.csv";
  std::error_code ec;
  if (!std::filesystem::equivalent(bundled, dataDir, ec) && std::filesystem::exists(own, ec) &&
      !actions.LoadFile(own, error)) {
    std::fprintf(stderr, "vellumar-marketd: %s\n", error.c_str());
    return false;
  }
  market.SetCorporateActions(std::move(actions));
  return true;
}

// DIR/sources.ini when it exists; none means real prices stay off. A file with a fault is reported, and
// the caller decides: a fetch stops there, the service serves on without real prices.
static bool LoadSources(const std::string& dataDir, std::vector<UpstreamSource>& sources) {
  const std::string path = dataDir + "/sources.ini";
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return true;
  std::string error;
  if (!LoadSourcesFile(path, sources, error)) {
    std::fprintf(stderr, "vellumar-marketd: %s\n", error.c_str());
    return false;
  }
  return true;
}

// --fetch: one line per symbol on stdout; exit status 1 when any symbol got no prices.
static int FetchAndExit(HistoryFetcher& fetcher, const std::string& dataDir,
                        std::vector<std::string> symbols) {
  if (fetcher.SourceCount() == 0) {
    std::fprintf(stderr, "vellumar-marketd: no sources in %s/sources.ini (sources.example.ini shows how)\n",
                 dataDir.c_str());
    return 1;
  }
  if (symbols.empty()) symbols = fetcher.StoredSymbols();
  if (symbols.empty()) {
    std::fprintf(stderr, "vellumar-marketd: no symbols given and none stored in %s/history\n",
                 dataDir.c_str());
    return 1;
  }
  bool allFetched = true;
  for (const std::string& symbol : symbols) {
    const FetchReport report = fetcher.Fetch(symbol);
    std::printf("%s\n", report.message.c_str());
    std::fflush(stdout);
    allFetched = allFetched && report.ok;
  }
  return allFetched ? 0 : 1;
}

// Serves until SIGINT or SIGTERM (status 0), or until serving fails (status 1).
static int Serve(const ServiceOptions& options, Market& market, HistoryFetcher& fetcher,
                 const std::string& dataDir, size_t securityCount) {
  std::string error;
  // Signals are taken by sigwait below, so they must be blocked before any thread starts.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGUSR1);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  MarketServer server(market, !options.quiet);
  server.SetFetcher(&fetcher);
  server.SetHostNames(options.hostNames);
  if (!server.Bind(options.bind, options.port, error)) {
    std::fprintf(stderr, "vellumar-marketd: %s\n", error.c_str());
    return 1;
  }
  const std::string clock =
      options.now ? "clock fixed at " + date::format("%Y-%m-%dT%H:%M:%SZ", *options.now) : "system clock";
  std::fprintf(stderr, "vellumar-marketd: %zu securities, seed %llu, %s; listening on http://%s:%d\n",
               securityCount, static_cast<unsigned long long>(options.seed), clock.c_str(),
               options.bind.c_str(), server.Port());

  std::unique_ptr<PriceRefresh> refresh;
  if (options.refreshMinutes > 0 && fetcher.SourceCount() == 0)
    std::fprintf(stderr, "vellumar-marketd: --refresh ignored: no sources in %s/sources.ini\n",
                 dataDir.c_str());
  if (options.refreshMinutes > 0 && fetcher.SourceCount() > 0) {
    refresh = std::make_unique<PriceRefresh>(
        fetcher, std::chrono::minutes(options.refreshMinutes), [](const std::string& line) {
          std::fprintf(stderr, "vellumar-marketd: refresh: %s\n", line.c_str());
        });
  }
  std::atomic<bool> serverFailed{false}, serverEnded{false};
  std::thread serving([&] {
    serverFailed = !server.Run();
    serverEnded = true;
    kill(getpid(), SIGUSR1);  // wakes the wait below when serving ends on its own
  });
  int received = 0;
  sigwait(&signals, &received);
  if (received != SIGUSR1) std::fprintf(stderr, "vellumar-marketd: stopping\n");
  // Stop only reaches a server that has started listening.
  while (!serverEnded && !server.IsRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  refresh.reset();
  server.Stop();
  serving.join();
  return received == SIGUSR1 && serverFailed ? 1 : 0;
}

int main(int argc, char** argv) {
  ServiceOptions options;
  std::string error;
  if (!ParseServiceOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "vellumar-marketd: %s\n%s", error.c_str(), ServiceUsage().c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(ServiceUsage().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("vellumar-marketd %s\n", VELLUMAR_VERSION);
    return 0;
  }
  const std::string bundled = BundledDataFolder();
  std::string dataDir = options.dataDir;
  if (dataDir.empty() && !DefaultDataFolder(dataDir)) return 1;
  SecurityList securities;
  if (!LoadSecurities(bundled, dataDir, securities)) return 1;
  const size_t securityCount = securities.Size();

  Market market(std::move(securities), options.seed, options.now);
  if (!market.CheckTimeZones(error)) {
    std::fprintf(stderr, "vellumar-marketd: %s\n", error.c_str());
    return 1;
  }
  if (!LoadEvents(bundled, dataDir, market)) return 1;
  std::vector<std::string> messages;
  market.LoadHistoryFolder(dataDir + "/history", messages);
  market.LoadDividendFolder(dataDir + "/dividends", messages);
  market.LoadRatesFile(dataDir + "/rates/EUR.csv", messages);
  for (const std::string& m : messages) std::fprintf(stderr, "vellumar-marketd: %s\n", m.c_str());
  std::vector<UpstreamSource> sources;
  if (!LoadSources(dataDir, sources)) {
    if (options.fetch) return 1;
    std::fprintf(stderr, "vellumar-marketd: real prices stay off until sources.ini is repaired\n");
  }
  UpstreamHttpInit();
  HistoryFetcher fetcher(std::move(sources), dataDir + "/history", market);
  if (options.fetch) return FetchAndExit(fetcher, dataDir, options.fetchSymbols);

  return Serve(options, market, fetcher, dataDir, securityCount);
}
