#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "portfolio/performance/daily_close_source.h"

// The closes of the historical price service: one request per symbol for the whole months around the days
// asked (HistoricalPriceProvider), on the calling thread, pumping messages while it waits.
class HistoryCloseSource : public IDailyCloseSource {
 public:
  CloseRequestResult GetCloses(const std::string& symbol, int64_t firstDay, int64_t lastDay,
                               std::vector<DailyClose>& closes) override;
};

// Keeps every symbol's closes for the life of the object (a window's session, one command of the CLI) and
// asks `inner` again only for days it has not asked for yet, then for the whole range it needs at once.
// Failed requests are not kept.
class CachedCloseSource : public IDailyCloseSource {
 public:
  explicit CachedCloseSource(std::unique_ptr<IDailyCloseSource> inner) : inner(std::move(inner)) {}
  CloseRequestResult GetCloses(const std::string& symbol, int64_t firstDay, int64_t lastDay,
                               std::vector<DailyClose>& closes) override;
  // The number of requests passed on to the inner source so far.
  int RequestsMade() const { return requests; }

 private:
  struct Entry {
    int64_t firstDay = 0;
    int64_t lastDay = 0;
    std::vector<DailyClose> closes;
  };
  std::unique_ptr<IDailyCloseSource> inner;
  std::map<std::string, Entry> entries;
  int requests = 0;
};

// The source the application's windows share for the whole run: the service's history behind a cache.
IDailyCloseSource& SessionCloseSource();

// A close as the service writes it ("272.35") in whole cents, rounded half up beyond two decimals; false
// for anything that is not a positive decimal number below 10^11 units.
[[nodiscard]] bool ParseCloseCents(const std::string& text, int64_t* cents);
// A history row's day text ("6-Dec-2026") as days since 1970-01-01; false for anything else.
[[nodiscard]] bool ParseDayText(const std::string& text, int64_t* day);
