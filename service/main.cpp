// vellumar-marketd: the local market-data service.
#include "service/market.h"
#include "service/market_server.h"
#include "service/service_options.h"
#include "framework/app_paths.h"
#include "framework/file_util.h"
#include "vl_version.h"

#include <date/date.h>

#include <pthread.h>
#include <unistd.h>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <thread>

// The securities shipped with the program: "data" beside it, or the installed tree's share/vellumar.
static std::string BundledDataFolder() {
  const std::string installed = FindInstalledDataFolder(GetModuleFolder());
  return installed.empty() ? GetModuleFolder() + "data" : installed;
}

// The folder of the user's own files: the bundled one when the program is used portably, else the user's
// market-data folder, made when missing.
static bool DefaultDataFolder(const std::string& bundled, std::string& folder) {
  const AppPaths paths = GetAppPaths();
  if (paths.portable) {
    folder = bundled;
    return true;
  }
  folder = paths.MarketDataFolder();
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
  if (dataDir.empty() && !DefaultDataFolder(bundled, dataDir)) return 1;
  SecurityList securities;
  if (!LoadSecurities(bundled, dataDir, securities)) return 1;
  const size_t securityCount = securities.Size();

  Market market(std::move(securities), options.seed, options.now);
  if (!market.CheckTimeZones(error)) {
    std::fprintf(stderr, "vellumar-marketd: %s\n", error.c_str());
    return 1;
  }
  std::vector<std::string> messages;
  market.LoadHistoryFolder(dataDir + "/history", messages);
  for (const std::string& m : messages) std::fprintf(stderr, "vellumar-marketd: %s\n", m.c_str());

  // Signals are taken by sigwait below, so they must be blocked before any thread starts.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGUSR1);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  MarketServer server(market, !options.quiet);
  if (!server.Bind(options.bind, options.port, error)) {
    std::fprintf(stderr, "vellumar-marketd: %s\n", error.c_str());
    return 1;
  }
  const std::string clock =
      options.now ? "clock fixed at " + date::format("%Y-%m-%dT%H:%M:%SZ", *options.now) : "system clock";
  std::fprintf(stderr, "vellumar-marketd: %zu securities, seed %llu, %s; listening on http://%s:%d\n",
               securityCount, static_cast<unsigned long long>(options.seed), clock.c_str(),
               options.bind.c_str(), server.Port());

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
  server.Stop();
  serving.join();
  return received == SIGUSR1 && serverFailed ? 1 : 0;
}
