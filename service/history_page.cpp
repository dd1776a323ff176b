#include "service/history_page.h"

#include "service/market.h"
#include "service/price_model.h"
#include "service/query_string.h"
#include "service/service_response.h"
#include "service/text_format.h"

static int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// A date from the month (0-based), day and year keys; missing keys take the fallback's parts and a
// day beyond the month's end is the month's last day. False on a value out of range.
static bool ReadDate(const QueryString& q, const char* monthKey, const char* dayKey, const char* yearKey,
                     int fallback, int& day) {
  int y, m, d;
  SplitDay(fallback, y, m, d);
  long month = m - 1, dayOfMonth = d, year = y;
  std::string_view raw;
  if (q.Raw(monthKey, raw) && !q.Int(monthKey, 0, 11, month)) return false;
  if (q.Raw(dayKey, raw) && !q.Int(dayKey, 1, 31, dayOfMonth)) return false;
  if (q.Raw(yearKey, raw) && !q.Int(yearKey, 1900, 2200, year)) return false;
  const int monthNumber = static_cast<int>(month) + 1;
  const int clamped =
      std::min(static_cast<int>(dayOfMonth), DaysInMonth(static_cast<int>(year), monthNumber));
  return MakeDay(static_cast<int>(year), monthNumber, clamped, day);
}

ServiceResponse HistoryCsvPage(const Market& market, std::string_view rawQuery) {
  const QueryString query(rawQuery);
  const std::string symbol = ToUpper(query.Text("s"));
  if (symbol.empty()) return BadRequest("historical prices need s=SYMBOL");
  const std::string interval = query.Text("g", "d");
  if (interval != "d") return BadRequest("only daily rows (g=d) are served");
  const Security* security = market.Securities().Find(symbol);
  if (security == nullptr) return NotFound("Historical prices for " + symbol);

  const SysSeconds now = market.Now();
  const int today = market.Calendar(*security).State(now).localDay;
  int from = 0, to = 0;
  if (!ReadDate(query, "a", "b", "c", PriceModel::FirstDay(), from) ||
      !ReadDate(query, "d", "e", "f", today, to))
    return BadRequest("bad date in a to f");
  SecuritySnapshot snap = market.Snapshot(*security, from, now);
  while (!snap.bars.empty() && snap.bars.back().day > to) snap.bars.pop_back();
  return {200, "text/csv", FormatHistoryCsv(snap.bars)};
}
