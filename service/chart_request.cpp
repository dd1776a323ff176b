#include "service/chart_request.h"

#include "framework/text_util.h"
#include "service/market.h"
#include "service/query_string.h"
#include "service/service_response.h"
#include "service/text_format.h"

// Country codes of the alternative chart service and the exchange suffixes they stand for.
static const struct {
  const char* country;
  const char* suffix;
} kCountrySuffixes[] = {
    {"AU", ".AX"}, {"CA", ".TO"}, {"FR", ".PA"}, {"DE", ".DE"}, {"HK", ".HK"}, {"NL", ".AS"}, {"NZ", ".NZ"},
    {"NO", ".OL"}, {"IT", ".MI"}, {"ES", ".MC"}, {"SE", ".ST"}, {"CH", ".SW"}, {"UK", ".L"},
};

static const struct {
  const char* word;
  const char* symbol;
} kOverlays[] = {{"DJIA", "^DJI"}, {"NASDAQ", "^IXIC"}, {"SP500", "^GSPC"}};

// time= codes: sessions for intraday spans, calendar days for the rest.
static const struct {
  int code;
  int sessions;
  int calendarDays;
} kSpans[] = {
    {1, 1, 0},   {2, 2, 0},   {3, 5, 0},     {4, 0, 31},    {5, 0, 62},    {6, 0, 92},    {7, 0, 183},
    {8, 0, 366}, {9, 0, 731}, {10, 0, 1096}, {11, 0, 1461}, {12, 0, 1827}, {13, 0, 3653}, {14, 0, 7305},
};

std::string ResolveChartSymbol(const Market& market, std::string_view text) {
  std::string symbol = AsciiUpper(text);
  const size_t colon = symbol.find(':');
  if (colon != std::string::npos) {
    const std::string country = symbol.substr(0, colon);
    for (const auto& c : kCountrySuffixes) {
      if (country == c.country) return symbol.substr(colon + 1) + c.suffix;
    }
    return symbol.substr(colon + 1);
  }
  if (market.Securities().Find(symbol) == nullptr && market.Securities().Find("^" + symbol) != nullptr)
    return "^" + symbol;
  return symbol;
}

static bool ApplySize(long size, ChartQuery& q) {
  static const int kSizes[][2] = {{360, 270}, {580, 400}, {760, 500}, {960, 620}};
  if (size < 1 || size > 4) return false;
  q.width = kSizes[size - 1][0];
  q.height = kSizes[size - 1][1];
  return true;
}

bool ParseBigChartQuery(const Market& market, std::string_view rawQuery, ChartQuery& q, std::string& error) {
  const QueryString query(rawQuery);
  std::string_view raw;
  if (!query.Raw("symb", raw) || raw.empty() || raw.size() > 64) {
    error = "charts need symb=SYMBOL";
    return false;
  }
  q.symbol = ResolveChartSymbol(market, PercentDecode(raw, false));
  if (query.Raw("comp", raw)) {
    const auto items = SplitPlusList(raw);
    if (items.size() > 8) {
      error = "at most 8 comparisons";
      return false;
    }
    for (const std::string& item : items) {
      if (item.empty()) continue;
      std::string symbol = ResolveChartSymbol(market, item);
      for (const auto& o : kOverlays) {
        if (AsciiUpper(item) == o.word) symbol = o.symbol;
      }
      q.compare.push_back(symbol);
    }
  }
  long value = 1;
  if (query.Raw("size", raw) && (!query.Int("size", 1, 4, value) || !ApplySize(value, q))) {
    error = "size must be 1 to 4";
    return false;
  }
  if (!query.Raw("size", raw)) ApplySize(1, q);
  long time = 8;
  if (query.Raw("time", raw) && !query.Int("time", 1, 14, time)) {
    error = "unknown time=";
    return false;
  }
  for (const auto& span : kSpans) {
    if (span.code == time) {
      q.sessions = span.sessions;
      q.calendarDays = span.calendarDays;
    }
  }
  long freq = q.sessions > 0 ? 9 : 1;
  if (query.Raw("freq", raw) && !query.Int("freq", 1, 9, freq)) {
    error = "unknown freq=";
    return false;
  }
  if (q.sessions > 0) {
    q.frequency = freq == 9 || q.sessions == 1 ? ChartFrequency::FiveMinutes : ChartFrequency::FifteenMinutes;
  } else {
    q.frequency = freq == 2   ? ChartFrequency::Weekly
                  : freq == 3 ? ChartFrequency::Monthly
                              : ChartFrequency::Daily;
  }
  long ma = 0, maval = 50;
  if (query.Raw("ma", raw) && !query.Int("ma", 0, 9, ma)) ma = 0;
  if (query.Raw("maval", raw) && !query.Int("maval", 2, 500, maval)) {
    error = "maval must be 2 to 500";
    return false;
  }
  if (ma == 4)
    q.movingAverages = {50, 200};  // the client's code for both averages
  else if (ma >= 1)
    q.movingAverages = {static_cast<int>(maval)};
  return true;
}

bool ParseQuoteChartRequest(const Market& market, std::string_view path, std::string_view rawQuery,
                            ChartQuery& q, std::string& error) {
  if (path == "/b" || path == "/w") {
    const std::string symbol = QueryString(rawQuery).Text("s");
    if (symbol.empty() || symbol.size() > 32) {
      error = "charts need s=SYMBOL";
      return false;
    }
    q.symbol = ResolveChartSymbol(market, symbol);
    q.sessions = path == "/b" ? 1 : 5;
    q.frequency = path == "/b" ? ChartFrequency::FiveMinutes : ChartFrequency::FifteenMinutes;
    q.width = 300;
    q.height = 180;
    return true;
  }
  // /c/{1y,5y,my}/x/symbol.gif
  const std::string_view rest = path.substr(3);
  const size_t slash1 = rest.find('/');
  const size_t slash2 = slash1 == rest.npos ? rest.npos : rest.find('/', slash1 + 1);
  if (slash2 == rest.npos || rest.size() < slash2 + 6 || rest.substr(rest.size() - 4) != ".gif") {
    error = "chart paths look like /c/1y/m/msft.gif";
    return false;
  }
  const std::string_view period = rest.substr(0, slash1);
  q.symbol =
      ResolveChartSymbol(market, PercentDecode(rest.substr(slash2 + 1, rest.size() - slash2 - 5), false));
  q.width = 512;
  q.height = 288;
  if (period == "1y") {
    q.calendarDays = 366;
  } else if (period == "5y") {
    q.calendarDays = 1827;
    q.frequency = ChartFrequency::Weekly;
  } else if (period == "my") {
    q.calendarDays = 365 * 40;
    q.frequency = ChartFrequency::Monthly;
  } else {
    error = "chart periods are 1y, 5y and my";
    return false;
  }
  return true;
}
