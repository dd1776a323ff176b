#include "service/market.h"

#include "framework/text_util.h"
#include "service/exchange_info.h"
#include "service/security_files.h"
#include "service/text_file.h"
#include "service/text_format.h"
#include "service/traded_history.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <limits>

Market::Market(SecurityList securities, uint64_t seed, std::optional<SysSeconds> fixedNow)
    : securities(std::move(securities)), model(seed), fixedNow(fixedNow) {
  int count = 0;
  const ExchangeInfo* all = AllExchanges(count);
  for (int i = 0; i < count; ++i) calendars.emplace(&all[i], TradingCalendar(all[i]));
}

bool Market::CheckTimeZones(std::string& error) const {
  for (const auto& [exchange, calendar] : calendars) {
    if (!calendar.Valid()) {
      error = std::string("time zone ") + exchange->timeZone + " of " + exchange->name +
              " is missing from the system's time-zone database (install tzdata)";
      return false;
    }
  }
  return true;
}

void Market::LoadHistoryFolder(const std::string& folder, std::vector<std::string>& messages) {
  ForEachSecurityFile(
      folder, securities, messages, [&](const auto& entry, const std::string& symbol, const Security&) {
        const std::string path = entry.path().string();
        std::string text, error;
        std::vector<DailyBar> rows;
        if (!ReadTextFile(path, text) || !ParseHistoryCsv(text, rows, error)) {
          messages.push_back(path + ": " + (error.empty() ? "cannot be read" : error) + "; file ignored");
          return;
        }
        if (rows.empty()) {
          messages.push_back(path + ": no rows; file ignored");
          return;
        }
        messages.push_back(path + ": " + std::to_string(rows.size()) + " days of real prices for " + symbol);
        SetRealHistory(symbol, std::move(rows));
      });
}

void Market::SetRealHistory(const std::string& symbol, std::vector<DailyBar> oldestFirst) {
  auto rows = std::make_shared<const std::vector<DailyBar>>(std::move(oldestFirst));
  std::unique_lock<std::shared_mutex> lock(historyMutex);
  realHistories[AsciiUpper(symbol)] = std::move(rows);
}

SysSeconds Market::Now() const {
  if (fixedNow) return *fixedNow;
  return std::chrono::time_point_cast<std::chrono::seconds>(std::chrono::system_clock::now());
}

const TradingCalendar& Market::Calendar(const Security& security) const {
  return calendars.at(security.exchange);
}

Market::History Market::RealHistory(const Security& security) const {
  std::shared_lock<std::shared_mutex> lock(historyMutex);
  auto it = realHistories.find(security.symbol);
  return it == realHistories.end() ? nullptr : it->second;
}

std::shared_ptr<const CloseSeries> Market::Closes(const Security& security, int lastDay) const {
  std::shared_ptr<const CloseSeries> cached;
  {
    std::lock_guard<std::mutex> lock(cacheMutex);
    auto it = closeCache.find(security.symbol);
    if (it != closeCache.end()) cached = it->second;
  }
  if (cached && !cached->days.empty() && cached->days.back() >= lastDay) return cached;
  // Extend a copy outside the lock; a racing thread may do the same work, and either result is identical.
  auto series = cached ? std::make_shared<CloseSeries>(*cached) : std::make_shared<CloseSeries>();
  model.ExtendCloses(security, lastDay, *series);
  std::lock_guard<std::mutex> lock(cacheMutex);
  auto& slot = closeCache[security.symbol];
  if (!slot || slot->days.empty() || slot->days.back() < lastDay) slot = series;
  return series;
}

