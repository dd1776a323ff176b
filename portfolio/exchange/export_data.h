#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "portfolio/records/vl_corporate_action_item.h"
#include "portfolio/records/vl_holding_item.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_income_item.h"
#include "portfolio/records/vl_manual_price_item.h"
#include "portfolio/records/vl_portfolio_item_list.h"

// What an export takes out of the database.
struct ExportChoice {
  std::vector<uint32_t> portfolioIds;  // none: every portfolio (the whole database)
  bool cash = true;                    // cash positions
  bool margin = true;                  // margin debts
  bool indexes = true;                 // positions in a market index (a symbol beginning with '^')
};

struct ExportPortfolio {
  std::string name;
  std::string comment;
  std::string baseCurrency;                     // Vellumar XML carries it
  std::vector<const VLHoldingItem*> positions;  // owned by ExportData::positions, in the store's order
};

// The portfolios chosen, ordered by name as the window lists them, each with its chosen positions, and the
// prices set by hand and corporate actions that go with them: every one for the whole database, else those
// of the symbols of the stock positions taken out (prices by symbol, then day; an action also goes with the
// symbol it changed to).
// A payment of income taken out with its portfolio, named as the file names it.
struct ExportIncome {
  std::string portfolio;
  VLIncomeItem income;
};

struct ExportData {
  std::vector<ExportPortfolio> portfolios;
  VLHoldingItemList positions;  // copies of the positions taken out
  std::vector<VLManualPriceItem> prices;
  std::vector<VLCorporateActionItem> actions;  // by day, then symbol
  std::vector<ExportIncome> incomes;           // of the portfolios taken out, by portfolio, then pay day
  int PositionCount() const;
};

// What `choice` names of a store's portfolios (in the order given), positions (copies, which `data` takes
// over), prices set by hand (by symbol, then day) and corporate actions (by day); false, `data` empty, when
// the choice names a portfolio that is not among `portfolios`. The database reads them for it (ReadExport,
// vl_database_reads.h).
bool CollectExport(const VLPortfolioItemList& portfolios, VLHoldingItemList& positions,
                   std::vector<VLManualPriceItem> prices, const ExportChoice& choice, ExportData& data,
                   std::vector<VLCorporateActionItem> actions = {}, std::vector<VLIncomeItem> incomes = {});

// Whether `choice` keeps the position.
bool ExportKeeps(const ExportChoice& choice, const VLHoldingItem& position);
