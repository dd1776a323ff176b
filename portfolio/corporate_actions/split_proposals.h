#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "marketdata/fetch_failure.h"
#include "portfolio/corporate_actions/corporate_action_change.h"
#include "portfolio/corporate_actions/split_plan.h"
#include "portfolio/records/vl_corporate_action_item.h"

class VLHoldingItemList;

// A split the market-data service knows of a symbol: its ex-date (a day number) and ratio.
struct KnownSplit {
  int64_t day = 0;
  SplitRatio ratio;
};

// Where the known splits come from: the service's events page in the product, a table in tests.
class ISplitEventSource {
 public:
  virtual ~ISplitEventSource() = default;
  // The splits of `symbol` with ex-dates from `firstDay` to `lastDay`; false with `error` (and `failure`
  // when known) when the source could not be asked or answered something else.
  virtual bool GetSplits(const std::string& symbol, int64_t firstDay, int64_t lastDay,
                         std::vector<KnownSplit>& splits, std::string& error, FetchFailure& failure) = 0;
};

// The service's events page (/vellumar/events.csv), on the calling thread.
class ServiceSplitSource : public ISplitEventSource {
 public:
  bool GetSplits(const std::string& symbol, int64_t firstDay, int64_t lastDay,
                 std::vector<KnownSplit>& splits, std::string& error, FetchFailure& failure) override;
};

// A symbol held now: the first purchase among its held positions (a day number; 0 when one of them has no
// purchase date) and how many positions hold it.
struct HeldSymbol {
  int64_t firstPurchaseDay = 0;
  int positions = 0;
};
// The held stock positions of `positions` by symbol in upper case; added to `held`.
void CollectHeldSymbols(const VLHoldingItemList& positions, std::map<std::string, HeldSymbol>& held);

// A split to propose: known to the service, after the first purchase of a held symbol, not recorded.
struct SplitProposal {
  std::string symbol;
  KnownSplit split;
  int positions = 0;
};
// The proposals for `held` from `known` (by symbol in upper case) against the splits `recorded`: oldest
// first, so that applying them in order counts each on the shares the one before made.
std::vector<SplitProposal> ProposeSplits(const std::map<std::string, HeldSymbol>& held,
                                         const std::map<std::string, std::vector<KnownSplit>>& known,
                                         const std::vector<VLCorporateActionItem>& recorded);

// The request that records a proposed split, its comment saying where it came from.
SplitRequest RequestOf(const SplitProposal& proposal);
