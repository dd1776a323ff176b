#include "portfolio/corporate_actions/split_proposals.h"

#include <algorithm>
#include <set>
#include <utility>

#include "framework/text_util.h"
#include "portfolio/corporate_actions/service_events.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_stock_holding_item.h"

bool ServiceSplitSource::GetSplits(const std::string& symbol, int64_t firstDay, int64_t lastDay,
                                   std::vector<KnownSplit>& splits, std::string& error,
                                   FetchFailure& failure) {
  splits.clear();
  std::vector<CorporateEvent> events;
  if (!FetchServiceEvents(symbol, firstDay, lastDay, events, error, failure)) return false;
  for (const CorporateEvent& e : events) {
    if (e.kind != CorporateEvent::Kind::Split) continue;
    SplitRatio ratio;
    // A ratio no position could take (beyond 32 bits, or of 1) is passed over as unreadable.
    if (!MakeSplitRatio(e.newShares, e.oldShares, ratio)) continue;
    splits.push_back({e.date.Number(), ratio});
  }
  return true;
}

void CollectHeldSymbols(const VLHoldingItemList& positions, std::map<std::string, HeldSymbol>& held) {
  for (const auto& item : positions) {
    const VLStockHoldingItem* stock = AsStock(static_cast<const VLHoldingItem*>(item.get()));
    if (!stock || stock->IsSold() || stock->name.empty()) continue;
    const int64_t day = stock->purchaseDate == 0 ? 0 : DayNumberOfStoredDate(stock->purchaseDate);
    const auto [it, added] = held.try_emplace(AsciiUpper(stock->name), HeldSymbol{day, 0});
    if (!added && (day == 0 || it->second.firstPurchaseDay == 0)) {
      it->second.firstPurchaseDay = 0;
    } else if (!added) {
      it->second.firstPurchaseDay = std::min(it->second.firstPurchaseDay, day);
    }
    ++it->second.positions;
  }
}

std::vector<SplitProposal> ProposeSplits(const std::map<std::string, HeldSymbol>& held,
                                         const std::map<std::string, std::vector<KnownSplit>>& known,
                                         const std::vector<VLCorporateActionItem>& recorded) {
  std::set<std::pair<std::string, int64_t>> done;
  for (const VLCorporateActionItem& action : recorded) {
    if (action.kind == CorporateActionKind::Split)
      done.emplace(AsciiUpper(action.name), DayNumberOfStoredDate(action.exDate));
  }
  std::vector<SplitProposal> proposals;
  for (const auto& [symbol, holding] : held) {
    const auto splits = known.find(symbol);
    if (splits == known.end()) continue;
    for (const KnownSplit& split : splits->second) {
      if (split.day <= holding.firstPurchaseDay && holding.firstPurchaseDay != 0) continue;
      if (done.count({symbol, split.day})) continue;
      proposals.push_back({symbol, split, holding.positions});
    }
  }
  std::stable_sort(proposals.begin(), proposals.end(), [](const SplitProposal& a, const SplitProposal& b) {
    return a.split.day != b.split.day ? a.split.day < b.split.day : a.symbol < b.symbol;
  });
  return proposals;
}

SplitRequest RequestOf(const SplitProposal& proposal) {
  SplitRequest request;
  request.symbol = proposal.symbol;
  request.ratio = proposal.split.ratio;
  request.exDate = StoredDateOfDay(proposal.split.day);
  request.comment = "from the market-data service";
  return request;
}
