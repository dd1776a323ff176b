#include "marketdata/market_time_provider.h"

#include "marketdata/text_helpers.h"

static constexpr const char* kDowPage = "/q?s=^DJI&d=v1";
static constexpr const char* kCentredSmall = "<td align=\"center\"><small>";

const std::array<MarketRegion, kMarketRegionCount>& MarketRegions() {
  static const std::array<MarketRegion, kMarketRegionCount> regions{{
      {0, "United States", "", kDowPage, "<small>", "</small>"},
      {1, "Argentina", "ar", "/", "<small>", "</small>"},
      {3, "Australia", "au", "/", "<p class=\"clock\">", "</p>"},
      {4, "Brazil", "br", kDowPage, kCentredSmall, "</small>"},
      {5, "Canada", "ca", "/", kCentredSmall, "</small>"},
      {9, "France", "fr", "/", "<td id=\"yfi-persl8n\">", "</td>"},
      {10, "Germany", "de", kDowPage, kCentredSmall, "</small>"},
      {12, "India", "in", "/", kCentredSmall, "</small>"},
      {15, "Italy", "it", kDowPage, kCentredSmall, "</small>"},
      {18, "Mexico", "mx", "/", kCentredSmall, "</small>"},
      {23, "Singapore", "sg", "/", kCentredSmall, "</small>"},
      {24, "Spain", "es", kDowPage, kCentredSmall, "</small>"},
      {28, "United Kingdom", "uk", kDowPage, kCentredSmall, "</small>"},
  }};
  return regions;
}

bool IsSupportedRegion(int code) {
  for (const MarketRegion& r : MarketRegions()) {
    if (r.code == code) return true;
  }
  return false;
}

const MarketRegion& MarketRegionFor(int code) {
  for (const MarketRegion& r : MarketRegions()) {
    if (r.code == code) return r;
  }
  return MarketRegions()[0];
}

void MarketTimeProvider::GetUrl(std::string& out) {
  const MarketRegion& r = MarketRegionFor(region);
  out = MakeUrl(RegionSite(r.subDomain, hosts.quoteWebHost), r.page);
}

std::string MarketTimeProvider::CleanState(std::string state) {
  // Green and red bold figures become signed figures.
  state = ReplaceNoCase(state, "<b style=\"color:#008800;\">", "+");
  state = ReplaceNoCase(state, "<b style=\"color:#cc0000;\">", "-");
  state = Trim(StripTags(state));
  static const std::array<std::pair<const char*, const char*>, 9> kSpacing{{
      {"++", "+"},
      {"--", "-"},
      {"  +", " +"},
      {"  -", " -"},
      {"  opens", " opens"},
      {"%", "% "},
      {"  ", " "},
      {". ", ".  "},        // two spaces after every full stop...
      {"U.S.  ", "U.S. "},  // ...but not after this abbreviation
  }};
  for (const auto& [search, replacement] : kSpacing) state = ReplaceNoCase(state, search, replacement);
  if (!state.empty() && state.back() == '.') state.pop_back();
  return state;
}

void MarketTimeProvider::ParseContent() {
  SetError(kErrorParse);
  const MarketRegion& r = MarketRegionFor(region);
  std::string block;
  if (!SkipPast(r.startMarker) || !ExtractUntilNoCase(r.endMarker, block)) return;
  SetContent(block);
  std::string time;
  if (ExtractUntilNoCase(" - ", time)) marketTime = ReplaceAll(Trim(StripTags(time)), "  ", " ");
  if (ExtractRest(marketState)) marketState = CleanState(marketState);
  ClearError();
}
