#include "marketdata/news_item_provider.h"

#include "framework/text_util.h"
#include "marketdata/command_target.h"
#include "marketdata/market_date.h"
#include "marketdata/message_pump.h"
#include "marketdata/news_item.h"
#include "marketdata/text_helpers.h"
#include "marketdata/url_encode.h"

static constexpr const char* kGroupMarker = "<td colspan=\"4\"";
static constexpr const char* kRowMarker = "</td><td></td><td><a href=\"";
static constexpr const char* kSourceMarker = "<font color=\"#666666\"><small>";
static constexpr int kMaxHeadingYear = 9999;

bool NewsItemProvider::Fetch(const std::vector<std::string>& symbols, Results* resultList, int days,
                             int items, ICommandTarget* ownerWindow, uint32_t command) {
  results = resultList;
  dayLimit = days < 1 ? kDefaultDayLimit : days;
  itemLimit = items < 1 ? kDefaultItemLimit : items;
  owner = ownerWindow;
  commandId = command;
  for (size_t i = 0; i < symbols.size(); ++i) {
    currentSymbol = symbols[i];
    Run();
    progress = static_cast<int>(100 * (i + 1) / symbols.size());
    if (CheckStop()) return true;
  }
  return CheckStop();
}

bool NewsItemProvider::CheckStop() {
  if (owner && commandId != 0) owner->OnCommand(commandId);
  PumpMessages();
  return stop;
}

bool NewsItemProvider::BeginRun() {
  stop = false;
  pageParsed = false;
  failedFirstPages = 0;
  progress = 0;
  nextUrl.clear();
  visitedUrls.clear();
  return true;
}

void NewsItemProvider::GetUrl(std::string& out) {
  if (!nextUrl.empty()) {
    out = std::move(nextUrl);
    nextUrl.clear();
  } else {
    out = MakeUrl(hosts.quoteWebHost, "/q/h?s=" + EncodeUrlValue(currentSymbol));
  }
  visitedUrls.insert(out);
}

bool NewsItemProvider::LimitReached() const {
  return results && static_cast<int64_t>(results->size()) >= itemLimit;
}

bool NewsItemProvider::HasMoreRequests() {
  if (CheckStop() || LimitReached()) return false;
  if (pageParsed) return !nextUrl.empty();
  // The first page failed: try it again, a few times only, so a dead server cannot hold the window.
  return ++failedFirstPages < kFirstPageTries;
}

bool NewsItemProvider::ParseHeadingDate(const std::string& heading, int64_t* date) {
  std::string text = heading;
  if (text.rfind("Today, ", 0) == 0) text = TrimLeft(" " + text.substr(7));
  text = ReplaceAll(text, ",", " ");
  std::vector<std::string> words;
  size_t pos = 0;
  while (words.size() < 4) {
    size_t begin = text.find_first_not_of(" \t\r\n\v\f", pos);
    if (begin == std::string::npos) return false;
    size_t end = text.find_first_of(" \t\r\n\v\f", begin);
    if (end == std::string::npos) end = text.size();
    words.push_back(text.substr(begin, end - begin));
    pos = end;
  }
  int month = MonthFromAbbreviation(words[1]);
  int day = 0;
  int year = 0;
  if (month == 0 || !ReadLeadingInt(words[2], &day) || !ReadLeadingInt(words[3], &year)) return false;
  if (day < 1 || day > 31 || year < 1900 || year > kMaxHeadingYear) return false;
  return LocalMidnight(year, month, day, date);
}

void NewsItemProvider::Insert(std::unique_ptr<NewsItem> item) {
  if (!results) return;
  // Newest first; among equal dates the latest insertion comes first.
  auto it = results->begin();
  while (it != results->end() && (*it)->date > item->date) ++it;
  results->insert(it, std::move(item));
}

// Finds `marker` case-insensitively in `text` (whose lower-cased copy is `lower`) from `from`.
static size_t FindNoCase(const std::string& lower, const std::string& marker, size_t from) {
  return lower.find(AsciiLower(marker), from);
}

bool NewsItemProvider::ReadHeadline(const std::string& row, const std::string& heading, int64_t date) {
  const std::string lower = AsciiLower(row);
  size_t urlEnd = FindNoCase(lower, "\">", 0);
  if (urlEnd == std::string::npos) return false;
  size_t titleEnd = FindNoCase(lower, "</a>", urlEnd + 2);
  if (titleEnd == std::string::npos) return false;
  size_t sourceLine = FindNoCase(lower, kSourceMarker, titleEnd);
  if (sourceLine == std::string::npos) return false;
  size_t dash = FindNoCase(lower, " - ", sourceLine);
  if (dash == std::string::npos) return false;
  size_t sourceEnd = FindNoCase(lower, "</small></font></td>", dash + 3);
  if (sourceEnd == std::string::npos) return false;

  auto item = std::make_unique<NewsItem>();
  item->symbol = currentSymbol;
  item->dateText = heading;
  item->url = row.substr(0, urlEnd);
  std::string title = row.substr(urlEnd + 2, titleEnd - urlEnd - 2);
  item->title = Trim(StripTags(ReplaceAll(title, "[external]", " ")));
  item->source = row.substr(dash + 3, sourceEnd - dash - 3);
  if (item->source.rfind("at ", 0) == 0) item->source.erase(0, 3);
  item->date = date;
  Insert(std::move(item));
  return true;
}

bool NewsItemProvider::ParseGroup(const std::string& block, const std::string& heading, int64_t date) {
  // Each headline row runs up to the next one, so a row without a source line cannot borrow the next
  // row's source.
  const std::string lower = AsciiLower(block);
  const std::string rowMarker = AsciiLower(kRowMarker);
  size_t row = lower.find(rowMarker);
  while (row != std::string::npos) {
    size_t begin = row + rowMarker.size();
    size_t next = lower.find(rowMarker, begin);
    size_t end = next == std::string::npos ? block.size() : next;
    if (ReadHeadline(block.substr(begin, end - begin), heading, date) && LimitReached()) return false;
    row = next;
  }
  return true;
}

void NewsItemProvider::FindNextPage() {
  std::string link;
  if (!SkipPast("<b>More Headlines for these symbols...</b>") || !SkipBackTo("href=\"") ||
      !SkipPastNoCase("\"") || !ExtractUntilNoCase("\"", link)) {
    return;
  }
  std::string url = MakeUrl(hosts.quoteWebHost, ReplaceAll(link, "&amp;", "&"));
  if (visitedUrls.count(url) == 0) nextUrl = url;
}

void NewsItemProvider::ParseContent() {
  if (HasError()) return;  // the fetch failed
  pageParsed = true;
  nextUrl.clear();
  if (SkipPastNoCase("No headlines to display.")) return;
  if (!SkipPastNoCase(kGroupMarker)) return;
  int groups = 0;
  while (IsAtNoCase("><b>")) {
    std::string heading;
    (void)SkipPastNoCase("<b>");  // cannot fail: IsAtNoCase just saw "><b>"
    if (!ExtractUntilNoCase("</b></td>", heading)) return;
    heading = FlattenLines(heading);
    int64_t date = 0;
    if (!ParseHeadingDate(heading, &date)) return;
    if (++groups >= dayLimit) return;
    std::string block;
    if (!ExtractUntilNoCase(kGroupMarker, block)) return;
    if (!ParseGroup(block, heading, date)) return;
  }
  FindNextPage();
}
