// vellumar-cli commands that read and change the portfolio database.
#include "cli/command_table.h"

#include "cli/cli_output.h"
#include "cli/db_session.h"
#include "cli/refusals.h"
#include "cli/value_parsers.h"
#include "portfolio/checks/holding_checks.h"
#include "portfolio/checks/portfolio_name_check.h"
#include "portfolio/checks/sell_checks.h"
#include "portfolio/checks/symbol_date_checks.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "portfolio/records/vl_stock_info_item.h"

namespace {

int Done(CliIo& io, const char* command, int32_t code) {
  if (code == kVLOk) return kExitOk;
  return Failed(io, std::string(command) + ": " + DatabaseCodeText(code));
}

std::string CentsText(uint32_t cents) {
  return std::to_string(cents / 100) + "." + (cents % 100 < 10 ? "0" : "") + std::to_string(cents % 100);
}

// The options of add-stock and modify-stock laid over what the position dialog would show, so that the
// dialog's checks judge them. A --date that is not a date is wrong usage; a date after today is refused.
int StockEntryFromOptions(const CliArgs& args, CliIo& io, const char* command, StockHoldingEntry& entry) {
  struct TextOption {
    const char* name;
    std::string StockHoldingEntry::*member;
  };
  static const TextOption kTexts[] = {
      {"qty", &StockHoldingEntry::quantity},          {"price", &StockHoldingEntry::buyPrice},
      {"commission", &StockHoldingEntry::buyCommission}, {"buy-target", &StockHoldingEntry::buyTarget},
      {"sell-target", &StockHoldingEntry::sellTarget},  {"stop-loss", &StockHoldingEntry::stopLossTarget},
      {"equity", &StockHoldingEntry::marginPercent},    {"threshold", &StockHoldingEntry::marginThreshold},
      {"comment", &StockHoldingEntry::comment},
  };
  for (const TextOption& o : kTexts) {
    if (args.HasOption(o.name)) entry.*o.member = args.Option(o.name);
  }
  if (args.HasOption("date")) {
    int64_t date = 0;
    if (!ParseDate(args.Option("date"), &date)) return Usage(io, command, "--date needs a date such as 2024-03-15");
    entry.buyDate = date;
  }
  if (entry.buyDate) {
    const EntryCheck check = CheckDateNotLater(*entry.buyDate, EndOfToday(), EntryField::BuyDate);
    if (!check.Ok()) return Refuse(io, command, check);
  }
  if (args.Has("marginable")) entry.marginable = true;
  if (args.Has("not-marginable")) entry.marginable = false;
  return kExitOk;
}

// The dialog's question about a margin equity for a security that is not marginable: --yes answers it.
EntryQuestion YesOption(const CliArgs& args) {
  return [&args](StringId) { return args.Has("yes"); };
}

const std::set<std::string> kStockValues = {"db",        "qty",        "price",     "commission", "date",
                                            "buy-target", "sell-target", "stop-loss", "equity",     "threshold",
                                            "comment"};
const std::set<std::string> kStockFlags = {"marginable", "yes"};

int RunInit(const CliArgs& args, CliIo& io) {
  const std::string path = DatabasePathOption(args);
  VLDatabase db(path);
  const int32_t code = db.Create();
  if (code == kDbExists) return Failed(io, "A database already exists at " + path);
  if (code != kDbOk) return Failed(io, "[ " + path + " ]\n\nVellumar was unable to create this database\nfile.");
  io.out << "Created " << path << "\n";
  return kExitOk;
}

int RunCheck(const CliArgs& args, CliIo& io) {
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  OutputRecord r;
  r.AddNumber("loadCode", 0)
      .AddNumber("quotes", s.Db().GetQuoteCount())
      .AddNumber("portfolios", s.Db().GetPortfolioCount())
      .AddNumber("positions", s.Db().GetPositionCount());
  PrintOne(args, io, {"loadCode", "quotes", "portfolios", "positions"}, r);
  return kExitOk;
}

OutputRecord PortfolioRecord(const VLPortfolioItem& p) {
  OutputRecord r;
  r.AddNumber("id", p.id).AddNumber("tag", p.tag).Add("name", p.name).Add("comment", p.comment);
  r.AddNumber("created", p.created).AddNumber("modified", p.modified);
  return r;
}

const std::vector<std::string> kPortfolioColumns = {"id", "tag", "name", "comment", "created", "modified"};

const char* KindText(int32_t kind) {
  switch (kind) {
    case kHoldingStock: return "stock";
    case kHoldingCash: return "cash";
    default: return "margin";
  }
}

// The fields every position prints first, then the numbers of a stock position in print order; the records
// and the dump's table headers are both made from these.
const std::vector<std::string> kPositionColumns = {"kind", "id", "tag", "name", "ownerPortfolioId"};
const struct {
  const char* name;
  int64_t (*value)(const VLStockHoldingItem& s);
} kStockNumbers[] = {
    {"quoteId", [](const VLStockHoldingItem& s) -> int64_t { return s.quoteId; }},
    {"qty", [](const VLStockHoldingItem& s) -> int64_t { return s.qty; }},
    {"buyPricePerShare", [](const VLStockHoldingItem& s) -> int64_t { return s.buyPricePerShare; }},
    {"buyCommission", [](const VLStockHoldingItem& s) -> int64_t { return s.buyCommission; }},
    {"salePricePerShare", [](const VLStockHoldingItem& s) -> int64_t { return s.salePricePerShare; }},
    {"saleCommission", [](const VLStockHoldingItem& s) -> int64_t { return s.saleCommission; }},
    {"perShareBuyTarget", [](const VLStockHoldingItem& s) -> int64_t { return s.perShareBuyTarget; }},
    {"perShareSellTarget", [](const VLStockHoldingItem& s) -> int64_t { return s.perShareSellTarget; }},
    {"perShareStopLossTarget",
     [](const VLStockHoldingItem& s) -> int64_t { return s.perShareStopLossTarget; }},
    {"marginable", [](const VLStockHoldingItem& s) -> int64_t { return s.marginable ? 1 : 0; }},
    {"mgnEquity", [](const VLStockHoldingItem& s) -> int64_t { return s.mgnEquity; }},
    {"mgnThreshold", [](const VLStockHoldingItem& s) -> int64_t { return s.mgnThreshold; }},
    {"purchaseDate", [](const VLStockHoldingItem& s) -> int64_t { return s.purchaseDate; }},
    {"saleDate", [](const VLStockHoldingItem& s) -> int64_t { return s.saleDate; }},
};

std::vector<std::string> StockPositionColumns() {
  std::vector<std::string> columns = kPositionColumns;
  for (const auto& f : kStockNumbers) columns.push_back(f.name);
  columns.push_back("comment");
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
  r.AddNumber("id", h.id).AddNumber("tag", h.tag).Add("name", h.name).AddNumber("ownerPortfolioId",
                                                                                  h.ownerPortfolioId);
  if (h.GetKind() == kHoldingCash) return r.AddNumber("amount", static_cast<const VLCashHoldingItem&>(h).amount);
  if (h.GetKind() == kHoldingMargin) {
    return r.AddNumber("amountOwed", static_cast<const VLMarginHoldingItem&>(h).amountOwed);
  }
  const auto& s = static_cast<const VLStockHoldingItem&>(h);
  for (const auto& f : kStockNumbers) r.AddNumber(f.name, f.value(s));
  r.Add("comment", s.comment);
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
  for (const auto& f : StockInfo::TextFields()) quoteColumns.push_back(f.fieldName);
  quoteColumns.push_back("stamp");
  for (const auto& item : quotes) {
    const auto& q = static_cast<const VLStockInfoItem&>(*item);
    OutputRecord& r = quoteRecords.emplace_back();
    r.AddNumber("id", q.id).AddNumber("tag", q.tag).Add("name", q.name).AddNumber("refCount", q.refCount);
    for (const auto& f : StockInfo::TextFields()) r.Add(f.fieldName, q.quote.*f.member);
    r.AddNumber("stamp", q.quote.stamp);
  }
  for (const auto& item : portfolios) portfolioRecords.push_back(PortfolioRecord(static_cast<VLPortfolioItem&>(*item)));
  for (const auto& item : positions) {
    const auto& h = static_cast<const VLHoldingItem&>(*item);
    (h.GetKind() == kHoldingStock ? stockRecords : otherRecords).push_back(PositionRecord(h));
  }

  if (args.Has("json")) {
    io.out << "{\"quotes\":";
    PrintList(args, io, quoteColumns, quoteRecords);
    io.out << ",\"portfolios\":";
    PrintList(args, io, kPortfolioColumns, portfolioRecords);
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
  PrintList(args, io, kPortfolioColumns, portfolioRecords);
  io.out << "\n";
  PrintList(args, io, StockPositionColumns(), stockRecords);
  io.out << "\n";
  PrintList(args, io, AmountPositionColumns(), otherRecords);
  return kExitOk;
}

int RunPortfolios(const CliArgs& args, CliIo& io) {
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  VLPortfolioItemList list;
  if (int32_t code = s.Db().GetPortfolios(s.Conn(), list); code != kVLOk) return Done(io, "portfolios", code);
  std::vector<OutputRecord> records;
  // Dates as the user reads them (the dump keeps the stored seconds).
  for (const auto& item : list) {
    const auto& p = static_cast<const VLPortfolioItem&>(*item);
    records.emplace_back()
        .AddNumber("id", p.id)
        .AddNumber("tag", p.tag)
        .Add("name", p.name)
        .Add("comment", p.comment)
        .Add("created", FormatDate(p.created))
        .Add("modified", FormatDate(p.modified));
  }
  PrintList(args, io, kPortfolioColumns, records);
  return kExitOk;
}

int RunAddPortfolio(const CliArgs& args, CliIo& io) {
  if (args.positional.size() != 1) return Usage(io, "add-portfolio", "give the portfolio's NAME");
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  VLPortfolioItem p;
  if (EntryCheck check = CheckPortfolioName(args.positional[0], p.name); !check.Ok()) {
    return Refuse(io, "add-portfolio", check);
  }
  p.comment = args.Option("comment");
  if (int32_t code = s.Db().AddPortfolio(s.Conn(), p); code != kVLOk) return Done(io, "add-portfolio", code);
  PrintOne(args, io, {"id"}, OutputRecord().AddNumber("id", p.id));
  return kExitOk;
}

int RunModifyPortfolio(const CliArgs& args, CliIo& io) {
  if (args.positional.size() != 1) return Usage(io, "modify-portfolio", "give the PORTFOLIO (id or name)");
  std::string newName;
  if (args.HasOption("name")) {
    if (EntryCheck check = CheckPortfolioName(args.Option("name"), newName); !check.Ok()) {
      return Refuse(io, "modify-portfolio", check);
    }
  }
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  const uint32_t id = s.FindPortfolio(args.positional[0], io);
  if (!id) return kExitFailed;
  VLPortfolioItem p;
  if (int32_t code = s.Db().GetPortfolio(s.Conn(), id, p); code != kVLOk) {
    return Done(io, "modify-portfolio", code);
  }
  if (args.HasOption("name")) p.name = newName;
  if (args.HasOption("comment")) p.comment = args.Option("comment");
  return Done(io, "modify-portfolio", s.Db().ModifyPortfolio(s.Conn(), p));
}

int RunDeletePortfolio(const CliArgs& args, CliIo& io) {
  if (args.positional.size() != 1) return Usage(io, "delete-portfolio", "give the PORTFOLIO (id or name)");
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  const uint32_t id = s.FindPortfolio(args.positional[0], io);
  if (!id) return kExitFailed;
  return Done(io, "delete-portfolio", s.Db().DeletePortfolio(s.Conn(), id));
}

int RunAddStock(const CliArgs& args, CliIo& io) {
  if (args.positional.size() != 2) return Usage(io, "add-stock", "give PORTFOLIO SYMBOL");
  StockHoldingEntry entry;
  if (EntryCheck check = CheckSymbolText(args.positional[1], entry.symbol); !check.Ok()) {
    return Refuse(io, "add-stock", check);
  }
  if (int rc = StockEntryFromOptions(args, io, "add-stock", entry); rc != kExitOk) return rc;
  VLStockHoldingItem fields;
  if (EntryCheck check = CheckStockHolding(entry, YesOption(args), fields); !check.Ok()) {
    return Refuse(io, "add-stock", check);
  }
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  const uint32_t portfolioId = s.FindPortfolio(args.positional[0], io);
  if (!portfolioId) return kExitFailed;
  uint32_t id = 0;
  const int32_t code = s.Db().AddStockPosition(s.Conn(), portfolioId, fields, id);
  if (code != kVLOk) return Done(io, "add-stock", code);
  PrintOne(args, io, {"id"}, OutputRecord().AddNumber("id", id));
  return kExitOk;
}

// add-cash and add-margin: PORTFOLIO AMOUNT [--comment TEXT].
int AddAmount(const CliArgs& args, CliIo& io, const char* command, bool cash) {
  if (args.positional.size() != 2) return Usage(io, command, "give PORTFOLIO AMOUNT");
  const MoneyHoldingEntry entry{args.positional[1], args.Option("comment")};
  VLCashHoldingItem cashItem;
  VLMarginHoldingItem marginItem;
  const EntryCheck check = cash ? CheckCashHolding(entry, cashItem) : CheckMarginHolding(entry, marginItem);
  if (!check.Ok()) return Refuse(io, command, check);
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  const uint32_t portfolioId = s.FindPortfolio(args.positional[0], io);
  if (!portfolioId) return kExitFailed;
  uint32_t id = 0;
  const int32_t code = cash ? s.Db().AddCashPosition(s.Conn(), portfolioId, cashItem.amount, cashItem.name, id)
                            : s.Db().AddMarginPosition(s.Conn(), portfolioId, marginItem.amountOwed,
                                                       marginItem.name, id);
  if (code != kVLOk) return Done(io, command, code);
  PrintOne(args, io, {"id"}, OutputRecord().AddNumber("id", id));
  return kExitOk;
}

int RunAddCash(const CliArgs& args, CliIo& io) { return AddAmount(args, io, "add-cash", true); }
int RunAddMargin(const CliArgs& args, CliIo& io) { return AddAmount(args, io, "add-margin", false); }

int RunModifyStock(const CliArgs& args, CliIo& io) {
  uint32_t id = 0;
  if (args.positional.size() != 1 || !ParseId(args.positional[0], &id)) {
    return Usage(io, "modify-stock", "give the position's ID");
  }
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  std::unique_ptr<VLHoldingItem> position;
  if (int32_t code = s.Db().GetPosition(s.Conn(), id, position); code != kVLOk) {
    return Done(io, "modify-stock", code);
  }
  if (position->GetKind() != kHoldingStock) return Failed(io, "modify-stock: position " + std::to_string(id) + " is not a stock position");
  auto& fields = static_cast<VLStockHoldingItem&>(*position);
  std::string newSymbol;
  if (args.HasOption("symbol")) {
    if (EntryCheck check = CheckSymbolText(args.Option("symbol"), newSymbol); !check.Ok()) {
      return Refuse(io, "modify-stock", check.message == StringId::SymbolMissing
                                            ? EntryFailure(StringId::NewSymbolMissing, EntryPage::None,
                                                           EntryField::NewSymbol)
                                            : check);
    }
  }
  // What the position dialog shows for this position, then the options over it.
  StockHoldingEntry entry;
  entry.symbolFixed = true;
  entry.symbol = fields.name;
  entry.quantity = std::to_string(fields.qty);
  entry.comment = fields.comment;
  entry.buyPrice = CentsText(fields.buyPricePerShare);
  if (fields.purchaseDate) entry.buyDate = fields.purchaseDate;
  entry.buyCommission = CentsText(fields.buyCommission);
  entry.buyTarget = CentsText(fields.perShareBuyTarget);
  entry.sellTarget = CentsText(fields.perShareSellTarget);
  entry.stopLossTarget = CentsText(fields.perShareStopLossTarget);
  entry.marginable = fields.marginable;
  if (fields.mgnEquity) entry.marginPercent = std::to_string(fields.mgnEquity);
  entry.marginThreshold = CentsText(fields.mgnThreshold);
  entry.sold = fields.IsSold();
  entry.salePrice = CentsText(fields.salePricePerShare);
  if (fields.saleDate) entry.saleDate = fields.saleDate;
  entry.saleCommission = CentsText(fields.saleCommission);
  if (int rc = StockEntryFromOptions(args, io, "modify-stock", entry); rc != kExitOk) return rc;
  if (EntryCheck check = CheckStockHolding(entry, YesOption(args), fields); !check.Ok()) {
    return Refuse(io, "modify-stock", check);
  }
  return Done(io, "modify-stock", s.Db().ModifyStockPosition(s.Conn(), id, fields, newSymbol));
}

int RunSell(const CliArgs& args, CliIo& io) {
  uint32_t id = 0;
  if (args.positional.size() != 1 || !ParseId(args.positional[0], &id)) return Usage(io, "sell", "give the position's ID");
  if (!args.HasOption("qty") || !args.HasOption("price")) return Usage(io, "sell", "give --qty N and --price D");
  SellEntry entry{args.Option("qty"), args.Option("price"), std::nullopt, args.Option("commission")};
  if (args.HasOption("date")) {
    int64_t date = 0;
    if (!ParseDate(args.Option("date"), &date)) return Usage(io, "sell", "--date needs YYYY-MM-DD");
    entry.saleDate = date;
    const EntryCheck check = CheckDateNotLater(date, EndOfToday(), EntryField::SaleDate);
    if (!check.Ok()) return Refuse(io, "sell", check);
  }
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  std::unique_ptr<VLHoldingItem> position;
  if (int32_t code = s.Db().GetPosition(s.Conn(), id, position); code != kVLOk) return Done(io, "sell", code);
  const std::string which = "position " + std::to_string(id);
  if (position->GetKind() != kHoldingStock) {
    return RefuseState(io, "sell", which + " is a cash or margin position; only shares are sold");
  }
  const auto& stock = static_cast<const VLStockHoldingItem&>(*position);
  if (stock.IsSold()) return RefuseState(io, "sell", which + " is already sold (unsell undoes a sale)");
  if (stock.qty == 0) return RefuseState(io, "sell", which + " holds no shares");
  SellResult sale;
  if (EntryCheck check = CheckSell(entry, stock.qty, sale); !check.Ok()) return Refuse(io, "sell", check);
  if (sale.saleDate != 0 && stock.purchaseDate != 0 && sale.saleDate < stock.purchaseDate) {
    return Refuse(io, "sell", EntryFailure(StringId::SaleDateBeforePurchase, EntryPage::None, EntryField::SaleDate,
                                           {FormatDate(stock.purchaseDate)}));
  }
  uint32_t newId = 0;
  const int32_t code =
      s.Db().SellPosition(s.Conn(), id, sale.soldQty, sale.salePrice, sale.saleCommission, sale.saleDate, newId);
  if (code != kVLOk) return Done(io, "sell", code);
  PrintOne(args, io, {"id", "remainderId"}, OutputRecord().AddNumber("id", id).AddNumber("remainderId", newId));
  return kExitOk;
}

// unsell and delete-position: ID.
int OnePosition(const CliArgs& args, CliIo& io, const char* command,
                int32_t (VLDatabase::*operation)(VLDatabaseConn*, uint32_t)) {
  uint32_t id = 0;
  if (args.positional.size() != 1 || !ParseId(args.positional[0], &id)) return Usage(io, command, "give the position's ID");
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  return Done(io, command, (s.Db().*operation)(s.Conn(), id));
}

int RunUnsell(const CliArgs& args, CliIo& io) { return OnePosition(args, io, "unsell", &VLDatabase::UnsellPosition); }
int RunDeletePosition(const CliArgs& args, CliIo& io) {
  return OnePosition(args, io, "delete-position", &VLDatabase::DeletePosition);
}

// copy and move: ID PORTFOLIO.
int ToPortfolio(const CliArgs& args, CliIo& io, const char* command,
                int32_t (VLDatabase::*operation)(VLDatabaseConn*, uint32_t, uint32_t)) {
  uint32_t id = 0;
  if (args.positional.size() != 2 || !ParseId(args.positional[0], &id)) return Usage(io, command, "give ID PORTFOLIO");
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  const uint32_t portfolioId = s.FindPortfolio(args.positional[1], io);
  if (!portfolioId) return kExitFailed;
  return Done(io, command, (s.Db().*operation)(s.Conn(), id, portfolioId));
}

int RunCopy(const CliArgs& args, CliIo& io) { return ToPortfolio(args, io, "copy", &VLDatabase::CopyPosition); }
int RunMove(const CliArgs& args, CliIo& io) { return ToPortfolio(args, io, "move", &VLDatabase::MovePosition); }

}  // namespace

std::vector<CliCommand> DbCommands() {
  const std::set<std::string> db = {"db"};
  std::set<std::string> modifyStockValues = kStockValues;
  modifyStockValues.insert("symbol");
  return {
      {"init", "[--db PATH]", db, {}, RunInit},
      {"check", "[--db PATH]", db, {}, RunCheck},
      {"dump", "[--db PATH]", db, {}, RunDump},
      {"portfolios", "[--db PATH]", db, {}, RunPortfolios},
      {"add-portfolio", "NAME [--comment TEXT]", {"db", "comment"}, {}, RunAddPortfolio},
      {"modify-portfolio", "PORTFOLIO [--name NAME] [--comment TEXT]", {"db", "name", "comment"}, {}, RunModifyPortfolio},
      {"delete-portfolio", "PORTFOLIO", db, {}, RunDeletePortfolio},
      {"add-stock",
       "PORTFOLIO SYMBOL [--qty N] [--price D] [--commission D] [--date YYYY-MM-DD] [--buy-target D] "
       "[--sell-target D] [--stop-loss D] [--marginable --equity PCT --threshold D] [--comment TEXT]",
       kStockValues, kStockFlags, RunAddStock},
      {"add-cash", "PORTFOLIO AMOUNT [--comment TEXT]", {"db", "comment"}, {}, RunAddCash},
      {"add-margin", "PORTFOLIO AMOUNT [--comment TEXT]", {"db", "comment"}, {}, RunAddMargin},
      {"modify-stock", "ID [--symbol S] [the options of add-stock] [--not-marginable]", modifyStockValues,
       {"marginable", "not-marginable", "yes"}, RunModifyStock},
      {"sell", "ID --qty N --price D [--commission D] [--date YYYY-MM-DD]", {"db", "qty", "price", "commission", "date"},
       {}, RunSell},
      {"unsell", "ID", db, {}, RunUnsell},
      {"copy", "ID PORTFOLIO", db, {}, RunCopy},
      {"move", "ID PORTFOLIO", db, {}, RunMove},
      {"delete-position", "ID", db, {}, RunDeletePosition},
  };
}
