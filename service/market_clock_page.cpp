#include "service/market_clock_page.h"

#include "framework/text_util.h"
#include "service/exchange_info.h"
#include "service/market.h"
#include "service/quote_figures.h"
#include "service/service_response.h"
#include "service/text_format.h"

#include <iterator>

static const char kSmallTd[] = "<td align=\"center\"><small>";

static const RegionalSite kRegions[] = {
    {0, "United States", "", "/q?s=^DJI&d=v1", "<small>", "</small>", "NYSE", "U.S.", "^DJI", "Dow", "^IXIC",
     "Nasdaq"},
    {1, "Argentina", "ar", "/", "<small>", "</small>", "BYMA", "Argentine", "^MERV", "Merval", "", ""},
    {3, "Australia", "au", "/", "<p class=\"clock\">", "</p>", "ASX", "Australian", "^AXJO", "ASX 200",
     "^AORD", "All Ords"},
    {4, "Brazil", "br", "/q?s=^DJI&d=v1", kSmallTd, "</small>", "B3", "Brazilian", "^BVSP", "Bovespa", "",
     ""},
    {5, "Canada", "ca", "/", kSmallTd, "</small>", "TSX", "Canadian", "^GSPTSE", "S&amp;P/TSX", "", ""},
    {9, "France", "fr", "/", "<td id=\"yfi-persl8n\">", "</td>", "Paris", "French", "^FCHI", "CAC 40", "",
     ""},
    {10, "Germany", "de", "/q?s=^DJI&d=v1", kSmallTd, "</small>", "XETRA", "German", "^GDAXI", "DAX", "", ""},
    {12, "India", "in", "/", kSmallTd, "</small>", "BSE", "Indian", "^BSESN", "Sensex", "^NSEI", "Nifty 50"},
    {15, "Italy", "it", "/q?s=^DJI&d=v1", kSmallTd, "</small>", "Milan", "Italian", "FTSEMIB.MI", "FTSE MIB",
     "", ""},
    {18, "Mexico", "mx", "/", kSmallTd, "</small>", "BMV", "Mexican", "^MXX", "IPC", "", ""},
    {23, "Singapore", "sg", "/", kSmallTd, "</small>", "SGX", "Singapore", "^STI", "STI", "", ""},
    {24, "Spain", "es", "/q?s=^DJI&d=v1", kSmallTd, "</small>", "Madrid", "Spanish", "^IBEX", "IBEX 35", "",
     ""},
    {28, "United Kingdom", "uk", "/q?s=^DJI&d=v1", kSmallTd, "</small>", "LSE", "UK", "^FTSE", "FTSE 100", "",
     ""},
};

const RegionalSite* FindRegion(int code) {
  for (const RegionalSite& r : kRegions) {
    if (r.code == code) return &r;
  }
  return nullptr;
}

const RegionalSite& RegionForHost(std::string_view host) {
  const size_t dot = host.find('.');
  if (dot != std::string_view::npos) {
    const std::string label = AsciiLower(host.substr(0, dot));
    for (const RegionalSite& r : kRegions) {
      if (*r.subDomain != '\0' && label == r.subDomain) return r;
    }
  }
  return kRegions[0];
}

std::string FormatHoursAndMinutes(int64_t minutes) {
  const int64_t h = minutes / 60, m = minutes % 60;
  std::string text;
  if (h > 0) text = std::to_string(h) + (h == 1 ? " hr" : " hrs");
  if (m > 0 || h == 0) {
    if (!text.empty()) text += " and ";
    text += std::to_string(m) + (m == 1 ? " min" : " mins");
  }
  return text;
}

// Zones without a letter abbreviation give "-03"; "GMT-3" reads better on a clock.
static std::string ZoneLabel(const std::string& abbreviation) {
  if (abbreviation.empty() || (abbreviation[0] != '+' && abbreviation[0] != '-')) return abbreviation;
  std::string digits = abbreviation.substr(1);
  std::string minutes = digits.size() == 4 ? digits.substr(2) : "";
  std::string hours = digits.substr(0, 2);
  if (hours.size() == 2 && hours[0] == '0') hours = hours.substr(1);
  return "GMT" + abbreviation.substr(0, 1) + hours +
         (minutes.empty() || minutes == "00" ? "" : ":" + minutes);
}

