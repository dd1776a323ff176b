#include "service/fx_pages.h"

#include "framework/text_util.h"
#include "service/currency_table.h"
#include "service/service_response.h"
#include "service/text_format.h"

#include <algorithm>

static const char kNA[] = "N/A";

namespace {

// A figure of the page with as many decimals as the rate it is read against.
std::string Like(const Decimal& rate, double value) {
  return FormatSignedFixed(value, DecimalPlaces(rate));
}

std::string Percent(double part, double whole) {
  return whole > 0 ? FormatSignedPercent(part / whole * 100.0) : kNA;
}

// The average of up to `count` rates before the last one; invalid when there are none.
Decimal MovingAverage(const std::vector<RateFixing>& rates, size_t count) {
  if (rates.size() < 2) return {};
  const size_t end = rates.size() - 1, begin = end > count ? end - count : 0;
  double sum = 0;
  for (size_t i = begin; i < end; ++i) sum += ToDouble(rates[i].rate);
  return RateFromDouble(sum / static_cast<double>(end - begin));
}

void SetAverage(const std::vector<RateFixing>& rates, size_t count, std::string& average, std::string& change,
                std::string& percent) {
  const Decimal ma = MovingAverage(rates, count);
  if (!ma.Valid()) return;
  const Decimal& last = rates.back().rate;
  const double difference = ToDouble(last) - ToDouble(ma);
  average = FormatDecimal(ma);
  change = Like(last, difference);
  percent = Percent(difference, ToDouble(ma));
}

std::string TickerTrend(const std::vector<RateFixing>& rates) {
  std::string trend;
  for (size_t i = rates.size() > 6 ? rates.size() - 6 : 1; i < rates.size(); ++i) {
    const int c = CompareDecimals(rates[i].rate, rates[i - 1].rate);
    trend += c > 0 ? '+' : c < 0 ? '-' : '=';
  }
  return "&nbsp;" + trend + "&nbsp;";
}

void SetRange(const std::vector<RateFixing>& rates, QuoteFigures& q) {
  const RateFixing& last = rates.back();
  Decimal low = last.rate, high = last.rate;
  for (const RateFixing& f : rates) {
    if (f.day <= last.day - 365) continue;
    if (CompareDecimals(f.rate, low) < 0) low = f.rate;
    if (CompareDecimals(f.rate, high) > 0) high = f.rate;
  }
  q.low52Week = FormatDecimal(low);
  q.high52Week = FormatDecimal(high);
  q.range52Week = q.low52Week + " - " + q.high52Week;
  const double lastValue = ToDouble(last.rate);
  q.change52WeekLow = Like(last.rate, lastValue - ToDouble(low));
  q.percentChange52WeekLow = Percent(lastValue - ToDouble(low), ToDouble(low));
  q.change52WeekHigh = Like(last.rate, lastValue - ToDouble(high));
  q.percentChange52WeekHigh = Percent(lastValue - ToDouble(high), ToDouble(high));
}

}  // namespace

QuoteFigures MakeRateQuote(const FxMarket& fx, const CurrencyPair& pair, SysSeconds now) {
  QuoteFigures q = UnknownQuote(PairSymbol(pair));
  q.known = true;
  q.errorIndication = kNA;
  q.name = PairName(pair);
  q.exchange = kRateExchange;
  const int latest = fx.LatestFixingDay(now);
  const std::vector<RateFixing> rates = fx.Fixings(pair, latest - 400, latest);
  if (rates.empty()) return q;
  q.hasPrice = true;
  const RateFixing& last = rates.back();
  const Decimal& previous = rates.size() >= 2 ? rates[rates.size() - 2].rate : last.rate;
  q.last = ToDouble(last.rate);
  q.change = q.last - ToDouble(previous);
  q.percentChange = q.change / ToDouble(previous) * 100.0;
  q.lastTradeDay = last.day;
  q.lastTradeMinute = 14 * 60 + 15;
  const std::string when = last.day == fx.Today(now) ? kRateQuoteTime : FormatMonthDay(last.day);
  q.lastTradeWithTime = q.lastTradeRealtimeWithTime = when + " - <b>" + FormatDecimal(last.rate) + "</b>";
  q.lastTradePrice = FormatDecimal(last.rate);
  q.changeOnly = Like(last.rate, q.change);
  q.changeInPercent = FormatSignedPercent(q.percentChange);
  q.changeWithPercent = q.changeRealtimeWithPercent = q.changeOnly + " - " + q.changeInPercent;
  q.dayValueChange = "- - " + q.changeInPercent;
  q.previousClose = FormatDecimal(previous);
  q.lastTradeDate = FormatUsDate(last.day);
  q.lastTradeTime = kRateQuoteTime;
  q.tickerTrend = TickerTrend(rates);
  SetRange(rates, q);
  SetAverage(rates, 50, q.movingAverage50, q.change50, q.percentChange50);
  SetAverage(rates, 200, q.movingAverage200, q.change200, q.percentChange200);
  return q;
}

ServiceResponse RateHistoryCsv(const FxMarket& fx, const std::string& symbol, int fromDay, int toDay,
                               SysSeconds now) {
  CurrencyPair pair;
  if (!ParsePairSymbol(symbol, pair)) return NotFound("Historical prices for " + symbol);
  const auto rates = fx.Fixings(pair, fromDay, std::min(toDay, fx.LatestFixingDay(now)));
  std::string out = "Date,Open,High,Low,Close,Volume,Adj Close\n";
  out.reserve(out.size() + rates.size() * 64);
  for (auto it = rates.rbegin(); it != rates.rend(); ++it) {
    const std::string rate = FormatDecimal(it->rate);
    out += FormatIsoDay(it->day) + "," + rate + "," + rate + "," + rate + "," + rate + ",0," + rate + "\n";
  }
  return {200, "text/csv", std::move(out)};
}

std::vector<CurrencyPair> FindPairs(std::string_view text) {
  std::vector<CurrencyPair> out;
  const std::string needle = AsciiLower(text), exact = AsciiUpper(text);
  if (needle.empty()) return out;
  int count = 0;
  const CurrencyInfo* all = AllCurrencies(count);
  for (int b = 0; b < count; ++b) {
    for (int q = 0; q < count; ++q) {
      if (b == q || all[b].IsMinorUnit() || all[q].IsMinorUnit()) continue;
      const CurrencyPair pair{&all[b], &all[q]};
      if (AsciiLower(PairSymbol(pair)).find(needle) == std::string::npos &&
          AsciiLower(PairName(pair)).find(needle) == std::string::npos)
        continue;
      out.push_back(pair);
    }
  }
  std::sort(out.begin(), out.end(), [&exact](const CurrencyPair& a, const CurrencyPair& b) {
    const std::string sa = PairSymbol(a), sb = PairSymbol(b);
    if ((sa == exact) != (sb == exact)) return sa == exact;
    return sa < sb;
  });
  return out;
}
