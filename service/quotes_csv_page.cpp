#include "service/quotes_csv_page.h"

#include "framework/text_util.h"
#include "service/fx_pages.h"
#include "service/market.h"
#include "service/query_string.h"
#include "service/quote_figures.h"
#include "service/service_response.h"
#include "service/text_format.h"

#include <cctype>
#include <iterator>

// How each code is written: a quoted text (the client strips the quotes) or a plain value up to
// the next comma. Float shares are written plain although they carry thousands separators: the
// client reads them up to the quote of the name that ends the line.
struct QuoteField {
  const char* code;
  bool quoted;
  std::string QuoteFigures::*text;
  const char* meaning;
};

// Every code of the classic quote CSV service, by code.
static const QuoteField kQuoteFields[] = {
    {"a", false, &QuoteFigures::ask, "ask"},
    {"a2", false, &QuoteFigures::averageVolume, "average daily volume"},
    {"a5", false, &QuoteFigures::askSize, "ask size"},
    {"b", false, &QuoteFigures::bid, "bid"},
    {"b2", false, &QuoteFigures::ask, "ask (real-time)"},
    {"b3", false, &QuoteFigures::bid, "bid (real-time)"},
    {"b4", false, &QuoteFigures::bookValue, "book value per share"},
    {"b6", false, &QuoteFigures::bidSize, "bid size"},
    {"c", true, &QuoteFigures::changeWithPercent, "change and percent change"},
    {"c1", false, &QuoteFigures::changeOnly, "change"},
    {"c3", false, &QuoteFigures::notKept, "commission"},
    {"c6", false, &QuoteFigures::changeOnly, "change (real-time)"},
    {"c8", true, &QuoteFigures::afterHoursChange, "after-hours change (real-time)"},
    {"d", false, &QuoteFigures::dividendPerShare, "dividend per share"},
    {"d1", true, &QuoteFigures::lastTradeDate, "last trade date"},
    {"d2", false, &QuoteFigures::notKept, "trade date"},
    {"e", false, &QuoteFigures::earningsPerShare, "earnings per share"},
    {"e1", true, &QuoteFigures::errorIndication, "error indication"},
    {"e7", false, &QuoteFigures::epsEstimateThisYear, "EPS estimate, current year"},
    {"e8", false, &QuoteFigures::epsEstimateNextYear, "EPS estimate, next year"},
    {"e9", false, &QuoteFigures::epsEstimateNextQuarter, "EPS estimate, next quarter"},
    {"f6", false, &QuoteFigures::floatShares, "float shares"},
    {"g", false, &QuoteFigures::dayLow, "day's low"},
    {"g1", false, &QuoteFigures::notKept, "holdings gain percent"},
    {"g3", false, &QuoteFigures::notKept, "annualised gain"},
    {"g4", false, &QuoteFigures::notKept, "holdings gain"},
    {"g5", false, &QuoteFigures::notKept, "holdings gain percent (real-time)"},
    {"g6", false, &QuoteFigures::notKept, "holdings gain (real-time)"},
    {"h", false, &QuoteFigures::dayHigh, "day's high"},
    {"i", false, &QuoteFigures::notKept, "more info"},
    {"i5", false, &QuoteFigures::notKept, "order book (real-time)"},
    {"j", false, &QuoteFigures::low52Week, "52-week low"},
    {"j1", false, &QuoteFigures::marketCap, "market capitalisation"},
    {"j3", false, &QuoteFigures::marketCapRealtime, "market capitalisation (real-time)"},
    {"j4", false, &QuoteFigures::ebitda, "EBITDA"},
    {"j5", false, &QuoteFigures::change52WeekLow, "change from 52-week low"},
    {"j6", false, &QuoteFigures::percentChange52WeekLow, "percent change from 52-week low"},
    {"k", false, &QuoteFigures::high52Week, "52-week high"},
    {"k1", true, &QuoteFigures::lastTradeRealtimeWithTime, "last trade with time (real-time)"},
    {"k2", true, &QuoteFigures::changeRealtimeWithPercent, "change and percent (real-time)"},
    {"k3", false, &QuoteFigures::lastTradeSize, "last trade size"},
    {"k4", false, &QuoteFigures::change52WeekHigh, "change from 52-week high"},
    {"k5", false, &QuoteFigures::percentChange52WeekHigh, "percent change from 52-week high"},
    {"l", true, &QuoteFigures::lastTradeWithTime, "last trade with time"},
    {"l1", false, &QuoteFigures::lastTradePrice, "last trade price only"},
    {"l2", false, &QuoteFigures::notKept, "high limit"},
    {"l3", false, &QuoteFigures::notKept, "low limit"},
    {"m", true, &QuoteFigures::dayRange, "day's range"},
    {"m2", true, &QuoteFigures::dayRangeRealtime, "day's range (real-time)"},
    {"m3", false, &QuoteFigures::movingAverage50, "50-day moving average"},
    {"m4", false, &QuoteFigures::movingAverage200, "200-day moving average"},
    {"m5", false, &QuoteFigures::change200, "change from 200-day moving average"},
    {"m6", false, &QuoteFigures::percentChange200, "percent change from 200-day moving average"},
    {"m7", false, &QuoteFigures::change50, "change from 50-day moving average"},
    {"m8", false, &QuoteFigures::percentChange50, "percent change from 50-day moving average"},
    {"n", true, &QuoteFigures::name, "name"},
    {"n4", false, &QuoteFigures::notKept, "notes"},
    {"o", false, &QuoteFigures::open, "open"},
    {"p", false, &QuoteFigures::previousClose, "previous close"},
    {"p1", false, &QuoteFigures::notKept, "price paid"},
    {"p2", true, &QuoteFigures::changeInPercent, "change in percent"},
    {"p5", false, &QuoteFigures::priceSales, "price / sales"},
    {"p6", false, &QuoteFigures::priceBook, "price / book"},
    {"q", true, &QuoteFigures::exDividendDate, "ex-dividend date"},
    {"r", false, &QuoteFigures::peRatio, "P/E ratio"},
    {"r1", true, &QuoteFigures::dividendPayDate, "dividend pay date"},
    {"r2", false, &QuoteFigures::peRatio, "P/E ratio (real-time)"},
    {"r5", false, &QuoteFigures::pegRatio, "PEG ratio"},
    {"r6", false, &QuoteFigures::peEstimateThisYear, "price / EPS estimate, current year"},
    {"r7", false, &QuoteFigures::peEstimateNextYear, "price / EPS estimate, next year"},
    {"s", true, &QuoteFigures::symbol, "symbol"},
    {"s1", false, &QuoteFigures::notKept, "shares owned"},
    {"s7", false, &QuoteFigures::shortRatio, "short ratio"},
    {"t1", true, &QuoteFigures::lastTradeTime, "last trade time"},
    {"t6", false, &QuoteFigures::notKept, "trade links"},
    {"t7", true, &QuoteFigures::tickerTrend, "ticker trend"},
    {"t8", false, &QuoteFigures::targetPrice1Year, "one-year target price"},
    {"v", false, &QuoteFigures::volume, "volume"},
    {"v1", false, &QuoteFigures::notKept, "holdings value"},
    {"v7", false, &QuoteFigures::notKept, "holdings value (real-time)"},
    {"w", true, &QuoteFigures::range52Week, "52-week range"},
    {"w1", true, &QuoteFigures::dayValueChange, "day's value change"},
    {"w4", true, &QuoteFigures::dayValueChange, "day's value change (real-time)"},
    {"x", true, &QuoteFigures::exchange, "stock exchange"},
    {"y", false, &QuoteFigures::dividendYield, "dividend yield"},
};

