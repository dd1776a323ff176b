// Writes a database saved by the code itself, with every kind of record in its newest form, as a seed of the
// database fuzzer.
#include <cstdio>
#include <memory>
#include <string>

#include "portfolio/database/vl_database.h"
#include "portfolio/records/vl_income_item.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_stock_holding_item.h"

namespace {
class NoWindow : public IVLCommandWindow {
 public:
  void PostCommand(uint32_t) override {}
};
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FILE\n", argv[0]);
    return 2;
  }
  const std::string path = argv[1];
  std::remove(path.c_str());
  VLDatabase db(path);
  if (db.Create() != DbResult::Ok) return 1;
  auto window = std::make_shared<NoWindow>();
  VLDatabaseConn* conn = db.Connect(window, 1, 2, 3);
  if (!conn) return 1;
  VLPortfolioItem portfolio;
  portfolio.name = "Growth";
  portfolio.comment = "long term";
  if (db.AddPortfolio(conn, portfolio) != VLResult::Ok) return 1;
  VLStockHoldingItem stock;
  stock.name = "MSFT";
  stock.qty = Quantity::FromWhole(100);
  stock.buyPricePerShare = PriceOfCents(2512);
  stock.buyCommission = 995;
  stock.purchaseDate = 1167609600;
  stock.comment = "first buy";
  uint32_t id = 0;
  if (db.AddStockPosition(conn, portfolio.id, stock, id) != VLResult::Ok) return 1;
  stock.name = "IBM";
  stock.qty = Quantity::FromWhole(20);
  if (db.AddStockPosition(conn, portfolio.id, stock, id) != VLResult::Ok) return 1;
  uint32_t soldId = 0;
  if (db.SellPosition(conn, id, Quantity::FromWhole(10), PriceOfCents(9900), 995, 1170288000, soldId) !=
      VLResult::Ok)
    return 1;
  if (db.AddCashPosition(conn, portfolio.id, 123456, "broker", id) != VLResult::Ok) return 1;
  if (db.AddMarginPosition(conn, portfolio.id, 50000, "loan", id) != VLResult::Ok) return 1;
  // A fund the service does not know: a fraction of a share, a price below the cent, a currency of its own,
  // and a price set by hand, so that the seed is of the file's newest form.
  stock.name = "IE00B4L5Y983";
  stock.qty = Quantity::FromUnits(165310000);
  stock.buyPricePerShare = UnitPrice::FromUnits(84263700);
  stock.currency = "EUR";
  if (db.AddStockPosition(conn, portfolio.id, stock, id) != VLResult::Ok) return 1;
  if (db.SetManualPrice(conn, stock.name, 1700049600, UnitPrice::FromUnits(85500000)) != VLResult::Ok)
    return 1;
  // A split that leaves a paid remainder (175,000 shares: no price of 0.000001 keeps their cost) and a
  // symbol change: corporate actions, and a position in its latest record form.
  stock.name = "BIG";
  stock.qty = Quantity::FromWhole(25000);
  stock.buyPricePerShare = UnitPrice::FromUnits(12345677);
  stock.currency.clear();
  if (db.AddStockPosition(conn, portfolio.id, stock, id) != VLResult::Ok) return 1;
  SplitRequest split;
  split.symbol = "BIG";
  split.ratio = {7, 1};
  split.exDate = 1199275200;  // 2008-01-02
  split.comment = "seven for one";
  SplitPreview preview;
  if (db.RecordSplit(conn, split, preview) != VLResult::Ok) return 1;
  int renamed = 0;
  if (db.RecordSymbolChange(conn, "IBM", "IBMX", 1201867200, "", renamed) != VLResult::Ok) return 1;
  // A dividend with withholding, fees, an ex-date, its shares and a currency: income, the newest list.
  VLIncomeItem income;
  income.portfolioId = portfolio.id;
  income.name = "MSFT";
  income.payDate = 1201867200;
  income.exDate = 1200916800;
  income.shares = Quantity::FromWhole(100);
  income.gross = 1100;
  income.withholding = 165;
  income.fees = 10;
  income.currency = "USD";
  income.comment = "quarterly";
  if (db.AddIncome(conn, income, id) != VLResult::Ok) return 1;
  if (db.Disconnect(conn) != VLResult::Ok) return 1;
  return 0;
}
