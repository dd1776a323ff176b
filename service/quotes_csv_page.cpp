#include "service/quotes_csv_page.h"

#include "service/market.h"
#include "service/query_string.h"
#include "service/quote_figures.h"
#include "service/service_response.h"
#include "service/text_format.h"

#include <iterator>

// How each code is written: a quoted text (the client strips the quotes) or a plain value up to
// the next comma. Float shares are written plain although they carry thousands separators: the
// client reads them up to the quote of the name that ends the line.
struct QuoteField {
  const char* code;
  bool quoted;
  std::string QuoteFigures::*text;
};

static const QuoteField kQuoteFields[] = {
    {"s", true, &QuoteFigures::symbol},
    {"n", true, &QuoteFigures::name},
    {"x", true, &QuoteFigures::exchange},
    {"j1", false, &QuoteFigures::marketCap},
    {"j3", false, &QuoteFigures::marketCapRealtime},
    {"r5", false, &QuoteFigures::pegRatio},
    {"r", false, &QuoteFigures::peRatio},
    {"p5", false, &QuoteFigures::priceSales},
    {"d", false, &QuoteFigures::dividendPerShare},
    {"y", false, &QuoteFigures::dividendYield},
    {"r1", true, &QuoteFigures::dividendPayDate},
    {"a2", false, &QuoteFigures::averageVolume},
    {"j", false, &QuoteFigures::low52Week},
    {"k", false, &QuoteFigures::high52Week},
    {"m3", false, &QuoteFigures::movingAverage50},
    {"m7", false, &QuoteFigures::change50},
    {"m8", false, &QuoteFigures::percentChange50},
    {"m4", false, &QuoteFigures::movingAverage200},
    {"m5", false, &QuoteFigures::change200},
    {"m6", false, &QuoteFigures::percentChange200},
    {"t8", false, &QuoteFigures::targetPrice1Year},
    {"r6", false, &QuoteFigures::peEstimateThisYear},
    {"r7", false, &QuoteFigures::peEstimateNextYear},
    {"e9", false, &QuoteFigures::epsEstimateNextQuarter},
    {"e8", false, &QuoteFigures::epsEstimateNextYear},
    {"e7", false, &QuoteFigures::epsEstimateThisYear},
    {"p", false, &QuoteFigures::previousClose},
    {"d1", true, &QuoteFigures::lastTradeDate},
    {"t7", true, &QuoteFigures::tickerTrend},
    {"v", false, &QuoteFigures::volume},
    {"o", false, &QuoteFigures::open},
    {"b3", false, &QuoteFigures::bid},
    {"b2", false, &QuoteFigures::ask},
    {"b6", false, &QuoteFigures::bidSize},
    {"a5", false, &QuoteFigures::askSize},
    {"s7", false, &QuoteFigures::shortRatio},
    {"l", true, &QuoteFigures::lastTradeWithTime},
    {"c", true, &QuoteFigures::changeWithPercent},
    {"m", true, &QuoteFigures::dayRange},
    {"k1", true, &QuoteFigures::lastTradeRealtimeWithTime},
    {"k2", true, &QuoteFigures::changeRealtimeWithPercent},
    {"m2", true, &QuoteFigures::dayRangeRealtime},
    {"f6", false, &QuoteFigures::floatShares},
};

static const QuoteField* FindField(std::string_view code) {
  for (const QuoteField& f : kQuoteFields) {
    if (code == f.code) return &f;
  }
  return nullptr;
}

bool SplitQuoteFieldCodes(std::string_view codes, std::vector<const QuoteField*>& out) {
  out.clear();
  size_t i = 0;
  while (i < codes.size()) {
    // A letter followed by a digit is one two-character code; a lone letter is a code of its own.
    const size_t length = i + 1 < codes.size() && codes[i + 1] >= '0' && codes[i + 1] <= '9' ? 2 : 1;
    const QuoteField* field = FindField(codes.substr(i, length));
    if (field == nullptr) return false;
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
  return ToUpper(out);
}

ServiceResponse QuotesCsvPage(const Market& market, std::string_view rawQuery) {
  const QueryString query(rawQuery);
  std::string_view rawSymbols;
  if (!query.Raw("s", rawSymbols) || rawSymbols.empty())
    return BadRequest("quotes need s=SYMBOL[+SYMBOL...]");
  std::vector<const QuoteField*> codes;
  std::string_view rawCodes;
  if (!query.Raw("f", rawCodes)) rawCodes = kQuoteFieldCodes;
  if (!SplitQuoteFieldCodes(PercentDecode(rawCodes, false), codes))
    return BadRequest("unknown field code in f=");
  const std::vector<std::string> symbols = SplitPlusList(rawSymbols);
  if (symbols.size() > kMaxQuoteSymbols)
    return BadRequest("at most " + std::to_string(kMaxQuoteSymbols) + " symbols per request");

  const SysSeconds now = market.Now();
  std::string body;
  body.reserve(symbols.size() * 420);
  for (const std::string& raw : symbols) {
    const std::string symbol = CleanSymbol(raw);
    const Security* security = market.Securities().Find(symbol);
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
