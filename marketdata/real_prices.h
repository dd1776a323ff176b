#pragma once
#include <cstdint>
#include <string>

class CWebGrab;

// Real daily prices through the bundled market-data service: the service fetches them from the sources
// named in "sources.ini" of its data folder (none: it keeps to its simulated market) and keeps them in
// "history/" there. The application turns them on by writing the bundled Stooq preset as that file and,
// before an update, asks the service to fetch each symbol.

// Where the bundled service keeps the user's files (`data`) and its own preset (`bundled`), each with its
// trailing '/'; empty when not known (then real prices cannot be turned on from here).
struct RealPriceFolders {
  std::string data;
  std::string bundled;
};

// True when the service's data folder (trailing '/') names its price sources.
bool HasRealPriceSources(const std::string& dataFolder);

// Copies the bundled preset ("sources.example.ini" of `bundledFolder`) to "sources.ini" in `dataFolder`; a
// sources file already there (perhaps the user's own) is kept as it is. False with the reason in `error`.
[[nodiscard]] bool WriteRealPriceSources(const std::string& dataFolder, const std::string& bundledFolder,
                                         std::string& error);

// When prices were last fetched: the newest change of a history file (seconds since 1970); 0 for never.
int64_t LastRealPriceFetch(const std::string& dataFolder);

// What the service answered for one symbol: whether a source gave prices, and its one-line account (or
// why the service could not be asked).
struct RealPriceFetch {
  bool fetched = false;
  std::string line;
};
// Asks the service at `host` ("name:port") to fetch the real prices of `symbol` now (a POST to
// /vellumar/fetch); the answer comes when its sources have answered. `grab` must be initialised.
RealPriceFetch FetchRealPrices(CWebGrab& grab, const std::string& host, const std::string& symbol);
