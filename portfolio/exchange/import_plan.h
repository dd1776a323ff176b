#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/text_util.h"
#include "portfolio/corporate_actions/split_plan.h"
#include "portfolio/records/exact_decimal.h"
#include "portfolio/records/vl_corporate_action_item.h"
#include "portfolio/records/vl_holding_item.h"
#include "portfolio/records/vl_income_item.h"

// What an import asks the database to do, once every row of the file has passed the entry checks: one
// change (VLDatabase::ImportPositions), applied whole or not at all.

// A portfolio the rows go into, by name (compared without regard to letter case); created with `comment`
// when the database has none of that name.
struct ImportPortfolio {
  std::string name;
  std::string comment;
  std::string baseCurrency;  // a Vellumar file's; a portfolio the import creates takes it
};

enum class ImportStepKind {
  Add,         // add `holding` (a stock position, held or sold, a cash position or a margin debt)
  Sell,        // sell shares of `symbol` from the portfolio's held positions, oldest purchase first
  SetBalance,  // the cash position (or margin debt) named `holding`'s name takes `holding`'s amount;
               // added when the portfolio has none of that name
};

struct ImportStep {
  ImportStepKind kind = ImportStepKind::Add;
  int line = 0;                            // where the row is in the file, for the problems
  size_t portfolio = 0;                    // index into ImportPlan::portfolios
  std::unique_ptr<VLHoldingItem> holding;  // Add, SetBalance
  // An added stock position counts as already there when the portfolio's positions bought on the same day
  // at the same price (the parts a sale split it into, say) hold its shares: set for statement purchases,
  // which later sales split.
  bool matchSplitParts = false;
  // An added stock position of shares held before a statement began: only what the portfolio does not
  // already hold of the symbol on its day is added (all of it held: a duplicate).
  bool opening = false;
  // Sell
  std::string symbol;
  Quantity qty;
  UnitPrice salePrice;
  uint32_t saleCommission = 0;
  int64_t saleDate = 0;
  // A sale dated before splits of its symbol (recorded, or in the file): their ratios, oldest first. The
  // held positions are in the shares of today, so it takes `qty` times these ratios from them; each part
  // it sells is put back into the shares of its day (ConvertToCurrentShares sets them).
  std::vector<SplitRatio> splitsAfterSale;

  ImportStep Copy() const;
};

// A price set by hand for a symbol, on a day: stored as VLDatabase::SetManualPrice stores one, replacing the
// symbol's price of that day.
struct ImportPrice {
  int line = 0;
  std::string symbol;
  int64_t date = 0;  // the stored form of the day
  UnitPrice price;
};

// A split or symbol change. Of a Vellumar file: recorded as it is, beside the file's positions, which are in
// the shares of their day already. Of a statement (`applies`): a split that happened, recorded and applied to
// the positions the portfolios held then, and the file's trades before it put into the shares after it.
struct ImportAction {
  int line = 0;
  VLCorporateActionItem action;
  bool applies = false;

  // A split a statement reports: recorded and applied (anything else is recorded as it is).
  bool IsReportedSplit() const { return applies && action.kind == CorporateActionKind::Split; }
};

// A payment of income: recorded in its portfolio unless a record of the same symbol, kind, pay date and
// gross is there already (or comes earlier in the file).
struct ImportIncome {
  int line = 0;
  size_t portfolio = 0;  // index into ImportPlan::portfolios
  VLIncomeItem income;   // all but its portfolio and, for a reinvested payment, the position it bought
  // A reinvested payment: the step that adds the purchase its cash made.
  std::optional<size_t> reinvestStep;
  // A row of tax withheld (a broker's list gives it apart from its dividend): a record of its own, a negative
  // gross of kind "other", unless the file has a dividend of the same symbol and pay date to take it as
  // withholding (MergeTaxRows).
  bool tax = false;
};

struct ImportPlan {
  // More portfolios than this in one file are refused: an import that creates them by the thousand is no
  // user's intent, and every portfolio is matched by name against the database's.
  static constexpr size_t kMaxPortfolios = 1000;

  // Each name once (without regard to letter case): PortfolioIndex adds them.
  std::vector<ImportPortfolio> portfolios;
  std::vector<ImportStep> steps;
  std::vector<ImportPrice> prices;
  std::vector<ImportAction> actions;
  std::vector<ImportIncome> incomes;
  // Rows equal to a position already in their portfolio are added all the same (else they are skipped).
  bool allowDuplicates = false;
  // The file's trades are as traded, in the shares of their day (a statement, a broker's list of
  // transactions), not positions in today's shares as a Vellumar file keeps them: splits put them into
  // today's shares (ConvertToCurrentShares), and the splits the file reports are applied.
  bool asTraded = false;
  // What to do about a sale of more shares than are held then, where the file itself says more (a
  // statement's holdings list): the hints of that problem (ImportProblem), in the command line's words and
  // the window's.
  std::string shortSaleCommandHint;
  std::string shortSaleWindowHint;

  // A copy of every step and list (the positions cloned).
  ImportPlan Copy() const;

  // The index of the portfolio of that name, added (with `comment`) when the plan has none yet.
  size_t PortfolioIndex(const std::string& name, const std::string& comment = {}) {
    const auto [it, added] = byName.try_emplace(FoldedName(name), portfolios.size());
    if (added) portfolios.push_back({name, comment, {}});
    return it->second;
  }
  bool HasPortfolio(const std::string& name) const { return byName.count(FoldedName(name)) != 0; }

 private:
  // The key EqualNoCase compares by: ASCII letters in lower case, every other byte as it is.
  static std::string FoldedName(const std::string& name) { return AsciiLower(name); }
  std::unordered_map<std::string, size_t> byName;
};

// Each tax row of `plan` becomes the withholding of the file's dividend of the same portfolio, symbol and
// pay date, where that dividend's deductions leave room for it; the others stay records of their own.
void MergeTaxRows(ImportPlan& plan);

// What an import did (or, for a trial, would do).
struct ImportOutcome {
  int added = 0;                            // positions added
  int sold = 0;                             // sales applied
  int balances = 0;                         // cash balances set on an existing position
  int duplicates = 0;                       // rows skipped as already there
  int outdated = 0;                         // balances left alone: the position's is from a later statement
  int prices = 0;                           // prices set by hand stored (new, or another price that day)
  int actions = 0;                          // corporate actions recorded (not those recorded already)
  int income = 0;                           // income records added (duplicates count as duplicates)
  std::vector<bool> incomeRecorded;         // per ImportPlan::incomes: recorded, or skipped as a duplicate
  std::vector<uint32_t> createdPortfolios;  // ids (none for a trial)
  std::vector<uint32_t> portfolioIds;       // per ImportPlan::portfolios: the id it went into (0: new, trial)
  // Per step: what became of it, and the position it added or changed (0 for a trial, a skipped row or a
  // sale, which may touch several).
  enum class StepResult { Added, Sold, BalanceSet, Duplicate, Outdated };
  std::vector<StepResult> stepResults;
  std::vector<uint32_t> stepPositions;
};
