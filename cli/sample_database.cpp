#include "cli/sample_database.h"

#include "portfolio/database/vl_database.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_stock_holding_item.h"

namespace {

struct SampleDate {
  int year, month, day;
};

struct SampleStock {
  const char* symbol;
  uint32_t qty;
  uint32_t priceCents;
  uint32_t commissionCents;
  SampleDate bought;
  uint32_t sellTargetCents;  // 0 = none
  uint32_t stopLossCents;    // 0 = none
  int32_t marginEquity;      // percent; 0 = not marginable
  const char* comment;
  // A sale of part or all of the shares: 0 shares = kept whole.
  uint32_t soldQty;
  uint32_t salePriceCents;
  SampleDate sold;
  // A split of `splitNew` shares for one, recorded on `split` (before the sale): the purchase is as traded.
  uint32_t splitNew = 0;
  SampleDate split{};
};

struct SamplePortfolio {
  const char* name;
  const char* comment;
  std::vector<SampleStock> stocks;
  uint32_t cashCents;    // 0 = none
  uint32_t marginCents;  // 0 = none
};

const std::vector<SamplePortfolio>& Samples() {
  static const std::vector<SamplePortfolio> samples = {
      {"Retirement",
       "long term",
       {
           {"MSFT", 100, 25050, 995, {2023, 1, 17}, 60000, 0, 50, "core holding", 0, 0, {}},
           {"AAPL", 50, 12000, 995, {2022, 6, 1}, 0, 11000, 0, "", 0, 0, {}},
           {"KO", 200, 6110, 995, {2020, 11, 2}, 0, 0, 0, "dividends", 80, 6450, {2024, 5, 14}},
           {"JNJ", 40, 16420, 995, {2021, 9, 8}, 0, 0, 0, "", 0, 0, {}},
           {"INTC", 300, 3520, 995, {2021, 8, 16}, 0, 0, 0, "", 300, 4810, {2024, 4, 2}},
       },
       250000,
       120000},
      {"Trading",
       "short term",
       {
           // Bought as 6 shares at 485.00; the split of 2024-06-10 makes them 60 at 48.50, 20 of them
           // sold that day.
           {"NVDA",
            6,
            48500,
            495,
            {2023, 3, 6},
            200000,
            40000,
            0,
            "",
            20,
            11875,
            {2024, 6, 10},
            10,
            {2024, 6, 10}},
           {"TSLA", 25, 18760, 495, {2024, 1, 22}, 0, 15000, 0, "", 0, 0, {}},
           {"BHP.AX", 150, 4412, 1995, {2022, 10, 4}, 0, 0, 0, "Australia", 0, 0, {}},
           {"HSBA.L", 200, 115000, 1250, {2023, 7, 19}, 0, 0, 0, "London: prices in pence", 0, 0, {}},
       },
       80000,
       0},
  };
  return samples;
}

int64_t StoredDay(const SampleDate& date) {
  return StoredDateOf(CalendarDate{date.year, date.month, date.day});
}

VLResult AddStock(VLDatabase& db, VLDatabaseConn* conn, uint32_t portfolioId, const SampleStock& s) {
  VLStockHoldingItem fields;
  fields.name = s.symbol;
  fields.qty = Quantity::FromWhole(s.qty);
  fields.buyPricePerShare = PriceOfCents(s.priceCents);
  fields.buyCommission = s.commissionCents;
  fields.purchaseDate = StoredDay(s.bought);
  fields.perShareSellTarget = PriceOfCents(s.sellTargetCents);
  fields.perShareStopLossTarget = PriceOfCents(s.stopLossCents);
  fields.marginable = s.marginEquity != 0;
  fields.mgnEquity = s.marginEquity;
  fields.comment = s.comment;
  uint32_t id = 0;
  if (VLResult code = db.AddStockPosition(conn, portfolioId, fields, id); code != VLResult::Ok) return code;
  if (s.splitNew != 0) {
    SplitRequest split;
    split.symbol = s.symbol;
    split.ratio = {s.splitNew, 1};
    split.exDate = StoredDay(s.split);
    SplitPreview preview;
    if (VLResult code = db.RecordSplit(conn, split, preview); code != VLResult::Ok) return code;
  }
  if (s.soldQty == 0) return VLResult::Ok;
  uint32_t remainderId = 0;
  return db.SellPosition(conn, id, Quantity::FromWhole(s.soldQty), PriceOfCents(s.salePriceCents),
                         s.commissionCents, StoredDay(s.sold), remainderId);
}

}  // namespace

std::vector<std::string> SampleSymbols() {
  std::vector<std::string> symbols;
  for (const SamplePortfolio& p : Samples()) {
    for (const SampleStock& s : p.stocks) symbols.push_back(s.symbol);
  }
  return symbols;
}

VLResult AddSampleContent(VLDatabase& db, VLDatabaseConn* conn) {
  for (const SamplePortfolio& sample : Samples()) {
    VLPortfolioItem portfolio;
    portfolio.name = sample.name;
    portfolio.comment = sample.comment;
    if (VLResult code = db.AddPortfolio(conn, portfolio); code != VLResult::Ok) return code;
    for (const SampleStock& stock : sample.stocks) {
      if (VLResult code = AddStock(db, conn, portfolio.id, stock); code != VLResult::Ok) return code;
    }
    uint32_t id = 0;
    if (sample.cashCents) {
      if (VLResult code = db.AddCashPosition(conn, portfolio.id, sample.cashCents, "Money market", id);
          code != VLResult::Ok) {
        return code;
      }
    }
    if (sample.marginCents) {
      if (VLResult code = db.AddMarginPosition(conn, portfolio.id, sample.marginCents, "Broker loan", id);
          code != VLResult::Ok) {
        return code;
      }
    }
  }
  return VLResult::Ok;
}
