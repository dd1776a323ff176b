#include "service/request_router.h"

#include "service/chart_builder.h"
#include "service/headlines_page.h"
#include "service/history_page.h"
#include "service/index_xml_page.h"
#include "service/info_page.h"
#include "service/lookup_page.h"
#include "service/market_clock_page.h"
#include "service/quotes_csv_page.h"

#include <exception>

using PageFunction = ServiceResponse (*)(const Market&, const PageRequest&);

static ServiceResponse Health(const Market&, const PageRequest&) {
  return {200, "text/plain", "ok\n"};
}
static ServiceResponse Quotes(const Market& m, const PageRequest& r) {
  return QuotesCsvPage(m, r.rawQuery);
}
static ServiceResponse History(const Market& m, const PageRequest& r) {
  return HistoryCsvPage(m, r.rawQuery);
}
static ServiceResponse Events(const Market& m, const PageRequest& r) {
  return EventsCsvPage(m, r.rawQuery);
}
static ServiceResponse IndexXml(const Market& m, const PageRequest&) {
  return IndexXmlPage(m);
}

// Exact paths first; prefixes (articles, quote-service chart images) after.
static const struct {
  const char* path;
  PageFunction page;
} kPages[] = {
    {"/healthz", Health},
    {"/d/quotes.csv", Quotes},
    {"/table.csv", History},
    {"/vellumar/events.csv", Events},
    {"/q/h", HeadlinesPage},
    {"/q", InfoPage},
    {"/", FrontPage},
    {"/lookup", LookupPage},
    {"/vellumar/data/index.xml", IndexXml},
    {"/charts/big.chart", ChartPage},
    {"/b", ChartPage},
    {"/w", ChartPage},
};

static const struct {
  const char* prefix;
  PageFunction page;
} kPrefixes[] = {
    {"/c/", ChartPage},
    {"/n/", ArticlePage},
};

static ServiceResponse Route(const Market& market, const ServiceRequest& request) {
  if (request.method != "GET" && request.method != "HEAD") return {405, "text/plain", "Only GET is served\n"};
  if (request.target.size() > kMaxTargetLength) return BadRequest("request target too long");
  if (request.target.empty() || request.target[0] != '/') return BadRequest("target must start with /");
  for (char c : request.target) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return BadRequest("control character in target");
  }
  const std::string_view target = request.target;
  const size_t mark = target.find('?');
  PageRequest page{target.substr(0, mark),
                   mark == std::string_view::npos ? std::string_view{} : target.substr(mark + 1),
                   request.host};
  for (const auto& p : kPages) {
    if (page.path == p.path) return p.page(market, page);
  }
  for (const auto& p : kPrefixes) {
    if (page.path.substr(0, std::char_traits<char>::length(p.prefix)) == p.prefix)
      return p.page(market, page);
  }
  return NotFound(page.path);
}

ServiceResponse HandleServiceRequest(const Market& market, const ServiceRequest& request) {
  try {
    return Route(market, request);
  } catch (const std::exception& e) {
    // Nothing below is meant to throw (allocation aside); a request must never take the service down.
    return {500, "text/plain", std::string("Internal error: ") + e.what() + "\n"};
  }
}
