#include "portfolio/performance/history_close_source.h"

#include <algorithm>
#include <cstdio>

#include "marketdata/historical_price.h"
#include "marketdata/historical_price_provider.h"
#include "marketdata/market_date.h"
#include "portfolio/records/calendar_date.h"

namespace {

constexpr const char* kCsvHeader = "Date,Open,High,Low,Close,Volume,Adj Close";
constexpr int64_t kMaxCloseUnits = 100000000000;  // 10^11

// How a failed history request ended: no answer, an answer without the CSV (the unknown symbol's page), or
// an answer with the CSV header and no row in the months asked (a known symbol, nothing to give).
CloseRequestResult Classify(const HistoricalPriceProvider& provider) {
  CloseRequestResult result;
  result.errorText = provider.GetErrorText();
  result.failure = provider.GetFailure();
  if (result.failure.noAnswer) {
    result.status = CloseRequestStatus::Unreachable;
  } else if (provider.GetContent().find(kCsvHeader) != std::string::npos) {
    result = {};
  } else if (!result.failure.IsSet() || result.failure.cause == "HTTP status 404") {
    result.status = CloseRequestStatus::NoHistory;
  } else {
    result.status = CloseRequestStatus::Failed;
  }
  return result;
}

}  // namespace

bool ParseCloseCents(const std::string& text, int64_t* cents) {
  int64_t units = 0;
  size_t i = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    units = units * 10 + (text[i] - '0');
    if (units >= kMaxCloseUnits) return false;
  }
  const size_t wholeDigits = i;
  int64_t fraction = 0;  // hundredths
  int fractionDigits = 0;
  bool roundUp = false;
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++fractionDigits) {
      if (fractionDigits < 2) fraction = fraction * 10 + (text[i] - '0');
      if (fractionDigits == 2) roundUp = text[i] >= '5';
    }
  }
  if (i != text.size() || wholeDigits + static_cast<size_t>(fractionDigits) == 0) return false;
  for (int k = fractionDigits; k < 2; ++k) fraction *= 10;
  *cents = units * 100 + fraction + (roundUp ? 1 : 0);
  return *cents > 0;
}

bool ParseDayText(const std::string& text, int64_t* day) {
  int dayOfMonth = 0, year = 0;
  char month[4] = {};
  char extra = 0;
  if (text.size() > 16 ||
      std::sscanf(text.c_str(), "%2d-%3[A-Za-z]-%4d%c", &dayOfMonth, month, &year, &extra) != 3) {
    return false;
  }
  const int monthNumber = MonthFromAbbreviation(month);
  if (monthNumber == 0 || dayOfMonth < 1 || dayOfMonth > DaysInMonth(monthNumber, year)) return false;
  *day = DayNumberOf({year, monthNumber, dayOfMonth});
  return true;
}

CloseRequestResult HistoryCloseSource::GetCloses(const std::string& symbol, int64_t firstDay, int64_t lastDay,
                                                 std::vector<DailyClose>& closes) {
  closes.clear();
  const CalendarDate first = DateOfDayNumber(firstDay);
  const CalendarDate last = DateOfDayNumber(lastDay);
  HistoricalPriceProvider provider;
  HistoricalPriceProvider::Results rows;
  provider.Fetch(symbol, first.month, first.year, last.month, last.year, &rows);
  if (provider.HasError()) return Classify(provider);
  closes.reserve(rows.size());
  for (const auto& row : rows) {
    DailyClose close;
    // A row whose day or close cannot be read is left out, as a missing day.
    int64_t cents = 0;
    if (ParseDayText(row->dateText, &close.day) && ParseCloseCents(row->close, &cents)) {
      close.close = PriceOfCents(cents);
      closes.push_back(close);
    }
  }
  // The service lists the newest day first; one close per day, the first one listed.
  std::stable_sort(closes.begin(), closes.end(),
                   [](const DailyClose& a, const DailyClose& b) { return a.day < b.day; });
  closes.erase(std::unique(closes.begin(), closes.end(),
                           [](const DailyClose& a, const DailyClose& b) { return a.day == b.day; }),
               closes.end());
  return {};
}

CloseRequestResult CachedCloseSource::GetCloses(const std::string& symbol, int64_t firstDay, int64_t lastDay,
                                                std::vector<DailyClose>& closes) {
  auto it = entries.find(symbol);
  if (it == entries.end() || firstDay < it->second.firstDay || lastDay > it->second.lastDay) {
    const int64_t from = it == entries.end() ? firstDay : std::min(firstDay, it->second.firstDay);
    const int64_t to = it == entries.end() ? lastDay : std::max(lastDay, it->second.lastDay);
    std::vector<DailyClose> fetched;
    ++requests;
    const CloseRequestResult result = inner->GetCloses(symbol, from, to, fetched);
    if (result.status != CloseRequestStatus::Ok) {
      closes.clear();
      return result;
    }
    it = entries.insert_or_assign(symbol, Entry{from, to, std::move(fetched)}).first;
  }
  closes = it->second.closes;
  return {};
}

IDailyCloseSource& SessionCloseSource() {
  static CachedCloseSource source(std::make_unique<HistoryCloseSource>());
  return source;
}
