// vellumar-cli commands that look after the database file as a whole: create it (empty or with the sample),
// check what it holds, dump every record.
#include "cli/command_table.h"

#include <cstdio>
#include <unordered_set>

#include "cli/cli_output.h"
#include "cli/db_session.h"
#include "cli/sample_database.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "portfolio/records/vl_stock_info_item.h"

namespace {

int RunInit(const CliArgs& args, CliIo& io) {
  const std::string path = DatabasePathOption(args);
  {
    VLDatabase db(path);
    const DbResult code = db.Create();
    if (code == DbResult::Exists) return Failed(io, "a database already exists at " + path);
    if (code != DbResult::Ok) {
      return Failed(io, "[ " + path + " ]\n\nVellumar was unable to create this database\nfile.\n(" +
                            db.GetLastFileError().Describe() + ")");
    }
  }
  if (args.Has("sample")) {
    DbSession s;
    VLResult code = VLResult::Failed;
    if (s.Open(args, io)) code = AddSampleContent(s.Db(), s.Conn());
    if (code != VLResult::Ok) {
      // The file is this command's own: a half-filled sample goes, so that the next init finds the path free.
      std::remove(path.c_str());
      return Failed(io, "the sample could not be written: " + DatabaseCodeText(code, s.Db()));
    }
    io.out << "Created " << path << " with two sample portfolios; 'vellumar-cli update --db " << path
           << "' fetches their quotes\n";
    return kExitOk;
  }
  io.out << "Created " << path << "\n";
  return kExitOk;
}

// What the file holds, by kind: the one line check prints.
struct StoreCounts {
  int64_t stocksHeld = 0, stocksSold = 0, cash = 0, margin = 0;
  // Positions whose link leads to no record of the file: a quote, or the portfolio that owns them.
  int64_t noQuote = 0, noPortfolio = 0;
};

StoreCounts CountPositions(VLDatabase& db) {
  VLStockInfoItemList quotes;
  VLPortfolioItemList portfolios;
  VLHoldingItemList positions;
  db.CopyAll(quotes, portfolios, positions);
  std::unordered_set<uint32_t> quoteIds, portfolioIds;
  for (const auto& item : quotes) quoteIds.insert(item->id);
  for (const auto& item : portfolios) portfolioIds.insert(item->id);
  StoreCounts counts;
  for (const auto& item : positions) {
    const auto& h = static_cast<const VLHoldingItem&>(*item);
    counts.noPortfolio += portfolioIds.count(h.ownerPortfolioId) == 0;
    if (h.GetKind() == kHoldingCash) ++counts.cash;
    if (h.GetKind() == kHoldingMargin) ++counts.margin;
    if (h.GetKind() != kHoldingStock) continue;
    const auto& stock = static_cast<const VLStockHoldingItem&>(h);
    counts.noQuote += quoteIds.count(stock.quoteId) == 0;
    ++(stock.IsSold() ? counts.stocksSold : counts.stocksHeld);
  }
  return counts;
}

std::string Counted(int64_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

int RunCheck(const CliArgs& args, CliIo& io) {
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  const StoreCounts counts = CountPositions(s.Db());
  const uint64_t trailing = s.Db().GetTrailingBytes();
  if (args.Has("json")) {
    OutputRecord r;
    r.AddNumber("loadCode", 0)
        .AddNumber("quotes", s.Db().GetQuoteCount())
        .AddNumber("portfolios", s.Db().GetPortfolioCount())
        .AddNumber("positions", s.Db().GetPositionCount())
        .AddNumber("stocksHeld", counts.stocksHeld)
        .AddNumber("stocksSold", counts.stocksSold)
        .AddNumber("cash", counts.cash)
        .AddNumber("margin", counts.margin)
        .AddNumber("trailingBytes", static_cast<int64_t>(trailing))
        .AddNumber("positionsWithoutQuote", counts.noQuote)
        .AddNumber("positionsWithoutPortfolio", counts.noPortfolio);
    PrintOne(args, io, {}, r);
  } else {
    io.out << DatabasePathOption(args) << ": "
           << Counted(s.Db().GetPortfolioCount(), "portfolio", "portfolios") << ", "
           << Counted(s.Db().GetPositionCount(), "position", "positions") << " (" << counts.stocksHeld
           << " held, " << counts.stocksSold << " sold, " << counts.cash << " cash, " << counts.margin
           << " margin), " << Counted(s.Db().GetQuoteCount(), "quote", "quotes") << "\n";
  }
  if (counts.noQuote + counts.noPortfolio > 0) {
    Warn(io, Counted(counts.noQuote, "stock position links", "stock positions link") +
                 " to a quote the file does not hold, " +
                 Counted(counts.noPortfolio, "position links", "positions link") +
                 " to a portfolio the file does not hold");
    return kExitBrokenLinks;
  }
  if (trailing == 0) return kExitOk;
  // Loaded as it stands; the bytes are not the application's and the next save drops them.
  Warn(io, Counted(static_cast<int64_t>(trailing), "byte", "bytes") +
               " after the end of the store; they are ignored and the next change drops them");
  return kExitTrailingBytes;
}

OutputRecord PortfolioRecord(const VLPortfolioItem& p) {
  OutputRecord r;
  r.AddNumber("id", p.id).AddNumber("tag", p.tag).Add("name", p.name).Add("comment", p.comment);
  r.AddNumber("created", p.created).AddNumber("modified", p.modified);
  if (!p.baseCurrency.empty()) r.Add("baseCurrency", p.baseCurrency);
  return r;
}

// A base currency column only for a store in which some portfolio has one.
std::vector<std::string> PortfolioColumns(bool withBase) {
  std::vector<std::string> columns = {"id", "tag", "name", "comment", "created", "modified"};
  if (withBase) columns.push_back("baseCurrency");
  return columns;
}

const char* KindText(int32_t kind) {
  switch (kind) {
    case kHoldingStock:
      return "stock";
    case kHoldingCash:
      return "cash";
    default:
      return "margin";
  }
}

// The fields every position prints first, then the numbers of a stock position in print order; the records
// and the dump's table headers are both made from these.
const std::vector<std::string> kPositionColumns = {"kind", "id", "tag", "name", "ownerPortfolioId"};
// Shares as the record holds them (with their decimals), prices per share in cents (with the decimals of a
// cent a price may have): for a position of whole shares and cents the numbers the record always held.
std::string Cents(UnitPrice price) {
  return DecimalUnitsText(price.Units(), UnitPrice::kPlaces - 2);
}
const struct {
  const char* name;
  std::string (*value)(const VLStockHoldingItem& s);
} kStockNumbers[] = {
    {"quoteId", [](const VLStockHoldingItem& s) { return std::to_string(s.quoteId); }},
    {"qty", [](const VLStockHoldingItem& s) { return DecimalText(s.qty); }},
    {"buyPricePerShare", [](const VLStockHoldingItem& s) { return Cents(s.buyPricePerShare); }},
    {"buyCommission", [](const VLStockHoldingItem& s) { return std::to_string(s.buyCommission); }},
    {"salePricePerShare", [](const VLStockHoldingItem& s) { return Cents(s.salePricePerShare); }},
    {"saleCommission", [](const VLStockHoldingItem& s) { return std::to_string(s.saleCommission); }},
    {"perShareBuyTarget", [](const VLStockHoldingItem& s) { return Cents(s.perShareBuyTarget); }},
    {"perShareSellTarget", [](const VLStockHoldingItem& s) { return Cents(s.perShareSellTarget); }},
    {"perShareStopLossTarget", [](const VLStockHoldingItem& s) { return Cents(s.perShareStopLossTarget); }},
    {"marginable", [](const VLStockHoldingItem& s) { return std::string(s.marginable ? "1" : "0"); }},
    {"mgnEquity", [](const VLStockHoldingItem& s) { return std::to_string(s.mgnEquity); }},
    {"mgnThreshold", [](const VLStockHoldingItem& s) { return std::to_string(s.mgnThreshold); }},
    {"purchaseDate", [](const VLStockHoldingItem& s) { return std::to_string(s.purchaseDate); }},
    {"saleDate", [](const VLStockHoldingItem& s) { return std::to_string(s.saleDate); }},
};

// A currency column only for a store in which some position has a currency of its own, the stored rates'
// columns only for one in which some position has them.
std::vector<std::string> StockPositionColumns(bool withCurrency, bool withRates) {
  std::vector<std::string> columns = kPositionColumns;
  for (const auto& f : kStockNumbers) columns.push_back(f.name);
  columns.push_back("comment");
  if (withCurrency) columns.push_back("currency");
  if (withRates) columns.insert(columns.end(), {"rateCurrency", "buyRate", "saleRate"});
  return columns;
}

std::vector<std::string> AmountPositionColumns() {
  std::vector<std::string> columns = kPositionColumns;
  columns.push_back("amount");
  columns.push_back("amountOwed");
  return columns;
}

OutputRecord PositionRecord(const VLHoldingItem& h) {
  OutputRecord r;
  r.Add("kind", KindText(h.GetKind()));
  r.AddNumber("id", h.id)
      .AddNumber("tag", h.tag)
      .Add("name", h.name)
      .AddNumber("ownerPortfolioId", h.ownerPortfolioId);
  if (h.GetKind() == kHoldingCash)
    return r.AddNumber("amount", static_cast<const VLCashHoldingItem&>(h).amount);
  if (h.GetKind() == kHoldingMargin) {
    return r.AddNumber("amountOwed", static_cast<const VLMarginHoldingItem&>(h).amountOwed);
  }
  const auto& s = static_cast<const VLStockHoldingItem&>(h);
  for (const auto& f : kStockNumbers) r.AddDecimal(f.name, f.value(s));
  r.Add("comment", s.comment);
  if (!s.currency.empty()) r.Add("currency", s.currency);
  if (s.HasStoredRates()) {
    r.Add("rateCurrency", s.rateCurrency);
    r.Add("buyRate", s.buyRate.IsValid() ? FxRateText(s.buyRate) : "");
    r.Add("saleRate", s.saleRate.IsValid() ? FxRateText(s.saleRate) : "");
  }
  return r;
}

int RunDump(const CliArgs& args, CliIo& io) {
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  VLStockInfoItemList quotes;
  VLPortfolioItemList portfolios;
  VLHoldingItemList positions;
  s.Db().CopyAll(quotes, portfolios, positions);

  std::vector<OutputRecord> quoteRecords, portfolioRecords, stockRecords, otherRecords;
  std::vector<std::string> quoteColumns = {"id", "tag", "name", "refCount"};
  // The cached quote's fields under "quote.", as the record holds them: its own "name" is the item's, the
  // company's name is "quote.name".
  for (const auto& f : StockInfo::TextFields()) quoteColumns.push_back(std::string("quote.") + f.fieldName);
  quoteColumns.push_back("quote.stamp");
  for (const auto& item : quotes) {
    const auto& q = static_cast<const VLStockInfoItem&>(*item);
    OutputRecord& r = quoteRecords.emplace_back();
    r.AddNumber("id", q.id).AddNumber("tag", q.tag).Add("name", q.name).AddNumber("refCount", q.refCount);
    for (const auto& f : StockInfo::TextFields())
      r.Add(std::string("quote.") + f.fieldName, (*q.quote).*f.member);
    r.AddNumber("quote.stamp", q.quote->stamp);
  }
  bool bases = false;
  for (const auto& item : portfolios) {
    const auto& portfolio = static_cast<const VLPortfolioItem&>(*item);
    portfolioRecords.push_back(PortfolioRecord(portfolio));
    bases = bases || !portfolio.baseCurrency.empty();
  }
  bool currencies = false;
  bool rates = false;
  for (const auto& item : positions) {
    const auto& h = static_cast<const VLHoldingItem&>(*item);
    (h.GetKind() == kHoldingStock ? stockRecords : otherRecords).push_back(PositionRecord(h));
    if (const VLStockHoldingItem* stock = AsStock(&h)) {
      currencies = currencies || !stock->currency.empty();
      rates = rates || stock->HasStoredRates();
    }
  }

  if (args.Has("json")) {
    io.out << "{\"quotes\":";
    PrintList(args, io, quoteColumns, quoteRecords);
    io.out << ",\"portfolios\":";
    PrintList(args, io, PortfolioColumns(bases), portfolioRecords);
    std::vector<OutputRecord> all = stockRecords;
    all.insert(all.end(), otherRecords.begin(), otherRecords.end());
    io.out << ",\"positions\":";
    PrintList(args, io, {}, all);
    io.out << "}\n";
    return kExitOk;
  }
  // Three tables, each with its own header, apart by a blank line.
  PrintList(args, io, quoteColumns, quoteRecords);
  io.out << "\n";
  PrintList(args, io, PortfolioColumns(bases), portfolioRecords);
  io.out << "\n";
  PrintList(args, io, StockPositionColumns(currencies, rates), stockRecords);
  io.out << "\n";
  PrintList(args, io, AmountPositionColumns(), otherRecords);
  return kExitOk;
}

}  // namespace

std::vector<CliCommand> MaintenanceCommands() {
  const std::set<std::string> db = {"db"};
  return {
      {"init", "[--db PATH] [--sample]", db, {"sample"}, RunInit},
      {"check", "[--db PATH]", db, {}, RunCheck},
      {"dump", "[--db PATH]", db, {}, RunDump},
  };
}
