#pragma once

#include "service/history_csv.h"
#include "service/price_model.h"
#include "service/security_list.h"
#include "service/trading_calendar.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <unordered_map>
#include <vector>

struct IntradayPoint {
  SysSeconds time;
  double price = 0;
};

// Everything one security shows at one instant: its session and its bars up to the quote day.
struct SecuritySnapshot {
  const Security* security = nullptr;
  SessionState session;
  std::vector<DailyBar> bars;  // oldest first; the last is the quote day (partial while in session)
  bool realHistory = false;
};

// The market the service answers from: the securities, their real price files and the simulation
// for the rest, seen at the service's clock (fixed for tests, else the system clock).
// Safe to use from several request threads at once.
class Market {
 public:
  Market(SecurityList securities, uint64_t seed, std::optional<SysSeconds> fixedNow);

  // Reads every SYMBOL.csv of the folder as that symbol's real history. A file that does not parse, or
  // names no known security, is reported in `messages` and left out; the simulation then stays in charge.
  void LoadHistoryFolder(const std::string& folder, std::vector<std::string>& messages);
  // Safe while requests are answered: a request sees the old rows or the new ones, never a mix.
  void SetRealHistory(const std::string& symbol, std::vector<DailyBar> oldestFirst);
  // False (with `error`) when an exchange's time zone is missing from the system's database.
  [[nodiscard]] bool CheckTimeZones(std::string& error) const;

  SysSeconds Now() const;
  const SecurityList& Securities() const { return securities; }
  const PriceModel& Model() const { return model; }
  const TradingCalendar& Calendar(const Security& security) const;

  // Bars from fromDay (inclusive) to the quote day at `now`.
  SecuritySnapshot Snapshot(const Security& security, int fromDay, SysSeconds now) const;
  // The last `count` bars up to the quote day (fewer near the start of the history).
  SecuritySnapshot RecentSnapshot(const Security& security, size_t count, SysSeconds now) const;
  // Minute prices of one trading day's session, up to `now` for the running session.
  std::vector<IntradayPoint> Intraday(const Security& security, int day, SysSeconds now) const;

 private:
  // Full bars of the most recent trading days up to lastDay, kept because every quote reads them.
  struct RecentBars {
    int lastDay = 0;
    std::vector<DailyBar> bars;
    std::vector<double> lastDayPath;  // minute prices of lastDay's session
  };
  static constexpr size_t kRecentBars = 300;

  std::shared_ptr<const CloseSeries> Closes(const Security& security, int lastDay) const;
  std::shared_ptr<const RecentBars> Recent(const Security& security, int lastDay) const;
  using History = std::shared_ptr<const std::vector<DailyBar>>;
  History RealHistory(const Security& security) const;
  std::vector<DailyBar> SimulatedBars(const Security& security, int fromDay, int lastDay,
                                      const SessionState& state, size_t minimumCount) const;
  std::vector<DailyBar> AllSimulatedBars(const Security& security, int fromDay, int lastDay,
                                         size_t minimumCount) const;
  // Replaces the running session's day by the day so far (along lastDayPath when given).
  void ApplySession(const Security& security, const SessionState& state, std::vector<DailyBar>& bars,
                    const std::vector<double>* lastDayPath) const;
  void AdjustCloses(const Security& security, int lastDay, std::vector<DailyBar>& bars) const;

  SecurityList securities;
  PriceModel model;
  std::optional<SysSeconds> fixedNow;
  std::map<const ExchangeInfo*, TradingCalendar> calendars;
  mutable std::shared_mutex historyMutex;
  std::unordered_map<std::string, History> realHistories;
  mutable std::mutex cacheMutex;
  mutable std::unordered_map<std::string, std::shared_ptr<const CloseSeries>> closeCache;
  mutable std::unordered_map<std::string, std::shared_ptr<const RecentBars>> recentCache;
};
