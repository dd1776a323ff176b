#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "portfolio/database/vl_result.h"
#include "portfolio/records/vl_holding_item.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_manual_price_item.h"

class VLDatabase;
class VLDatabaseConn;

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
  std::vector<const VLHoldingItem*> positions;  // owned by ExportData::positions, in the store's order
};

// The portfolios chosen, ordered by name as the window lists them, each with its chosen positions, and the
// prices set by hand that go with them: every one for the whole database, else those of the symbols of the
// stock positions taken out (by symbol, then day).
struct ExportData {
  std::vector<ExportPortfolio> portfolios;
  VLHoldingItemList positions;  // copies of the positions taken out
  std::vector<VLManualPriceItem> prices;
  int PositionCount() const;
};

// Reads what `choice` names; the database's answer (Ok, or NotFound for a portfolio id it does not know).
VLResult CollectExport(VLDatabase& db, VLDatabaseConn* conn, const ExportChoice& choice, ExportData& data);

// Whether `choice` keeps the position.
bool ExportKeeps(const ExportChoice& choice, const VLHoldingItem& position);
