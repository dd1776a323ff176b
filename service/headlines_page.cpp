#include "service/headlines_page.h"

#include "framework/text_util.h"
#include "service/decimal_text.h"
#include "service/exchange_info.h"
#include "service/market.h"
#include "service/query_string.h"
#include "service/service_response.h"
#include "service/text_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

static const char kMarketWire[] = "Vellumar Market Wire";
static const char kEarningsDesk[] = "at Vellumar Earnings Desk";
static const char kDividendWatch[] = "Vellumar Dividend Watch";

static std::string Money(double v) {
  return FormatFixed(v, 2);
}

static void AddMove(const Security& s, const DailyBar& bar, double previous, int minute, bool closed,
                    std::vector<Headline>& out) {
  const double pct = (bar.close - previous) / previous * 100.0;
  const double sigma = s.volatility / std::sqrt(252.0) * 100.0;
  if (std::fabs(pct) < std::max(1.5 * sigma, 1.0)) return;
  const bool up = pct > 0;
  const char* verb = std::fabs(pct) >= 2.5 * sigma ? (up ? "jumps" : "slumps") : (up ? "rises" : "falls");
  Headline h;
  h.day = bar.day;
  h.minute = minute;
  h.source = kMarketWire;
  h.title = s.name + " " + verb + " " + FormatFixed(std::fabs(pct), 1) + "% to " + Money(bar.close);
  h.body =
      s.name + " (" + s.symbol + ") " + (closed ? "closed at " : "traded at ") + Money(bar.close) + ", " +
      (up ? "up " : "down ") + FormatFixed(std::fabs(pct), 2) + "% from the previous close of " +
      Money(previous) + ". The day's range was " + Money(bar.low) + " to " + Money(bar.high) +
      (bar.volume > 0 ? " on a volume of " + FormatGrouped(static_cast<int64_t>(bar.volume)) + "." : ".");
  out.push_back(std::move(h));
}

// The amount as paid: "$0.2725" for dollars, "5.1 GBp" in other currencies.
static std::string DividendAmount(const DividendPayment& p) {
  const std::string amount = FormatMicros(p.amountMicros);
  return p.currency == "USD" ? "$" + amount : amount + " " + p.currency;
}

static void AddDividend(const Security& s, const DividendPayment& p, int today, std::vector<Headline>& out) {
  const int declared = p.exDay - 14;
  if (declared > today || !TradingCalendar::IsTradingDay(declared)) return;
  Headline h;
  h.day = declared;
  h.minute = 8 * 60 + 30;
  h.source = kDividendWatch;
  h.title = s.name + " declares quarterly dividend of " + DividendAmount(p) + " per share";
  h.body = "The board of " + s.name + " (" + s.symbol + ") declared a quarterly dividend of " +
           DividendAmount(p) + " per share, payable " +
           (p.payDay != 0 ? "on " + FormatHeadingDay(p.payDay) + " " : std::string()) +
           "to holders of record at the close of " + FormatHeadingDay(p.exDay) + ".";
  out.push_back(std::move(h));
}

static void AddEarnings(const Market& market, const Security& s, int day, int today,
                        std::vector<Headline>& out) {
  if (s.eps <= 0) return;
  const double surprise = 0.1 * (market.Model().Uniform(s, day, 40) - 0.4);
  const double expected = s.eps / 4.0;
  const double reported = expected * (1.0 + surprise);
  const int preview = day - 7;
  if (preview <= today && TradingCalendar::IsTradingDay(preview)) {
    Headline h;
    h.day = preview;
    h.minute = 9 * 60;
    h.source = kEarningsDesk;
    h.title = s.name + " to report quarterly results on " + FormatMonthDay(day);
    h.body = s.name + " (" + s.symbol + ") will report its quarterly results on " + FormatHeadingDay(day) +
             ". Analysts expect earnings of $" + Money(expected) + " per share.";
    out.push_back(std::move(h));
  }
  if (day > today) return;
  Headline h;
  h.day = day;
  h.minute = 7 * 60;
  h.source = kEarningsDesk;
  h.title = s.name + " reports quarterly earnings of $" + Money(reported) + " per share, " +
            (reported >= expected ? "above" : "below") + " estimates";
  h.body = s.name + " (" + s.symbol + ") reported quarterly earnings of $" + Money(reported) +
           " per share against an expected $" + Money(expected) + ".";
  out.push_back(std::move(h));
}

std::vector<Headline> MakeHeadlines(const Market& market, const Security& s, SysSeconds now) {
  std::vector<Headline> out;
  const SecuritySnapshot snap =
      market.Snapshot(s, market.Calendar(s).State(now).localDay - kHeadlineHistoryDays - 7, now);
  if (snap.bars.size() < 2) return out;
  const int today = snap.session.localDay;
  const int first = today - kHeadlineHistoryDays;
  for (size_t i = 1; i < snap.bars.size(); ++i) {
    const DailyBar& bar = snap.bars[i];
    if (bar.day < first) continue;
    const bool running = i + 1 == snap.bars.size() && snap.session.inSession && !snap.realHistory;
    const int minute =
        running ? s.exchange->openMinute + snap.session.elapsedMinutes : s.exchange->closeMinute + 5;
    AddMove(s, bar, snap.bars[i - 1].close, minute, !running, out);
  }
  for (const DividendPayment& p : market.Dividends(s, first + 14, today + 14)) AddDividend(s, p, today, out);
  for (int day : market.Model().EarningsDays(s, first, today + 7)) AddEarnings(market, s, day, today, out);
  // Items announced for later today are not out yet.
  out.erase(std::remove_if(out.begin(), out.end(),
                           [&](const Headline& h) {
                             return h.day < first || h.day > today ||
                                    (h.day == today && h.minute > snap.session.localMinute);
                           }),
            out.end());
  std::stable_sort(out.begin(), out.end(), [](const Headline& a, const Headline& b) {
    return a.day != b.day ? a.day > b.day : a.minute > b.minute;
  });
  for (size_t i = 0; i < out.size(); ++i)
    out[i].number = i > 0 && out[i - 1].day == out[i].day ? out[i - 1].number + 1 : 1;
  return out;
}