std::shared_ptr<const Market::RecentBars> Market::Recent(const Security& security, int lastDay) const {
  {
    std::lock_guard<std::mutex> lock(cacheMutex);
    auto it = recentCache.find(security.symbol);
    if (it != recentCache.end() && it->second->lastDay == lastDay) return it->second;
  }
  auto recent = std::make_shared<RecentBars>();
  recent->lastDay = lastDay;
  const auto series = Closes(security, lastDay);
  const size_t end =
      std::upper_bound(series->days.begin(), series->days.end(), lastDay) - series->days.begin();
  for (size_t i = end > kRecentBars ? end - kRecentBars : 0; i < end; ++i) {
    const double previous = i > 0 ? series->closes[i - 1] : series->closes[i];
    recent->bars.push_back(model.MakeBar(security, series->days[i], previous, series->closes[i]));
  }
  if (!recent->bars.empty() && recent->bars.back().day == lastDay) {
    const int sessionMinutes = security.exchange->closeMinute - security.exchange->openMinute;
    recent->lastDayPath = model.IntradayPath(security, recent->bars.back(), sessionMinutes);
  }
  std::lock_guard<std::mutex> lock(cacheMutex);
  recentCache[security.symbol] = recent;
  return recent;
}

std::vector<DailyBar> Market::SimulatedBars(const Security& security, int fromDay, int lastDay,
                                            const SessionState& state, size_t minimumCount) const {
  std::vector<DailyBar> bars;
  if (lastDay < PriceModel::FirstDay()) return bars;
  const auto recent = Recent(security, lastDay);
  const auto& window = recent->bars;
  const bool fromInWindow = !window.empty() && window.front().day <= fromDay;
  if (fromInWindow && minimumCount <= window.size()) {
    auto begin = std::lower_bound(window.begin(), window.end(), fromDay,
                                  [](const DailyBar& b, int day) { return b.day < day; });
    if (static_cast<size_t>(window.end() - begin) < minimumCount) begin = window.end() - minimumCount;
    bars.assign(begin, window.end());
    ApplySession(security, state, bars, &recent->lastDayPath);
    return bars;
  }
  bars = AllSimulatedBars(security, fromDay, lastDay, minimumCount);
  ApplySession(security, state, bars, nullptr);
  return bars;
}

std::vector<DailyBar> Market::AllSimulatedBars(const Security& security, int fromDay, int lastDay,
                                               size_t minimumCount) const {
  std::vector<DailyBar> bars;
  const auto series = Closes(security, lastDay);
  const auto endIt = std::upper_bound(series->days.begin(), series->days.end(), lastDay);
  auto beginIt = std::lower_bound(series->days.begin(), endIt, fromDay);
  if (static_cast<size_t>(endIt - beginIt) < minimumCount)
    beginIt = endIt - std::min<ptrdiff_t>(endIt - series->days.begin(), static_cast<ptrdiff_t>(minimumCount));
  const size_t first = beginIt - series->days.begin();
  const size_t end = endIt - series->days.begin();
  bars.reserve(end - first);
  for (size_t i = first; i < end; ++i) {
    const double previous = i > 0 ? series->closes[i - 1] : series->closes[i];
    bars.push_back(model.MakeBar(security, series->days[i], previous, series->closes[i]));
  }
  return bars;
}

void Market::ApplySession(const Security& security, const SessionState& state, std::vector<DailyBar>& bars,
                          const std::vector<double>* lastDayPath) const {
  if (bars.empty() || !state.inSession || bars.back().day != state.quoteDay ||
      security.type == SecurityType::MutualFund)
    return;
  std::vector<double> computed;
  const bool cached =
      lastDayPath != nullptr && static_cast<int>(lastDayPath->size()) == state.sessionMinutes + 1;
  if (!cached) computed = model.IntradayPath(security, bars.back(), state.sessionMinutes);
  bars.back() = PriceModel::PartialBar(bars.back(), cached ? *lastDayPath : computed, state.elapsedMinutes);
}

static int FundQuoteDay(const SessionState& state) {
  // A fund's price is struck after the close; during the session the previous day's stands.
  return state.inSession ? TradingCalendar::PreviousTradingDay(state.quoteDay) : state.quoteDay;
}

void Market::ToViewShares(SecuritySnapshot& snap) const {
  const auto& splits = corporateActions.Splits(snap.security->symbol);
  if (splits.empty() || snap.bars.empty()) return;
  if (snap.realHistory) {
    ToSharesOfLastDay(splits, snap.bars);
  } else {
    TodaysSharesToSharesOf(splits, snap.bars.back().day, snap.bars);
  }
}

