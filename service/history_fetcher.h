#pragma once

#include "service/history_csv.h"
#include "service/upstream_source.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class Market;
struct Security;
struct UpstreamLimits;

// What one fetch of one symbol did.
struct FetchReport {
  std::string symbol;
  bool ok = false;
  std::string source;   // the source whose rows were taken
  size_t added = 0;     // days (rates: a currency's days) new to the file
  size_t replaced = 0;  // stored ones the source corrected
  int lastDay = 0;      // newest stored day afterwards (days since 1970-01-01)
  std::string message;  // one line for a person: the result, or each source's cause of failure
};

// Fetches daily prices from the price sources, in order, into HISTORY/SYMBOL.csv and the market, and the
// euro's reference rates from the rates sources into RATES/EUR.csv (the folder "rates" beside the history
// folder) for any currency pair asked ("EURUSD=X" fetches every currency's rates). A source that fails or
// answers anything but its CSV changes nothing; the next one is tried. Requests to one source are at least
// its min-interval-ms apart. Thread-safe: fetches run one at a time.
class HistoryFetcher {
 public:
  HistoryFetcher(std::vector<UpstreamSource> sources, std::string historyFolder, Market& market);

  // `budget` bounds the requests of this fetch together: each source's deadline is cut to what is left,
  // and sources are skipped once it is spent. Zero: each source's own deadline only.
  [[nodiscard]] FetchReport Fetch(std::string_view symbol,
                                  std::chrono::milliseconds budget = std::chrono::milliseconds{0});
  // Symbols of the market that already have a file in the history folder, for a refresh, and "EURUSD=X"
  // when reference rates were fetched before.
  std::vector<std::string> StoredSymbols() const;
  size_t SourceCount() const { return sources.size(); }
  // The sources that can serve `symbol`: rates sources for a currency pair, price sources otherwise.
  size_t SourceCountFor(std::string_view symbol) const;
  const std::string& RatesFile() const { return ratesFile; }
  // Ends the waits between requests at once; a later Fetch reports that it was stopped.
  void Stop();

 private:
  using Clock = std::chrono::steady_clock;
  // The limits of one request to source `i`, cut to what is left of the fetch's budget; false when it is
  // spent.
  [[nodiscard]] bool RequestLimits(size_t i, Clock::time_point deadline, std::chrono::milliseconds budget,
                                   UpstreamLimits& limits) const;
  // Sleeps until the source may be asked again; false when stopped meanwhile.
  [[nodiscard]] bool WaitForTurn(size_t source, std::unique_lock<std::mutex>& lock);
  FetchReport FetchPrices(const Security& security, Clock::time_point deadline,
                          std::chrono::milliseconds budget);
  FetchReport FetchRates(const std::string& symbol, Clock::time_point deadline,
                         std::chrono::milliseconds budget);
  // The rows a price source answered, as traded and ready to store.
  void ToStoredForm(const UpstreamSource& source, const Security& security,
                    std::vector<DailyBar>& rows) const;

  std::vector<UpstreamSource> sources;
  std::string historyFolder;
  std::string ratesFile;
  Market& market;
  std::mutex mutex;
  std::condition_variable stopped;
  bool stopping = false;
  std::vector<Clock::time_point> lastRequest;
};
