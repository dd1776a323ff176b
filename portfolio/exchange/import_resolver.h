#pragma once
#include <cstdint>
#include <vector>

#include "portfolio/exchange/import_plan.h"
#include "portfolio/exchange/import_problem.h"
#include "portfolio/records/exact_decimal.h"

class ImportSplits;
class VLHoldingItemList;
class VLPortfolioItemList;

// Works out what an import plan does to a store, without changing it: which portfolio each of the plan's
// portfolios is, which rows are already there (duplicates), and which held positions each sale takes its
// shares from. The database applies the result in one change (VLDatabase::ImportPositions).

inline constexpr size_t kNoLot = static_cast<size_t>(-1);

// Shares a sale may take: a held stock position of the store, one the import adds, or the unsold rest of a
// position a sale of the same import split.
struct ImportLot {
  enum class Origin { Stored, Added, Remainder };
  Origin origin = Origin::Stored;
  uint32_t positionId = 0;  // Stored
  size_t from = 0;          // Added: the step that adds it; Remainder: the lot it was split from
};

// Part of a sale taken from one lot. When the lot holds more than `qty`, the sale splits it and the rest
// becomes `remainder`.
struct ImportLotSale {
  size_t lot = 0;
  Quantity qty;
  uint32_t saleCommission = 0;  // this part's share of the sale's commission
  size_t remainder = kNoLot;
};

struct ImportStepAction {
  ImportOutcome::StepResult result = ImportOutcome::StepResult::Added;
  uint32_t balancePosition = 0;  // SetBalance on a stored position: its id
  // Added shares held before a statement (ImportStep::opening) of which the portfolio holds some already: the
  // shares left to add. Zero when the step's own are added.
  Quantity openingShares;
  std::vector<ImportLotSale> sales;
};

struct ImportResolution {
  std::vector<uint32_t> portfolioIds;     // per plan portfolio; 0: to be created
  std::vector<ImportStepAction> actions;  // per step
  std::vector<ImportLot> lots;
  ImportProblems problems;  // sales of more shares than are held then
  ImportOutcome counts;     // added, sold, balances, duplicates, outdated
};

// `positions` and `portfolios` are the store's, in its order. `splits`, when given, are the splits the plan
// was put into today's shares by (ConvertToCurrentShares): the positions the store sold before them count,
// as purchases, in today's shares, and a sale before them takes today's shares.
ImportResolution ResolveImport(const ImportPlan& plan, const VLPortfolioItemList& portfolios,
                               const VLHoldingItemList& positions, const ImportSplits* splits = nullptr);
