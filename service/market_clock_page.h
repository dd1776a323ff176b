#pragma once

#include "service/trading_calendar.h"

#include <string>
#include <string_view>

class Market;
struct PageRequest;
struct ServiceResponse;

// A regional site of the quote service: its sub-domain, the page the client reads the market clock
// from, the markers around the clock, and the market and indexes the clock reports.
struct RegionalSite {
  int code;
  const char* name;
  const char* subDomain;  // empty for the main site
  const char* clockPage;
  const char* startMarker;
  const char* endMarker;
  const char* exchange;      // whose local time and session the clock shows
  const char* marketsLabel;  // "U.S." in "U.S. Markets close in 2 hrs and 5 mins."
  const char* indexSymbol1;
  const char* indexLabel1;
  const char* indexSymbol2;  // empty when the region reports one index
  const char* indexLabel2;
};

// The region of a Host header ("uk.localhost:8642" is the United Kingdom); the main site otherwise.
const RegionalSite& RegionForHost(std::string_view host);
const RegionalSite* FindRegion(int code);
// "Fri, Dec 4, 2026, 3:30PM EST - U.S. Markets close in 30 mins.  Dow <b ...>+0.53%</b>", between the
// region's own start and end markers.
std::string MarketClockBlock(const Market& market, const RegionalSite& region, SysSeconds now);
// The clock block placed in page markup (a table row for cell markers).
std::string MarketClockMarkup(const Market& market, const RegionalSite& region, SysSeconds now);
// "2 hrs and 5 mins", "1 hr", "45 mins".
std::string FormatHoursAndMinutes(int64_t minutes);

// GET / : the regional front page with the clock and the region's indexes.
ServiceResponse FrontPage(const Market& market, const PageRequest& request);
