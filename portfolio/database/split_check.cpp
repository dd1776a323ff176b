#include "portfolio/database/split_check.h"

#include <map>

#include "portfolio/database/vl_database.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_portfolio_item_list.h"

namespace {

// A position without a purchase date is asked about from here: the service's histories start no earlier.
const int64_t kEarliestAsked = DayNumberOf({1990, 1, 1});

}  // namespace

VLResult CheckForSplits(VLDatabase& db, VLDatabaseConn* conn, ISplitEventSource& source, int64_t today,
                        SplitCheck& check,
                        const std::function<bool(const std::string& symbol, int done, int total)>& progress) {
  check = SplitCheck{};
  VLPortfolioItemList portfolios;
  if (const VLResult code = db.GetPortfolios(conn, portfolios); code != VLResult::Ok) return code;
  std::map<std::string, HeldSymbol> held;
  for (const auto& portfolio : portfolios) {
    VLHoldingItemList positions;
    if (const VLResult code = db.GetPositions(conn, portfolio->id, true, positions); code != VLResult::Ok)
      return code;
    CollectHeldSymbols(positions, held);
  }
  std::vector<VLCorporateActionItem> recorded;
  if (const VLResult code = db.GetCorporateActions(conn, recorded); code != VLResult::Ok) return code;
  std::map<std::string, std::vector<KnownSplit>> known;
  const int total = static_cast<int>(held.size());
  for (const auto& [symbol, holding] : held) {
    if (progress && !progress(symbol, check.symbolsAsked, total)) break;
    const int64_t from =
        holding.firstPurchaseDay == 0 ? kEarliestAsked : std::min(holding.firstPurchaseDay, today);
    std::string error;
    FetchFailure failure;
    ++check.symbolsAsked;
    if (!source.GetSplits(symbol, from, today, known[symbol], error, failure)) {
      known.erase(symbol);
      if (check.unasked.empty()) check.failure = failure;
      check.unasked.push_back(symbol + ": " + error);
    }
  }
  check.proposals = ProposeSplits(held, known, recorded);
  return VLResult::Ok;
}
