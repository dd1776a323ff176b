#pragma once
#include <map>
#include <string>
#include <vector>

#include "portfolio/corporate_actions/split_plan.h"
#include "portfolio/exchange/import_plan.h"
#include "portfolio/exchange/import_problem.h"

class VLHoldingItemList;

// The splits an import knows of, recorded in the store or reported by a statement, and what they do to the
// trades of the file. The store's positions are in the shares of today; a file's trades are as traded, in
// the shares of their day. Before the resolver matches sales against held shares, every purchase of the
// file is put into the shares of today, exactly as a split recorded while it was held would have changed
// it, and every sale dated before a split takes that many more (or fewer) of today's shares.

struct ImportSplit {
  int64_t exDay = 0;  // a day number
  SplitRatio ratio;
  int line = 0;  // of the file, for a split it reports; 0 for one recorded already
};

class ImportSplits {
 public:
  void Add(const std::string& symbol, const ImportSplit& split);
  // The splits of a symbol (any letter case), oldest first; null when it has none.
  const std::vector<ImportSplit>* Of(const std::string& symbol) const;
  bool Empty() const { return bySymbol.empty(); }

 private:
  std::map<std::string, std::vector<ImportSplit>> bySymbol;
};

// Whether a stock step of the plan is dated before a split of its symbol (or bears no day at all), so that
// ConvertToCurrentShares would change it.
bool PlanCrossesSplits(const ImportPlan& plan, const ImportSplits& splits);

// Puts the plan's stock steps into the shares of today: each added position through every split that
// changes it (bought before the split, not sold before it), as SplitPosition does; each sale dated before
// splits gets their ratios (ImportStep::splitsAfterSale). A row that no split can take (a fraction of a
// share beyond the places a quantity keeps) is a problem of its line.
void ConvertToCurrentShares(ImportPlan& plan, const ImportSplits& splits, ImportProblems& problems);

// `qty` times every ratio (new / old), exactly; false when a quantity cannot hold the result.
bool SharesAfter(Quantity qty, const std::vector<SplitRatio>& ratios, Quantity& out);
// `qty` divided by every ratio, exactly; false when a quantity cannot hold the result.
bool SharesBefore(Quantity qty, const std::vector<SplitRatio>& ratios, Quantity& out);

// A part of a sale made in today's shares, put back into the shares of its sale day: its quantity divided
// by the ratios of the splits after the sale, its buy price and targets multiplied, what was paid kept to
// the cent. `tradedPrice`, when not 0, is the buy price the file gave for the day (the price a purchase of
// the same file was made at): taken when it costs the same. False when the shares cannot be put back.
bool SharesOfSaleDay(VLStockHoldingItem& part, const std::vector<SplitRatio>& ratios, UnitPrice tradedPrice);

// A position sold before splits of its symbol, as it would be had it been held through them: the shares of
// one purchase counted alike wherever sales put them. False (`out` untouched) when no split came after it.
bool PurchaseInSharesOfToday(const VLStockHoldingItem& sold, const ImportSplits& splits,
                             VLStockHoldingItem& out);

// Copies of the store's positions with `splits` applied to each one it changes, for the resolver to see the
// store as the import leaves it once the file's splits are applied. Each position a split cannot take is a
// problem naming it.
void SplitStoredCopies(const VLHoldingItemList& positions, const ImportSplits& splits,
                       VLHoldingItemList& copies, ImportProblems& problems);
