#include "service/history_request.h"

#include "framework/text_util.h"
#include "service/fx_market.h"
#include "service/market.h"
#include "service/price_model.h"
#include "service/query_string.h"
#include "service/service_response.h"
#include "service/text_format.h"

#include <algorithm>

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

bool ReadHistoryRequest(const Market& market, const QueryString& query, HistoryRequest& request,
                        ServiceResponse& refusal) {
  const std::string asked = query.Text("s");
  request.symbol = AsciiUpper(asked);
  if (request.symbol.empty()) {
    refusal = BadRequest("historical prices need s=SYMBOL");
    return false;
  }
  if (request.symbol.size() > 32) {
    refusal = BadRequest("symbol too long");
    return false;
  }
  int lastDay = 0;
  bool former = false;
  request.security = market.Securities().Find(request.symbol);
  if (request.security == nullptr) {
    request.security = market.FindFormer(request.symbol, lastDay);
    former = request.security != nullptr;
    if (former) request.retiredOn = lastDay + 1;
  }
  int today = 0;
  if (request.security != nullptr) {
    today = market.Calendar(*request.security).State(market.Now()).localDay;
  } else if (market.Rates().IsPair(asked)) {
    today = market.Rates().Today(market.Now());
  } else {
    refusal = NotFound("Historical prices for " + request.symbol);
    return false;
  }
  if (!ReadDate(query, "a", "b", "c", PriceModel::FirstDay(), request.fromDay) ||
      !ReadDate(query, "d", "e", "f", today, request.toDay)) {
    refusal = BadRequest("bad date in a to f");
    return false;
  }
  // Nothing after the clock: a dividend or a split is news on its ex-date.
  request.toDay = std::min(request.toDay, former ? std::min(lastDay, today) : today);
  return true;
}
