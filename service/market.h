#pragma once

#include "service/corporate_actions.h"
#include "service/fx_market.h"
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

// Everything one security shows at one instant: its session and its bars up to the quote day, in the shares
// of the last bar's day (a split before it divides the earlier prices).
struct SecuritySnapshot {
  const Security* security = nullptr;
  SessionState session;
  std::vector<DailyBar> bars;  // oldest first; the last is the quote day (partial while in session)
  bool realHistory = false;
};

// What a quote says of a security's dividends: the annual amount per share of the quote day (-1: none known)
// and the next ex-date and pay date (0: none known).
struct DividendOutlook {
  int64_t annualMicros = -1;
  int nextExDay = 0;
  int nextPayDay = 0;
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
  // Safe while requests are answered: a request sees the old rows or the new ones, never a mix. The rows are
  // as traded.
  void SetRealHistory(const std::string& symbol, std::vector<DailyBar> oldestFirst);
  // Splits and symbol changes; call before serving.
  void SetCorporateActions(CorporateActions actions) { corporateActions = std::move(actions); }
  const CorporateActions& Actions() const { return corporateActions; }
  // Reads every SYMBOL.csv of the folder as that symbol's dividends (see ParseDividendCsv); a file that does
  // not parse is reported in `messages` and left out. Call before serving.
  void LoadDividendFolder(const std::string& folder, std::vector<std::string>& messages);
  // False (with `error`) when an exchange's time zone is missing from the system's database.
  [[nodiscard]] bool CheckTimeZones(std::string& error) const;

  SysSeconds Now() const;
  const SecurityList& Securities() const { return securities; }
  const PriceModel& Model() const { return model; }
  // Exchange rates; the real reference rates, when there are any, are set from the rates file.
  const FxMarket& Rates() const { return fx; }
  void SetRealRates(std::shared_ptr<const RateTable> table) { fx.SetRealRates(std::move(table)); }
  // Reads DIR/rates/EUR.csv (see rate_table.h) when it exists; a file that does not parse is reported in
  // `messages` and left out, and the simulation stays in charge of every pair.
  void LoadRatesFile(const std::string& path, std::vector<std::string>& messages);
  const TradingCalendar& Calendar(const Security& security) const;

  // Bars from fromDay (inclusive) to the quote day at `now`.
  SecuritySnapshot Snapshot(const Security& security, int fromDay, SysSeconds now) const;
  // The last `count` bars up to the quote day (fewer near the start of the history).
  SecuritySnapshot RecentSnapshot(const Security& security, size_t count, SysSeconds now) const;
  // Minute prices of one trading day's session, up to `now` for the running session, in the shares of the
  // quote day.
  std::vector<IntradayPoint> Intraday(const Security& security, int day, SysSeconds now) const;

  // The daily history as the download serves it, from fromDay to the quote day: prices as traded, adjusted
  // closes without the splits and dividends up to the last bar (see traded_history.h).
  SecuritySnapshot TradedHistory(const Security& security, int fromDay, SysSeconds now) const;
  // The dividends with their ex-date in [fromDay, toDay], oldest first, as traded: those of the security's
  // dividend file when it has one, else none for a security on real prices, else the simulation's.
  std::vector<DividendPayment> Dividends(const Security& security, int fromDay, int toDay) const;
  DividendOutlook Outlook(const Security& security, int quoteDay) const;
  // A symbol the security went by before a symbol change, with the last day it traded under it; null (and
  // lastDay untouched) for any other symbol.
  const Security* FindFormer(std::string_view symbol, int& lastDay) const;

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
  // Bars as Snapshot makes them, but as kept: the simulation's in today's shares, a real file's as traded.
  SecuritySnapshot RawSnapshot(const Security& security, int fromDay, SysSeconds now) const;
  // Prices of the snapshot in the shares of its last bar's day.
  void ToViewShares(SecuritySnapshot& snap) const;
  std::vector<DailyBar> SimulatedBars(const Security& security, int fromDay, int lastDay,
                                      const SessionState& state, size_t minimumCount) const;
  std::vector<DailyBar> AllSimulatedBars(const Security& security, int fromDay, int lastDay,
                                         size_t minimumCount) const;
  // Replaces the running session's day by the day so far (along lastDayPath when given).
  void ApplySession(const Security& security, const SessionState& state, std::vector<DailyBar>& bars,
                    const std::vector<double>* lastDayPath) const;

  SecurityList securities;
  PriceModel model;
  FxMarket fx{model};
  std::optional<SysSeconds> fixedNow;
  std::map<const ExchangeInfo*, TradingCalendar> calendars;
  CorporateActions corporateActions;
  std::unordered_map<std::string, std::vector<DividendPayment>> dividendFiles;
  mutable std::shared_mutex historyMutex;
  std::unordered_map<std::string, History> realHistories;
  mutable std::mutex cacheMutex;
  mutable std::unordered_map<std::string, std::shared_ptr<const CloseSeries>> closeCache;
  mutable std::unordered_map<std::string, std::shared_ptr<const RecentBars>> recentCache;
};