static std::string IndexChange(const Market& market, const char* symbol, const char* label, SysSeconds now) {
  const Security* index = market.Securities().Find(symbol);
  if (*symbol == '\0' || index == nullptr) return "";
  const QuoteFigures q = MakeQuote(market, market.RecentSnapshot(*index, kQuoteLookbackBars, now));
  if (!q.hasPrice) return "";
  const std::string figure = FormatSignedPercent(q.percentChange);
  if (figure[0] == '+') return std::string(" ") + label + " <b style=\"color:#008800;\">" + figure + "</b>";
  if (figure[0] == '-') return std::string(" ") + label + " <b style=\"color:#cc0000;\">" + figure + "</b>";
  return std::string(" ") + label + " " + figure;
}

std::string MarketClockBlock(const Market& market, const RegionalSite& region, SysSeconds now) {
  const ExchangeInfo* exchange = FindExchange(region.exchange);
  const TradingCalendar calendar(*exchange);
  const SessionState state = calendar.State(now);
  std::string time = FormatHeadingDay(state.localDay) + ", " +
                     AsciiUpper(FormatClockTime(state.localMinute)) + " " +
                     ZoneLabel(calendar.ZoneAbbreviation(now));
  std::string status = std::string(region.marketsLabel) + " Markets ";
  if (state.inSession) {
    status += "close in " + FormatHoursAndMinutes(state.minutesToClose) + ".";
  } else if (TradingCalendar::IsTradingDay(state.localDay) && state.localMinute < exchange->openMinute) {
    status += "open in " + FormatHoursAndMinutes(state.minutesToOpen) + ".";
  } else {
    status += "closed.";
  }
  status += IndexChange(market, region.indexSymbol1, region.indexLabel1, now);
  status += IndexChange(market, region.indexSymbol2, region.indexLabel2, now);
  return std::string(region.startMarker) + time + " - " + status + region.endMarker;
}

std::string MarketClockMarkup(const Market& market, const RegionalSite& region, SysSeconds now) {
  const std::string block = MarketClockBlock(market, region, now);
  // Cells need a row around them; the other markers stand on their own.
  if (std::string_view(region.startMarker).substr(0, 3) == "<td")
    return "<table width=\"100%\"><tr>" + block + (region.startMarker == kSmallTd ? "</td>" : "") +
           "</tr></table>\n";
  return "<div>" + block + "</div>\n";
}

ServiceResponse FrontPage(const Market& market, const PageRequest& request) {
  const RegionalSite& region = RegionForHost(request.host);
  const SysSeconds now = market.Now();
  std::string body = "<html><head><title>Vellumar Finance - " + std::string(region.name) +
                     "</title><meta charset=\"utf-8\"></head><body>\n";
  body += MarketClockMarkup(market, region, now);
  body += "<h2>Market Summary</h2>\n<table border=\"0\" cellpadding=\"3\">\n";
  for (const char* symbol : {region.indexSymbol1, region.indexSymbol2}) {
    const Security* index = *symbol ? market.Securities().Find(symbol) : nullptr;
    if (index == nullptr) continue;
    const QuoteFigures q = MakeQuote(market, market.RecentSnapshot(*index, kQuoteLookbackBars, now));
    body += "<tr><td><a href=\"/q?s=" + index->symbol + "\">" + HtmlEscape(index->name) + "</a></td><td>" +
            FormatFixed(q.last, 2) + "</td><td>" + FormatSignedFixed(q.change, 2) + " (" +
            FormatSignedPercent(q.percentChange) + ")</td></tr>\n";
  }
  body += "</table>\n<p><a href=\"/lookup?s=\">Symbol Lookup</a></p>\n</body></html>\n";
  return {200, "text/html; charset=utf-8", std::move(body)};
}