static const QuoteField* FindField(std::string_view code) {
  for (const QuoteField& f : kQuoteFields) {
    if (code == f.code) return &f;
  }
  return nullptr;
}

bool SplitQuoteFieldCodes(std::string_view codes, std::vector<const QuoteField*>& out, std::string& unknown) {
  out.clear();
  unknown.clear();
  size_t i = 0;
  while (i < codes.size()) {
    // A letter followed by a digit is one two-character code; a lone letter is a code of its own.
    const size_t length = i + 1 < codes.size() && codes[i + 1] >= '0' && codes[i + 1] <= '9' ? 2 : 1;
    const QuoteField* field = FindField(codes.substr(i, length));
    if (field == nullptr) {
      // Named back in an answer, so anything but a letter or digit is shown as '?'.
      for (char c : codes.substr(i, length)) unknown += std::isalnum(static_cast<unsigned char>(c)) ? c : '?';
      return false;
    }
    out.push_back(field);
    i += length;
  }
  return !out.empty();
}

void AppendQuoteLine(const QuoteFigures& quote, const std::vector<const QuoteField*>& fields,
                     std::string& out) {
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += ',';
    const std::string& text = quote.*(fields[i]->text);
    if (fields[i]->quoted) {
      out += '"';
      out += text;
      out += '"';
    } else {
      out += text;
    }
  }
  out += "\r\n";
}

// Keeps an echoed symbol from breaking the quoting of its line.
static std::string CleanSymbol(std::string_view symbol) {
  std::string out;
  for (char c : symbol) {
    if (static_cast<unsigned char>(c) < 0x20 || c == '"' || c == '<' || c == '>' || c == 0x7f) continue;
    out += c;
    if (out.size() >= 32) break;
  }
  return AsciiUpper(out);
}

ServiceResponse QuotesCsvPage(const Market& market, std::string_view rawQuery) {
  const QueryString query(rawQuery);
  std::string_view rawSymbols;
  if (!query.Raw("s", rawSymbols) || rawSymbols.empty())
    return BadRequest("quotes need s=SYMBOL[+SYMBOL...]");
  std::vector<const QuoteField*> codes;
  std::string_view rawCodes;
  if (!query.Raw("f", rawCodes)) rawCodes = kQuoteFieldCodes;
  std::string unknown;
  if (!SplitQuoteFieldCodes(PercentDecode(rawCodes, false), codes, unknown)) {
    if (unknown.empty()) return BadRequest("f= needs at least one field code");
    return BadRequest("unknown field code \"" + unknown + "\" in f=");
  }
  const std::vector<std::string> symbols = SplitSymbolList(rawSymbols);
  if (symbols.empty()) return BadRequest("quotes need s=SYMBOL[+SYMBOL...]");
  if (symbols.size() > kMaxQuoteSymbols)
    return BadRequest("at most " + std::to_string(kMaxQuoteSymbols) + " symbols per request");

  const SysSeconds now = market.Now();
  std::string body;
  body.reserve(symbols.size() * 420);
  for (const std::string& raw : symbols) {
    const std::string symbol = CleanSymbol(raw);
    const Security* security = market.Securities().Find(symbol);
    CurrencyPair pair;
    if (security == nullptr && ParsePairSymbol(raw, pair)) {
      QuoteFigures quote = MakeRateQuote(market.Rates(), pair, now);
      quote.symbol = symbol;
      AppendQuoteLine(quote, codes, body);
      continue;
    }
    if (security == nullptr) {
      AppendQuoteLine(UnknownQuote(symbol), codes, body);
      continue;
    }
    QuoteFigures quote = MakeQuote(market, market.RecentSnapshot(*security, kQuoteLookbackBars, now));
    quote.symbol = symbol;
    AppendQuoteLine(quote, codes, body);
  }
  return {200, "text/csv", std::move(body)};
}
