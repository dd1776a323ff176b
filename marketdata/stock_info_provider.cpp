#include "marketdata/stock_info_provider.h"

#include <array>
#include <charconv>

#include "marketdata/stock_info.h"
#include "marketdata/text_helpers.h"
#include "marketdata/url_encode.h"

// The values between the exchange (x) and the last trade (l), in field-code order.
struct CsvColumn {
  const char* code;
  std::string StockInfo::*member;
  bool quoted;
  bool twoDecimals;
};

static const std::array<CsvColumn, 33> kMiddleColumns{{
    {"j1", &StockInfo::marketCap, false, false},
    {"j3", &StockInfo::marketCapRealtime, false, false},
    {"r5", &StockInfo::pegRatio, false, false},
    {"r", &StockInfo::peRatio, false, false},
    {"p5", &StockInfo::priceSales, false, false},
    {"d", &StockInfo::dividendPerShare, false, false},
    {"y", &StockInfo::dividendYield, false, false},
    {"r1", &StockInfo::dividendPayDate, true, false},
    {"a2", &StockInfo::averageVolume, false, false},
    {"j", &StockInfo::low52Week, false, true},
    {"k", &StockInfo::high52Week, false, true},
    {"m3", &StockInfo::movingAverage50, false, true},
    {"m7", &StockInfo::change50, false, true},
    {"m8", &StockInfo::percentChange50, false, false},
    {"m4", &StockInfo::movingAverage200, false, true},
    {"m5", &StockInfo::change200, false, true},
    {"m6", &StockInfo::percentChange200, false, false},
    {"t8", &StockInfo::targetPrice1Year, false, false},
    {"r6", &StockInfo::peEstimateThisYear, false, false},
    {"r7", &StockInfo::peEstimateNextYear, false, false},
    {"e9", &StockInfo::epsEstimateNextQuarter, false, false},
    {"e8", &StockInfo::epsEstimateNextYear, false, false},
    {"e7", &StockInfo::epsEstimateThisYear, false, false},
    {"p", &StockInfo::previousClose, false, false},
    {"d1", &StockInfo::lastTradeDate, true, false},
    {"t7", &StockInfo::tickerTrend, true, false},
    {"v", &StockInfo::volume, false, false},
    {"o", &StockInfo::open, false, true},
    {"b3", &StockInfo::bid, false, true},
    {"b2", &StockInfo::ask, false, true},
    {"b6", &StockInfo::bidSize, false, false},
    {"a5", &StockInfo::askSize, false, false},
    {"s7", &StockInfo::shortRatio, false, true},
}};

void StockInfoProvider::Fetch(const std::vector<StockInfo*>& list) {
  quotes = list;
  Run();
}

void StockInfoProvider::GetUrl(std::string& out) {
  std::string symbols;
  for (const StockInfo* info : quotes) {
    if (!symbols.empty()) symbols += '+';
    symbols += EncodeUrlValue(info ? info->symbol : std::string());
  }
  out = MakeUrl(hosts.quoteCsvHost, "/d/quotes.csv?s=" + symbols + "&f=" + kFieldCodes);
}

