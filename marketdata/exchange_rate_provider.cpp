#include "marketdata/exchange_rate_provider.h"

#include <algorithm>
#include <ctime>

#include "framework/text_util.h"
#include "marketdata/historical_price.h"
#include "marketdata/text_helpers.h"
#include "marketdata/url_encode.h"

namespace {

constexpr const char* kHistoryHeader = "Date,Open,High,Low,Close,Volume,Adj Close";

bool CurrencyCode(const std::string& code) {
  return code.size() == 3 &&
         std::all_of(code.begin(), code.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

// A quoted field's text, or false when the field is not in quotes.
bool Unquote(const std::string& field, std::string* text) {
  if (field.size() < 2 || field.front() != '"' || field.back() != '"') return false;
  *text = field.substr(1, field.size() - 2);
  return true;
}

// "12/4/2026" as the quote CSV writes the day of the last trade.
bool ReadUsDate(const std::string& text, MarketDay* day) {
  int parts[3] = {0, 0, 0};
  int part = 0;
  size_t digits = 0;
  for (char c : text) {
    if (c == '/') {
      if (digits == 0 || ++part > 2) return false;
      digits = 0;
      continue;
    }
    if (c < '0' || c > '9' || ++digits > 4) return false;
    parts[part] = parts[part] * 10 + (c - '0');
  }
  if (part != 2 || digits != 4) return false;
  return ParseMarketDay(MarketDay{parts[2], parts[0], parts[1]}.IsoText(), day);
}

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t comma; (comma = line.find(',', start)) != std::string::npos; start = comma + 1)
    fields.push_back(line.substr(start, comma - start));
  fields.push_back(line.substr(start));
  return fields;
}

// One quote line: "EURUSD=X",1.08450,"12/4/2026","2:15pm"; a pair the service lacks has N/A for its figures.
bool ReadQuoteLine(const std::string& line, const std::string& asked, ExchangeRateQuote* quote,
                   std::string* why) {
  const std::vector<std::string> f = SplitFields(line);
  std::string symbol, date, time;
  if (f.size() != 4 || !Unquote(f[0], &symbol) || !Unquote(f[2], &date) || !Unquote(f[3], &time)) {
    *why = "not a line of the pair's quote";
    return false;
  }
  if (AsciiLower(symbol) != AsciiLower(asked)) {
    *why = "a line of " + symbol.substr(0, 16) + " where " + asked + " was asked";
    return false;
  }
  quote->known = f[1] != "N/A";
  if (!quote->known) return true;
  if (!ParseExactDecimal(f[1], &quote->rate) || !ReadUsDate(date, &quote->date) || time.size() > 16) {
    *why = "bad rate or date";
    return false;
  }
  quote->time = time;
  return true;
}

}  // namespace

std::string CurrencyPairSymbol(const std::string& base, const std::string& quote) {
  if (!CurrencyCode(base) || !CurrencyCode(quote) || base == quote) return {};
  return base + quote + "=X";
}

void ExchangeRateQuoteProvider::Fetch(const std::vector<ExchangeRateQuote*>& list) {
  quotes = list;
  if (std::any_of(quotes.begin(), quotes.end(), [](const ExchangeRateQuote* q) { return q == nullptr; })) {
    SetError(kErrorParse);
    return;
  }
  Run();
}

void ExchangeRateQuoteProvider::GetUrl(std::string& out) {
  std::string symbols;
  for (const ExchangeRateQuote* q : quotes)
    symbols += (symbols.empty() ? "" : "+") + EncodeUrlValue(q->symbol);
  out = MakeUrl(hosts.quoteCsvHost, "/d/quotes.csv?s=" + symbols + "&f=sl1d1t1");
}

void ExchangeRateQuoteProvider::ParseContent() {
  if (HasError()) return;  // the fetch failed; its error stands
  const std::string& content = GetContent();
  std::vector<ExchangeRateQuote> read;
  std::string why;
  size_t start = 0;
  for (size_t i = 0; i < quotes.size() && why.empty(); ++i) {
    const size_t end = content.find('\n', start);
    if (end == std::string::npos) {
      why = "line " + std::to_string(i + 1) + " is missing or cut short";
      break;
    }
    std::string line = content.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    ExchangeRateQuote quote;
    quote.symbol = quotes[i]->symbol;
    if (!ReadQuoteLine(line, quote.symbol, &quote, &why)) why = "line " + std::to_string(i + 1) + ": " + why;
    read.push_back(std::move(quote));
  }
  if (why.empty() && (GetLinesDropped() > 0 || content.find_first_not_of("\r\n", start) != std::string::npos))
    why = "more lines than pairs asked";
  if (!why.empty()) {
    SetError(std::string(kErrorParse) + ": " + why);
    return;
  }
  for (size_t i = 0; i < quotes.size(); ++i) *quotes[i] = std::move(read[i]);
}

void ExchangeRateHistoryProvider::FetchRates(const std::string& pair, int startMonth, int startYear,
                                             int endMonth, int endYear, std::vector<ExchangeRateDay>* list) {
  rows.clear();
  days = list;
  if (days) days->clear();
  Fetch(pair, startMonth, startYear, endMonth, endYear, &rows);
}

void ExchangeRateHistoryProvider::ParseContent() {
  HistoricalPriceProvider::ParseContent();
  const std::string& content = GetContent();
  const bool headerOnly = Trim(content) == kHistoryHeader;  // no rates in the span: nothing is missing
  if (HasError() && !headerOnly) return;
  std::string why;
  if (GetLinesDropped() > 0) why = "lines too long to read";
  // The price parse stops quietly at the first row it cannot read; for rates, anything left is a fault.
  if (why.empty() && !headerOnly && !Trim(content.substr(std::min(GetPosition(), content.size()))).empty())
    why = "a row that does not read after " + std::to_string(rows.size()) + " rows";
  std::vector<ExchangeRateDay> read;
  for (size_t i = 0; i < rows.size() && why.empty(); ++i) {
    ExchangeRateDay day;
    const std::time_t midnight = static_cast<std::time_t>(rows[i]->date);
    std::tm tm{};
    if (!ParseExactDecimal(rows[i]->close, &day.rate) || !localtime_r(&midnight, &tm)) {
      why = "row " + std::to_string(i + 1) + ": bad rate \"" + rows[i]->close.substr(0, 32) + "\"";
      break;
    }
    day.date = {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
    read.push_back(day);
  }
  rows.clear();
  if (!why.empty()) {
    SetError(std::string(kErrorParse) + ": " + why);
    return;
  }
  ClearError();
  if (days) *days = std::move(read);
}
