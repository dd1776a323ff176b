#pragma once
// A database in a temporary folder with one portfolio: a held stock, cash and a margin loan, and a sold
// stock, with quotes from a fixed source.
#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

#include "marketdata/stock_info.h"
#include "portfolio/columns/number_format.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/database/vl_quote_source.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "tests/support/exact_values.h"
#include "tests/support/null_window.h"

class FixedQuotes : public IVLQuoteSource {
 public:
  // AAA trades at 12.00 (-0.50), anything else at 30.00 (+1.00).
  bool FetchQuotes(const std::vector<StockInfo*>& quotes, std::string&) override {
    for (StockInfo* q : quotes) {
      q->exchange = "NYSE";
      q->lastTrade = q->symbol == "AAA" ? "12.00" : "30.00";
      q->change = q->symbol == "AAA" ? "-0.50" : "+1.00";
    }
    return true;
  }
  bool FetchMarketTime(int32_t, std::string& time, std::string& status) override {
    time = "4:00PM ET";
    status = "closed";
    return true;
  }
  bool IsSupportedMarket(int32_t market) const override { return market == 0; }
};

// Held view: AAA 100 bought at 10.00, marginable at 50% above 5.00, cash 500.00, margin owed 300.00. Sold
// view: BBB 10 bought at 20.00, sold at 25.00 with 10.00 commission.
class SummarySampleDatabase {
 public:
  SummarySampleDatabase() : format(NumberFormat::English()) {
    db = std::make_unique<VLDatabase>(folder.filePath(QStringLiteral("Vellumar.db")).toStdString());
    ok = folder.isValid() && db->Create() == DbResult::Ok;
    db->SetQuoteSource(std::make_unique<FixedQuotes>());
    conn = db->Connect(window, 32825, 32835, 32836);
    ok = ok && conn != nullptr;
    VLPortfolioItem portfolio;
    portfolio.name = "Growth";
    ok = ok && db->AddPortfolio(conn, portfolio) == VLResult::Ok;
    portfolioId = portfolio.id;
    heldStockId = AddStock("AAA", 100, 1000, true);
    ok = ok && db->AddCashPosition(conn, portfolioId, 50000, "cash", cashId) == VLResult::Ok;
    ok = ok && db->AddMarginPosition(conn, portfolioId, 30000, "loan", marginId) == VLResult::Ok;
    soldStockId = AddStock("BBB", 10, 2000);
    uint32_t remainder = 0;
    ok = ok && db->SellPosition(conn, soldStockId, Shares(10), Cents(2500), 1000, kPurchaseDate + 86400,
                                remainder) == VLResult::Ok;
    ok = ok && db->UpdateQuotes(conn) == VLResult::Ok;
  }

  static constexpr int64_t kPurchaseDate = 1700000000;
  QTemporaryDir folder;
  ScopedNumberFormat format;
  std::shared_ptr<NullWindow> window = std::make_shared<NullWindow>();
  std::unique_ptr<VLDatabase> db;
  VLDatabaseConn* conn = nullptr;
  bool ok = false;
  uint32_t portfolioId = 0;
  uint32_t heldStockId = 0;
  uint32_t cashId = 0;
  uint32_t marginId = 0;
  uint32_t soldStockId = 0;

 private:
  uint32_t AddStock(const std::string& symbol, uint32_t qty, uint32_t price, bool marginable = false) {
    VLStockHoldingItem fields;
    fields.marginable = marginable;
    fields.mgnEquity = 50;
    fields.mgnThreshold = 500;
    fields.name = symbol;
    fields.qty = Shares(qty);
    fields.buyPricePerShare = Cents(price);
    fields.purchaseDate = kPurchaseDate;
    uint32_t id = 0;
    ok = ok && db->AddStockPosition(conn, portfolioId, fields, id) == VLResult::Ok;
    return id;
  }
};