std::string StockInfoProvider::CutToTwoDecimals(const std::string& value) {
  std::string text = value;
  size_t point = text.rfind('.');
  if (point != std::string::npos && text.size() - point - 1 >= 3) text.resize(point + 3);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

bool StockInfoProvider::QuotedRead(std::string& out) {
  std::string value;
  if (!SkipPastNoCase("\"") || !ExtractUntil("\"", value)) return false;
  out = FlattenLines(ReplaceAll(StripTags(value), "\"", ""));
  (void)SkipPastNoCase(",");  // the separator may be missing at the end of the line
  return true;
}

bool StockInfoProvider::PlainRead(std::string& out) {
  std::string value;
  if (!ExtractUntil(",", value)) return false;
  out = FlattenLines(StripQuotes(StripTags(value)));
  return true;
}

// "time - price" into the two fields; without a "-" both keep their values.
static void SplitTradePair(const std::string& pair, std::string& price, std::string& time) {
  size_t dash = pair.rfind('-');
  if (dash == std::string::npos) return;
  price = StockInfoProvider::CutToTwoDecimals(FlattenLines(pair.substr(dash + 1)));
  time = FlattenLines(pair.substr(0, dash));
}

// "+0.32 - +1.19%" into the change and the percent change.
static void SplitChangePair(const std::string& pair, std::string& change, std::string& percent) {
  size_t firstSpace = pair.find(' ');
  if (firstSpace == std::string::npos) return;
  change = StockInfoProvider::CutToTwoDecimals(FlattenLines(pair.substr(0, firstSpace)));
  percent = FlattenLines(pair.substr(pair.rfind(' ') + 1));
}

// The service may leave the real-time change out while it has everything to compute it.
static void FillInRealtimeChange(StockInfo& info) {
  if (info.changeRealtime != "N/A" || info.percentChangeRealtime == "N/A" || info.previousClose == "N/A" ||
      info.lastTradeRealtime == "N/A") {
    return;
  }
  double previous = LeadingNumber(info.previousClose);
  double last = LeadingNumber(info.lastTradeRealtime);
  if (previous == 0 || last == 0) return;
  double difference = last - previous;
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, difference, std::chars_format::fixed, 2);
  std::string text = StockInfoProvider::CutToTwoDecimals(std::string(buf, r.ptr));
  info.changeRealtime = difference > 0 ? "+" + text : text;
}

bool StockInfoProvider::ReadLine(StockInfo& info) {
  std::string value;
  if (!QuotedRead(value)) return false;  // the symbol: lines are matched by order
  if (!QuotedRead(info.name) || !QuotedRead(info.exchange)) return false;
  for (const CsvColumn& column : kMiddleColumns) {
    if (!(column.quoted ? QuotedRead(value) : PlainRead(value))) return false;
    info.*column.member = column.twoDecimals ? CutToTwoDecimals(value) : value;
  }
  if (!QuotedRead(value)) return false;
  SplitTradePair(value, info.lastTrade, info.lastTradeTime);
  if (!QuotedRead(value)) return false;
  SplitChangePair(value, info.change, info.percentChange);
  if (!QuotedRead(info.dayRange)) return false;
  if (!QuotedRead(value)) return false;
  SplitTradePair(value, info.lastTradeRealtime, info.lastTradeTimeRealtime);
  if (!QuotedRead(value)) return false;
  SplitChangePair(value, info.changeRealtime, info.percentChangeRealtime);
  if (!QuotedRead(info.dayRangeRealtime)) return false;
  FillInRealtimeChange(info);
  // The float may carry thousands separators, so it runs up to the quote of the trailing name.
  if (!ExtractUntilNoCase("\"", value)) return false;
  if (!value.empty() && value.back() == ',') value.back() = ' ';
  info.floatShares = FlattenLines(value);
  // Past the trailing name; a name that differs from the first one still ends at its quote.
  (void)SkipPastNoCase(info.name);  // a differing name is not skipped; the quote below still ends it
  (void)SkipPastNoCase("\"");       // a missing closing quote leaves nothing more to read
  return true;
}

void StockInfoProvider::ParseContent() {
  SetError(kErrorParse);
  // Quotes are matched to symbols by line order: without a line, every later symbol would get the quote
  // of the one after it.
  if (GetLinesDropped() > 0) return;
  for (StockInfo* info : quotes) {
    if (!info || !ReadLine(*info)) return;
    for (const StockInfo::TextField& field : StockInfo::TextFields()) {
      std::string& text = info->*field.member;
      if (text.size() > kMaxFieldBytes) text = CutToBytes(text, kMaxFieldBytes);
    }
  }
  ClearError();
}
