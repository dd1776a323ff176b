#include "service/quote_figures.h"

#include "service/classic_figures.h"
#include "service/decimal_text.h"
#include "service/exchange_info.h"
#include "service/market.h"
#include "service/text_format.h"

#include <algorithm>
#include <cmath>

static const char kNA[] = "N/A";

QuoteFigures UnknownQuote(const std::string& symbol) {
  QuoteFigures q;
  q.symbol = symbol;
  q.name = q.exchange = kNA;
  for (std::string* f : {&q.marketCap,
                         &q.marketCapRealtime,
                         &q.pegRatio,
                         &q.peRatio,
                         &q.priceSales,
                         &q.dividendPerShare,
                         &q.dividendYield,
                         &q.dividendPayDate,
                         &q.averageVolume,
                         &q.low52Week,
                         &q.high52Week,
                         &q.movingAverage50,
                         &q.change50,
                         &q.percentChange50,
                         &q.movingAverage200,
                         &q.change200,
                         &q.percentChange200,
                         &q.targetPrice1Year,
                         &q.peEstimateThisYear,
                         &q.peEstimateNextYear,
                         &q.epsEstimateNextQuarter,
                         &q.epsEstimateNextYear,
                         &q.epsEstimateThisYear,
                         &q.previousClose,
                         &q.lastTradeDate,
                         &q.tickerTrend,
                         &q.volume,
                         &q.open,
                         &q.bid,
                         &q.ask,
                         &q.bidSize,
                         &q.askSize,
                         &q.shortRatio,
                         &q.floatShares})
    *f = kNA;
  q.lastTradeWithTime = q.lastTradeRealtimeWithTime = "N/A - <b>0.00</b>";
  q.changeWithPercent = q.changeRealtimeWithPercent = "N/A - N/A";
  q.dayRange = q.dayRangeRealtime = "N/A - N/A";
  SetClassicUnknown(q);
  return q;
}

static std::string Price(double v) {
  return FormatFixed(v, 2);
}

static std::string Ratio(double numerator, double denominator) {
  if (denominator <= 0 || numerator <= 0) return kNA;
  return FormatFixed(numerator / denominator, 2);
}

// Average close of `count` bars before the last one; false when there are none.
static bool MovingAverage(const std::vector<DailyBar>& bars, size_t count, double& average) {
  if (bars.size() < 2) return false;
  const size_t end = bars.size() - 1;
  const size_t begin = end > count ? end - count : 0;
  double sum = 0;
  for (size_t i = begin; i < end; ++i) sum += bars[i].close;
  average = sum / static_cast<double>(end - begin);
  return true;
}

static void SetMovingAverage(const std::vector<DailyBar>& bars, size_t count, double last,
                             std::string& average, std::string& change, std::string& percent) {
  double ma = 0;
  if (!MovingAverage(bars, count, ma) || ma <= 0) {
    average = change = percent = kNA;
    return;
  }
  average = Price(ma);
  change = FormatSignedFixed(last - ma, 2);
  percent = FormatSignedPercent((last - ma) / ma * 100.0);
}

static std::string TickerTrend(const std::vector<DailyBar>& bars) {
  std::string trend;
  const size_t first = bars.size() > 6 ? bars.size() - 6 : 1;
  for (size_t i = first; i < bars.size(); ++i) {
    const double d = bars[i].close - bars[i - 1].close;
    trend += d > 0.004 ? '+' : d < -0.004 ? '-' : '=';
  }
  return "&nbsp;" + trend + "&nbsp;";
}

static void SetEarnings(const Market& market, const Security& s, double last, QuoteFigures& q) {
  const bool stock = s.type == SecurityType::Stock;
  q.marketCap = stock && s.shares > 0 ? FormatMagnitude(last * s.shares / s.exchange->priceDivisor) : kNA;
  q.marketCapRealtime = q.marketCap;
  q.floatShares =
      stock && s.shares > 0
          ? FormatGrouped(static_cast<int64_t>(s.shares * (0.80 + 0.19 * market.Model().Trait(s, 10))))
          : kNA;
  q.shortRatio = stock ? FormatFixed(0.5 + 5.0 * market.Model().Trait(s, 9), 2) : kNA;
  q.targetPrice1Year = stock ? Price(last * (0.95 + 0.30 * market.Model().Trait(s, 8))) : kNA;
  const bool earns = stock && s.eps > 0;
  const double growth = 0.02 + 0.18 * market.Model().Trait(s, 6);
  const double epsThisYear = s.eps * (1.0 + growth / 2.0);
  const double epsNextYear = epsThisYear * (1.0 + growth);
  const double margin = 0.05 + 0.25 * market.Model().Trait(s, 7);
  q.peRatio = earns ? Ratio(last, s.eps) : kNA;
  q.pegRatio = earns ? FormatFixed(last / s.eps / (growth * 100.0), 2) : kNA;
  q.priceSales = earns ? Ratio(last, s.eps / margin) : kNA;
  q.epsEstimateThisYear = earns ? Price(epsThisYear) : kNA;
  q.epsEstimateNextYear = earns ? Price(epsNextYear) : kNA;
  q.epsEstimateNextQuarter = earns ? Price(epsNextYear / 4.0) : kNA;
  q.peEstimateThisYear = earns ? Ratio(last, epsThisYear) : kNA;
  q.peEstimateNextYear = earns ? Ratio(last, epsNextYear) : kNA;
}

