#include "service/info_page.h"

#include "framework/text_util.h"
#include "service/exchange_info.h"
#include "service/headlines_page.h"
#include "service/market.h"
#include "service/market_clock_page.h"
#include "service/query_string.h"
#include "service/quote_figures.h"
#include "service/service_response.h"
#include "service/text_format.h"

static void Row(std::string& body, const char* label, const std::string& value) {
  body += std::string("<tr><th align=\"left\">") + label + "</th><td align=\"right\">" + HtmlEscape(value) +
          "</td></tr>\n";
}

static std::string StripBold(std::string text) {
  for (const char* tag : {"<b>", "</b>"}) {
    for (size_t at; (at = text.find(tag)) != std::string::npos;)
      text.erase(at, std::char_traits<char>::length(tag));
  }
  return text;
}

ServiceResponse InfoPage(const Market& market, const PageRequest& request) {
  const QueryString query(request.rawQuery);
  const std::string symbol = AsciiUpper(query.Text("s"));
  if (symbol.size() > 32) return BadRequest("symbol too long");
  const SysSeconds now = market.Now();
  const RegionalSite& region = RegionForHost(request.host);
  std::string body = "<html><head><title>" + HtmlEscape(symbol) +
                     ": Summary - Vellumar Finance</title><meta charset=\"utf-8\"></head><body>\n";
  // The clock goes first: the clock reader takes the first match of the region's marker.
  body += MarketClockMarkup(market, region, now);
  const Security* s = market.Securities().Find(symbol);
  if (s == nullptr) {
    body += "<h1>" + HtmlEscape(symbol) + "</h1>\n<p>There is no security with the symbol " +
            HtmlEscape(symbol) + ". <a href=\"/lookup?s=" + HtmlEscape(symbol) +
            "\">Look it up by name</a>.</p>\n</body></html>\n";
    return {404, "text/html; charset=utf-8", std::move(body)};
  }
  const QuoteFigures q = MakeQuote(market, market.RecentSnapshot(*s, kQuoteLookbackBars, now));
  body += "<h1>" + HtmlEscape(s->name) + " (" + s->symbol + ")</h1>\n<p>" + HtmlEscape(s->exchange->name) +
          ", " + HtmlEscape(s->exchange->country) + "</p>\n";
  body += "<p><b>" + FormatFixed(q.last, 2) + "</b> " + HtmlEscape(q.changeWithPercent) + " as of " +
          HtmlEscape(q.lastTradeDate) + " " + FormatClockTime(q.lastTradeMinute) + "</p>\n";
  body += "<table border=\"0\" cellpadding=\"2\">\n";
  Row(body, "Last Trade:", StripBold(q.lastTradeWithTime));
  Row(body, "Prev Close:", q.previousClose);
  Row(body, "Open:", q.open);
  Row(body, "Day's Range:", q.dayRange);
  Row(body, "52wk Range:", q.low52Week + " - " + q.high52Week);
  Row(body, "Bid:", q.bid + " x " + q.bidSize);
  Row(body, "Ask:", q.ask + " x " + q.askSize);
  Row(body, "Volume:", q.volume);
  Row(body, "Avg Vol (3m):", q.averageVolume);
  Row(body, "50-day Avg:", q.movingAverage50 + " (" + q.percentChange50 + ")");
  Row(body, "200-day Avg:", q.movingAverage200 + " (" + q.percentChange200 + ")");
  Row(body, "Market Cap:", q.marketCap);
  Row(body, "P/E (ttm):", q.peRatio);
  Row(body, "PEG:", q.pegRatio);
  Row(body, "Price/Sales:", q.priceSales);
  Row(body, "EPS Est (this yr / next yr):", q.epsEstimateThisYear + " / " + q.epsEstimateNextYear);
  Row(body, "1y Target Est:", q.targetPrice1Year);
  Row(body, "Div &amp; Yield:", q.dividendPerShare + " (" + q.dividendYield + "%)");
  Row(body, "Pay Date:", q.dividendPayDate);
  Row(body, "Short Ratio:", q.shortRatio);
  Row(body, "Float:", q.floatShares);
  body += "</table>\n";
  const std::string lower = AsciiLower(s->symbol);
  body += "<p><img src=\"/c/1y/" + lower.substr(0, 1) + "/" + lower + ".gif\" alt=\"1 year chart\"></p>\n";
  body += "<h2>Headlines</h2>\n<ul>\n";
  const auto headlines = MakeHeadlines(market, *s, now);
  for (size_t i = 0; i < headlines.size() && i < 5; ++i) {
    body += "<li><a href=\"/n/" + s->symbol + "/" + FormatDay(headlines[i].day, "%Y%m%d") + "-" +
            std::to_string(headlines[i].number) + ".html\">" + HtmlEscape(headlines[i].title) + "</a> (" +
            FormatMonthDay(headlines[i].day) + ")</li>\n";
  }
  body += "</ul>\n<p><a href=\"/q/h?s=" + s->symbol +
          "\">More headlines</a> | <a href=\"/table.csv?s=" + s->symbol +
          "\">Download historical prices</a></p>\n</body></html>\n";
  return {200, "text/html; charset=utf-8", std::move(body)};
}
