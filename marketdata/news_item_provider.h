#pragma once
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "marketdata/c_web_resource_provider.h"

class ICommandTarget;
class NewsItem;

// Reads the headlines pages of several symbols, page after page, into one list ordered newest
// date first. Reports progress to its owner between pages and symbols; the owner stops it by
// setting `stop` from that command.
class NewsItemProvider : public CWebResourceProvider {
 public:
  using Results = std::vector<std::unique_ptr<NewsItem>>;
  static constexpr int kDefaultDayLimit = 10;
  static constexpr int kDefaultItemLimit = 100;
  // A symbol whose first page cannot be fetched is given up after this many tries.
  static constexpr int kFirstPageTries = 3;

  bool stop = false;
  int dayLimit = kDefaultDayLimit;    // date groups per page: at most dayLimit - 1 are read
  int itemLimit = kDefaultItemLimit;  // headlines over the whole fetch
  int progress = 0;                   // percent of the symbols done

  // Fetches every symbol in order into `results` (the caller owns it and its items). Limits below 1
  // take their defaults. Returns true when the owner stopped the run. The error flag tells only
  // whether the last symbol's last page could be fetched.
  bool Fetch(const std::vector<std::string>& symbols, Results* results, int dayLimit, int itemLimit,
             ICommandTarget* owner, uint32_t commandId);

  // "Today, Sat, Jan 6, 2007" -> local midnight of that day. False when it is not such a date.
  [[nodiscard]] static bool ParseHeadingDate(const std::string& heading, int64_t* date);

 protected:
  [[nodiscard]] bool BeginRun() override;
  void GetUrl(std::string& out) override;
  bool HasMoreRequests() override;
  void ParseContent() override;

 private:
  bool CheckStop();
  [[nodiscard]] bool ParseGroup(const std::string& block, const std::string& heading, int64_t date);
  [[nodiscard]] bool ReadHeadline(const std::string& row, const std::string& heading, int64_t date);
  void Insert(std::unique_ptr<NewsItem> item);
  void FindNextPage();
  bool LimitReached() const;

  Results* results = nullptr;
  ICommandTarget* owner = nullptr;
  uint32_t commandId = 0;
  bool pageParsed = false;
  std::string nextUrl;
  std::string currentSymbol;
  int failedFirstPages = 0;
  std::set<std::string> visitedUrls;  // a page that links back to an earlier one ends the symbol
};