static void SetDividend(const Market& market, const Security& s, double last, int day, QuoteFigures& q) {
  const DividendOutlook outlook = market.Outlook(s, day);
  q.dividendPerShare = q.dividendYield = q.dividendPayDate = kNA;
  if (outlook.annualMicros > 0) {
    q.dividendPerShare = FormatMicrosFixed(outlook.annualMicros, 2);
    q.dividendYield = FormatFixed(static_cast<double>(outlook.annualMicros) / 1e6 / last * 100.0, 2);
  }
  if (outlook.nextPayDay != 0) q.dividendPayDate = FormatMonthDay(outlook.nextPayDay);
}

static void SetBook(const Market& market, const Security& s, double last, QuoteFigures& q) {
  if (s.type == SecurityType::Index || s.type == SecurityType::MutualFund) {
    q.bid = q.ask = q.bidSize = q.askSize = kNA;
    return;
  }
  const double tick = std::max(0.01, std::round(last * 0.0002 * 100.0) / 100.0);
  q.bid = Price(std::max(0.01, last - tick));
  q.ask = Price(last + tick);
  // Sizes change with the minute of the last trade, so a running session shows a moving book.
  const int stream = 30 + q.lastTradeMinute;
  q.bidSize =
      std::to_string(100 * (1 + static_cast<int>(market.Model().Uniform(s, q.lastTradeDay, stream) * 40)));
  q.askSize = std::to_string(
      100 * (1 + static_cast<int>(market.Model().Uniform(s, q.lastTradeDay, stream + 1) * 40)));
}

QuoteFigures MakeQuote(const Market& market, const SecuritySnapshot& snap) {
  const Security& s = *snap.security;
  QuoteFigures q = UnknownQuote(s.symbol);
  q.known = true;
  q.errorIndication = "N/A";
  q.name = s.name;
  q.exchange = s.exchange->name;
  const auto& bars = snap.bars;
  if (bars.empty()) return q;
  q.hasPrice = true;
  const DailyBar& today = bars.back();
  const double previous = bars.size() >= 2 ? bars[bars.size() - 2].close : today.open;
  q.last = today.close;
  q.change = today.close - previous;
  q.percentChange = previous > 0 ? q.change / previous * 100.0 : 0.0;
  q.lastTradeDay = today.day;
  const bool running = snap.session.inSession && today.day == snap.session.quoteDay && !snap.realHistory &&
                       s.type != SecurityType::MutualFund;
  q.lastTradeMinute =
      s.exchange->openMinute + (running ? snap.session.elapsedMinutes : snap.session.sessionMinutes);

  const std::string when =
      today.day == snap.session.localDay ? FormatClockTime(q.lastTradeMinute) : FormatMonthDay(today.day);
  q.lastTradeWithTime = when + " - <b>" + Price(q.last) + "</b>";
  q.lastTradeRealtimeWithTime = q.lastTradeWithTime;
  q.changeWithPercent = FormatSignedFixed(q.change, 2) + " - " + FormatSignedPercent(q.percentChange);
  q.changeRealtimeWithPercent = q.changeWithPercent;
  q.previousClose = Price(previous);
  q.lastTradeDate = FormatUsDate(today.day);
  q.tickerTrend = TickerTrend(bars);

  const bool fund = s.type == SecurityType::MutualFund;
  q.open = fund ? kNA : Price(today.open);
  q.dayRange = fund ? "N/A - N/A" : Price(today.low) + " - " + Price(today.high);
  q.dayRangeRealtime = q.dayRange;
  q.volume = fund ? kNA : FormatFixed(today.volume, 0);

  double low = today.low, high = today.high, volumeSum = 0;
  size_t volumeDays = 0;
  for (size_t i = 0; i + 1 < bars.size(); ++i) {
    if (bars[i].day > today.day - 365) {
      low = std::min(low, bars[i].low);
      high = std::max(high, bars[i].high);
    }
    if (i + 1 + 63 >= bars.size()) {
      volumeSum += bars[i].volume;
      ++volumeDays;
    }
  }
  q.low52Week = Price(low);
  q.high52Week = Price(high);
  q.averageVolume = fund || volumeDays == 0 ? kNA : FormatFixed(volumeSum / volumeDays, 0);
  SetMovingAverage(bars, 50, q.last, q.movingAverage50, q.change50, q.percentChange50);
  SetMovingAverage(bars, 200, q.last, q.movingAverage200, q.change200, q.percentChange200);
  SetEarnings(market, s, q.last, q);
  SetDividend(market, s, q.last, today.day, q);
  SetBook(market, s, q.last, q);
  SetClassicFigures(market, snap, q);
  return q;
}
