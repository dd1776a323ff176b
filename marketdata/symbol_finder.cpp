#include "marketdata/symbol_finder.h"

#include "marketdata/command_target.h"
#include "marketdata/message_pump.h"
#include "marketdata/stock_info.h"
#include "marketdata/text_helpers.h"
#include "marketdata/url_encode.h"

static constexpr const char* kIndexListPath = "/vellumar/data/index.xml";
// A "%d" read looks at no more than this much of a number's text.
static constexpr size_t kMaxNumberChars = 31;

void SymbolFinder::Fetch(const std::string& text, int type, bool all, Results* resultList,
                         ICommandTarget* ownerWindow, uint32_t command) {
  searchType = type;
  if (type != kIndexes && text.empty()) return;
  searchText = Trim(text);
  allMarkets = all;
  results = resultList;
  owner = ownerWindow;
  commandId = command;
  stop = false;
  total = 0;
  resultsSoFar = 0;
  previousResultsSoFar = 0;
  progress = 0;
  pageOffset = 0;
  Run();
}

void SymbolFinder::GetUrl(std::string& out) {
  if (searchType == kIndexes) {
    out = MakeUrl(hosts.productHost, kIndexListPath);
    return;
  }
  static const char* const kTypeLetters[] = {"S", "M", "E", "F"};
  const char* letter = searchType >= 0 && searchType <= kFutures ? kTypeLetters[searchType] : "S";
  std::string path = std::string("/lookup?m=") + (allMarkets ? "ALL" : "US") + "&t=" + letter +
                     "&s=" + EncodeUrlValue(searchText);
  if (pageOffset > 0) path += "&b=" + std::to_string(pageOffset);
  out = MakeUrl(hosts.quoteWebHost, path);
}

bool SymbolFinder::HasMoreRequests() {
  if (searchType == kIndexes) return false;
  // A page that failed is never asked for again, and a page that does not move the range forward
  // would only be followed by itself.
  if (HasError() || total <= 0 || resultsSoFar >= total || resultsSoFar <= previousResultsSoFar) return false;
  previousResultsSoFar = resultsSoFar;
  progress = static_cast<int>(static_cast<int64_t>(resultsSoFar) * 100 / total);
  if (owner && commandId != 0) owner->OnCommand(commandId);
  PumpMessages();
  return !stop;
}

void SymbolFinder::ParseContent() {
  if (HasError()) return;  // the fetch failed; its error stands
  SetError(kErrorParse);
  if (searchType == kIndexes) {
    ParseIndexList();
  } else {
    ParseLookupPage();
  }
}

bool SymbolFinder::ReadTotals() {
  std::string text;
  SetPosition(0);
  if (!SkipPast("View supported exchanges") || !SkipPast("<td align=\"left\">")) return false;
  if (!ExtractUntil(" results for <b>", text) || !ReadLeadingInt(text.substr(0, kMaxNumberChars), &total)) {
    return false;
  }
  if (!SkipPast("<b>Add to My Portfolio</b>") || !SkipPast("Showing ") || !SkipPast(" - ")) return false;
  // The last result shown: "Showing 51 - 100 of 230" gives 100.
  return ExtractUntil(" of ", text) && ReadLeadingInt(text.substr(0, kMaxNumberChars), &resultsSoFar);
}

void SymbolFinder::ParseLookupPage() {
  if (GetContent().find("Click the symbol for a detailed quote.") == std::string::npos) {
    ClearError();  // nothing found is not an error
    return;
  }
  if (!ReadTotals()) return;
  SetPosition(0);
  while (SkipPast("<tr bgcolor=\"ffffff\">")) {
    std::string symbol, name, exchange;
    if (!SkipPast("\">") || !ExtractUntil("</a></td>", symbol)) break;
    if (!SkipPast("<td>") || !ExtractUntil("</td>", name)) break;
    if (!SkipPast("<td>") || !ExtractUntil("</td>", exchange)) break;
    symbol = FlattenLines(symbol);
    if (symbol.find('^') != std::string::npos) continue;  // indexes are listed separately
    auto info = std::make_unique<StockInfo>();
    info->symbol = symbol;
    info->name = FlattenLines(StripTags(name));
    info->exchange = FlattenLines(StripTags(exchange));
    if (results) results->push_back(std::move(info));
  }
  pageOffset += kPageSize;
  ClearError();
}

void SymbolFinder::ParseIndexList() {
  // Read with the cursor, as the list has always been: the attribute order is part of its form.
  if (!SkipPast("<indexes>")) return;
  while (SkipPast("<index country=\"")) {
    std::string country, exchange, symbol, name;
    if (!ExtractUntil("\"", country)) return;
    if (!SkipPastNoCase("exch=\"") || !ExtractUntil("\"", exchange)) return;
    if (!SkipPastNoCase("symbol=\"") || !ExtractUntil("\"", symbol)) return;
    if (!SkipPastNoCase("name=\"") || !ExtractUntil("\"", name)) return;
    auto info = std::make_unique<StockInfo>();
    info->symbol = symbol;
    info->name = ReplaceAll(name, "&amp;", "&");
    info->exchange = country;
    if (results) results->push_back(std::move(info));
  }
  ClearError();
}
