#pragma once

#include "service/upstream_source.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class Market;

// What one fetch of one symbol did.
struct FetchReport {
  std::string symbol;
  bool ok = false;
  std::string source;   // the source whose rows were taken
  size_t added = 0;     // days new to the file
  size_t replaced = 0;  // stored days the source corrected
  int lastDay = 0;      // newest stored day afterwards (days since 1970-01-01)
  std::string message;  // one line for a person: the result, or each source's cause of failure
};

// Fetches daily prices from the sources, in order, into HISTORY/SYMBOL.csv and the market. A source that
// fails or answers anything but its CSV changes nothing; the next one is tried. Requests to one source
// are at least its min-interval-ms apart. Thread-safe: fetches run one at a time.
class HistoryFetcher {
 public:
  HistoryFetcher(std::vector<UpstreamSource> sources, std::string historyFolder, Market& market);

  // `budget` bounds the requests of this fetch together: each source's deadline is cut to what is left,
  // and sources are skipped once it is spent. Zero: each source's own deadline only.
  [[nodiscard]] FetchReport Fetch(std::string_view symbol,
                                  std::chrono::milliseconds budget = std::chrono::milliseconds{0});
  // Symbols of the market that already have a file in the history folder, for a refresh.
  std::vector<std::string> StoredSymbols() const;
  size_t SourceCount() const { return sources.size(); }
  // Ends the waits between requests at once; a later Fetch reports that it was stopped.
  void Stop();

 private:
  using Clock = std::chrono::steady_clock;
  // Sleeps until the source may be asked again; false when stopped meanwhile.
  [[nodiscard]] bool WaitForTurn(size_t source, std::unique_lock<std::mutex>& lock);

  std::vector<UpstreamSource> sources;
  std::string historyFolder;
  Market& market;
  std::mutex mutex;
  std::condition_variable stopped;
  bool stopping = false;
  std::vector<Clock::time_point> lastRequest;
};
