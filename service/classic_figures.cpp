#include "service/classic_figures.h"

#include "service/exchange_info.h"
#include "service/market.h"
#include "service/quote_figures.h"
#include "service/text_format.h"

#include <algorithm>
#include <cstdlib>

static const char kNA[] = "N/A";

void SetClassicUnknown(QuoteFigures& q) {
  for (std::string* f :
       {&q.lastTradePrice, &q.changeOnly, &q.changeInPercent, &q.lastTradeTime, &q.dayLow, &q.dayHigh,
        &q.change52WeekLow, &q.percentChange52WeekLow, &q.change52WeekHigh, &q.percentChange52WeekHigh,
        &q.earningsPerShare, &q.bookValue, &q.priceBook, &q.ebitda, &q.exDividendDate, &q.lastTradeSize})
    *f = kNA;
  q.range52Week = q.afterHoursChange = q.dayValueChange = "N/A - N/A";
  q.errorIndication = "No such ticker symbol.";
}

static std::string Price(double v) {
  return FormatFixed(v, 2);
}

// The signed distance of the last price from a reference, and the same as a percentage of it.
static void SetDistance(double last, double reference, std::string& change, std::string& percent) {
  if (reference <= 0) {
    change = percent = kNA;
    return;
  }
  change = FormatSignedFixed(last - reference, 2);
  percent = FormatSignedPercent((last - reference) / reference * 100.0);
}

void SetClassicFigures(const Market& market, const SecuritySnapshot& snap, QuoteFigures& q) {
  SetClassicUnknown(q);
  q.errorIndication = kNA;
  q.afterHoursChange = "N/A - N/A";
  if (!q.hasPrice) return;
  const Security& s = *snap.security;
  const DailyBar& today = snap.bars.back();
  const bool fund = s.type == SecurityType::MutualFund;
  q.lastTradePrice = Price(q.last);
  q.changeOnly = FormatSignedFixed(q.change, 2);
  q.changeInPercent = FormatSignedPercent(q.percentChange);
  q.lastTradeTime = FormatClockTime(q.lastTradeMinute);
  q.dayValueChange = "- - " + q.changeInPercent;
  if (!fund) {
    q.dayLow = Price(today.low);
    q.dayHigh = Price(today.high);
  }
  q.range52Week = q.low52Week + " - " + q.high52Week;
  SetDistance(q.last, std::strtod(q.low52Week.c_str(), nullptr), q.change52WeekLow, q.percentChange52WeekLow);
  SetDistance(q.last, std::strtod(q.high52Week.c_str(), nullptr), q.change52WeekHigh,
              q.percentChange52WeekHigh);

  if (s.type == SecurityType::Stock) {
    if (s.eps != 0) q.earningsPerShare = Price(s.eps);
    // Book value and cash earnings follow from the earnings with traits of their own, so the ratios
    // stay put from one request to the next.
    const double book = std::max(0.5, s.eps) * (3.0 + 9.0 * market.Model().Trait(s, 11));
    q.bookValue = Price(book);
    q.priceBook = FormatFixed(q.last / book, 2);
    if (s.eps > 0 && s.shares > 0)
      q.ebitda = FormatMagnitude(s.eps * s.shares * (1.3 + 0.6 * market.Model().Trait(s, 12)) /
                                 s.exchange->priceDivisor);
  }
  if (s.type != SecurityType::Index && !fund) {
    const double draw = market.Model().Uniform(s, q.lastTradeDay, 60 + q.lastTradeMinute);
    q.lastTradeSize = std::to_string(100 * (1 + static_cast<int>(draw * 20)));
  }
  const DividendOutlook outlook = market.Outlook(s, today.day);
  if (outlook.nextExDay != 0) q.exDividendDate = FormatMonthDay(outlook.nextExDay);
}