static std::string DayKey(int day) {
  return FormatDay(day, "%Y%m%d");
}

static std::string ArticlePath(const Security& s, const Headline& h) {
  return "/n/" + s.symbol + "/" + DayKey(h.day) + "-" + std::to_string(h.number) + ".html";
}

static std::string NoHeadlines(const std::string& symbol) {
  return "<html><head><title>Headlines: " + HtmlEscape(symbol) + "</title></head><body>\n<h1>Headlines for " +
         HtmlEscape(symbol) + "</h1>\n<p>No headlines to display.</p>\n</body></html>\n";
}

ServiceResponse HeadlinesPage(const Market& market, const PageRequest& request) {
  const QueryString query(request.rawQuery);
  const std::string symbol = AsciiUpper(query.Text("s"));
  if (symbol.size() > 32) return BadRequest("symbol too long");
  const Security* s = market.Securities().Find(symbol);
  if (s == nullptr) return {200, "text/html; charset=utf-8", NoHeadlines(symbol)};
  const SysSeconds now = market.Now();
  int until = market.Calendar(*s).State(now).localDay;
  const std::string before = query.Text("t");
  if (!before.empty()) {
    int y = 0, m = 0, d = 0;
    char extra = 0;
    if (before.size() != 8 || std::sscanf(before.c_str(), "%4d%2d%2d%c", &y, &m, &d, &extra) != 3 ||
        !MakeDay(y, m, d, until))
      return BadRequest("t must be a date YYYYMMDD");
  }
  const auto all = MakeHeadlines(market, *s, now);
  auto it = std::find_if(all.begin(), all.end(), [until](const Headline& h) { return h.day <= until; });
  if (it == all.end()) return {200, "text/html; charset=utf-8", NoHeadlines(symbol)};

  const std::string host = "http://" + LinkHost(request.host);
  const int today = market.Calendar(*s).State(now).localDay;
  std::string body = "<html><head><title>" + HtmlEscape(s->name) + " (" + s->symbol +
                     ") Headlines</title><meta charset=\"utf-8\"></head><body>\n<h1>Headlines for " +
                     HtmlEscape(s->name) + " (" + s->symbol + ")</h1>\n" +
                     "<table border=\"0\" cellpadding=\"2\" cellspacing=\"0\" width=\"100%\">\n";
  int groups = 0;
  int lastDay = -1;
  for (; it != all.end(); ++it) {
    if (it->day != lastDay) {
      if (groups == kHeadlineDaysPerPage) break;
      ++groups;
      lastDay = it->day;
      body += "<tr><td colspan=\"4\"><b>" + std::string(it->day == today ? "Today, " : "") +
              FormatHeadingDay(it->day) + "</b></td></tr>\n";
    }
    body += "<tr><td valign=\"top\">&#183;</td><td></td><td><a href=\"" + host + ArticlePath(*s, *it) +
            "\">" + HtmlEscape(it->title) + "</a> <font color=\"#666666\"><small>" +
            AsciiUpper(FormatClockTime(it->minute)) + " - " + it->source + "</small></font></td></tr>\n";
  }
  // Closes the last date group: the client reads a group up to the next cell of this kind.
  body += "<tr><td colspan=\"4\"><hr></td></tr>\n</table>\n";
  if (it != all.end()) {
    body += "<p><a href=\"/q/h?s=" + s->symbol + "&amp;t=" + DayKey(lastDay - 1) +
            "\"><b>More Headlines for these symbols...</b></a></p>\n";
  }
  body += "</body></html>\n";
  return {200, "text/html; charset=utf-8", std::move(body)};
}

ServiceResponse ArticlePage(const Market& market, const PageRequest& request) {
  // /n/SYMBOL/YYYYMMDD-N.html
  const std::string_view rest = request.path.substr(3);
  const size_t slash = rest.find('/');
  if (slash == std::string_view::npos || rest.size() > 64) return NotFound(request.path);
  const Security* s = market.Securities().Find(rest.substr(0, slash));
  const std::string name(rest.substr(slash + 1));
  int y = 0, m = 0, d = 0, number = 0, consumed = 0, day = 0;
  if (s == nullptr || std::sscanf(name.c_str(), "%4d%2d%2d-%d.html%n", &y, &m, &d, &number, &consumed) != 4 ||
      consumed != static_cast<int>(name.size()) || !MakeDay(y, m, d, day))
    return NotFound(request.path);
  for (const Headline& h : MakeHeadlines(market, *s, market.Now())) {
    if (h.day != day || h.number != number) continue;
    std::string body =
        "<html><head><title>" + HtmlEscape(h.title) + "</title><meta charset=\"utf-8\"></head><body>\n";
    body += "<h1>" + HtmlEscape(h.title) + "</h1>\n<p><i>" + FormatHeadingDay(h.day) + ", " +
            AsciiUpper(FormatClockTime(h.minute)) + " - " + HtmlEscape(h.source) + "</i></p>\n<p>" +
            HtmlEscape(h.body) + "</p>\n<p><a href=\"/q?s=" + s->symbol + "\">Quote for " + s->symbol +
            "</a> | <a href=\"/q/h?s=" + s->symbol + "\">More headlines</a></p>\n</body></html>\n";
    return {200, "text/html; charset=utf-8", std::move(body)};
  }
  return NotFound(request.path);
}