SecuritySnapshot Market::Snapshot(const Security& security, int fromDay, SysSeconds now) const {
  SecuritySnapshot snap = RawSnapshot(security, fromDay, now);
  ToViewShares(snap);
  return snap;
}

SecuritySnapshot Market::RawSnapshot(const Security& security, int fromDay, SysSeconds now) const {
  SecuritySnapshot snap;
  snap.security = &security;
  snap.session = Calendar(security).State(now);
  if (const History real = RealHistory(security)) {
    snap.realHistory = true;
    for (const DailyBar& bar : *real) {
      if (bar.day >= fromDay && bar.day <= snap.session.localDay) snap.bars.push_back(bar);
    }
    return snap;
  }
  const int lastDay =
      security.type == SecurityType::MutualFund ? FundQuoteDay(snap.session) : snap.session.quoteDay;
  snap.bars = SimulatedBars(security, fromDay, lastDay, snap.session, 0);
  return snap;
}

SecuritySnapshot Market::RecentSnapshot(const Security& security, size_t count, SysSeconds now) const {
  SecuritySnapshot snap;
  snap.security = &security;
  snap.session = Calendar(security).State(now);
  if (const History real = RealHistory(security)) {
    snap.realHistory = true;
    auto end = std::upper_bound(real->begin(), real->end(), snap.session.localDay,
                                [](int day, const DailyBar& bar) { return day < bar.day; });
    auto begin = end - std::min<ptrdiff_t>(end - real->begin(), static_cast<ptrdiff_t>(count));
    snap.bars.assign(begin, end);
    ToViewShares(snap);
    return snap;
  }
  const int lastDay =
      security.type == SecurityType::MutualFund ? FundQuoteDay(snap.session) : snap.session.quoteDay;
  snap.bars = SimulatedBars(security, lastDay + 1, lastDay, snap.session, count);
  ToViewShares(snap);
  return snap;
}

std::vector<IntradayPoint> Market::Intraday(const Security& security, int day, SysSeconds now) const {
  std::vector<IntradayPoint> points;
  const TradingCalendar& calendar = Calendar(security);
  const SessionState state = calendar.State(now);
  if (day > state.quoteDay || !TradingCalendar::IsTradingDay(day)) return points;
  DailyBar full;
  const History real = RealHistory(security);
  if (real) {
    auto it = std::find_if(real->begin(), real->end(), [day](const DailyBar& b) { return b.day == day; });
    if (it == real->end()) return points;
    full = *it;
  } else {
    const auto series = Closes(security, day);
    const auto it = std::lower_bound(series->days.begin(), series->days.end(), day);
    if (it == series->days.end() || *it != day) return points;
    const size_t i = it - series->days.begin();
    full = model.MakeBar(security, day, i > 0 ? series->closes[i - 1] : series->closes[i], series->closes[i]);
  }
  const auto path = model.IntradayPath(security, full, state.sessionMinutes);
  int last = static_cast<int>(path.size()) - 1;
  if (day == state.quoteDay && state.inSession && !real) last = state.elapsedMinutes;
  // In the quote day's shares, as the snapshot's bars are.
  int64_t n = 1, d = 1;
  const auto& splits = corporateActions.Splits(security.symbol);
  if (real) {
    SplitFactor(splits, day, state.quoteDay, d, n);  // old shares per new one: the other way round
  } else {
    SplitFactor(splits, state.quoteDay, std::numeric_limits<int>::max(), n, d);
  }
  const double f = static_cast<double>(n) / static_cast<double>(d);
  const SysSeconds open = calendar.OpenTime(day);
  for (int t = 0; t <= last; ++t) {
    const double price = n == d ? path[t] : std::round(path[t] * f * 100.0) / 100.0;
    points.push_back({open + std::chrono::minutes{t}, price});
  }
  return points;
}
