// vellumar-cli commands that read and change the portfolio database.
#include "cli/command_table.h"

#include "cli/cli_output.h"
#include "cli/db_session.h"
#include "cli/refusals.h"
#include "cli/symbol_lookup.h"
#include "cli/value_parsers.h"
#include "framework/app_paths.h"
#include "portfolio/checks/holding_checks.h"
#include "portfolio/checks/portfolio_name_check.h"
#include "portfolio/checks/sell_checks.h"
#include "portfolio/checks/symbol_date_checks.h"
#include "portfolio/checks/typed_number.h"
#include "portfolio/columns/cell_format.h"
#include "portfolio/columns/clock.h"
#include "portfolio/fx/fx_rate.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "portfolio/records/vl_stock_info_item.h"
#include "prefs/vl_general_prefs.h"

namespace {

int Done(CliIo& io, DbSession& s, VLResult code) {
  if (code == VLResult::Ok) {
    s.WarnIfNotJournaled(io);
    return kExitOk;
  }
  return Failed(io, DatabaseCodeText(code, s.Db()));
}

// What --currency takes for "the currency of the exchange", clearing a position's own.
constexpr const char* kExchangeCurrencyOption = "-";

// The options of add-stock and modify-stock laid over what the position dialog would show, so that the
// dialog's checks judge them. A --date that is not a date is wrong usage; one outside the range the
// positions keep (from 1900-01-01 to today) is refused by those checks.
int StockEntryFromOptions(const CliArgs& args, CliIo& io, const char* command, StockHoldingEntry& entry) {
  struct TextOption {
    const char* name;
    std::string StockHoldingEntry::*member;
  };
  static const TextOption kTexts[] = {
      {"qty", &StockHoldingEntry::quantity},
      {"price", &StockHoldingEntry::buyPrice},
      {"commission", &StockHoldingEntry::buyCommission},
      {"buy-target", &StockHoldingEntry::buyTarget},
      {"sell-target", &StockHoldingEntry::sellTarget},
      {"stop-loss", &StockHoldingEntry::stopLossTarget},
      {"equity", &StockHoldingEntry::marginPercent},
      {"threshold", &StockHoldingEntry::marginThreshold},
      {"comment", &StockHoldingEntry::comment},
  };
  for (const TextOption& o : kTexts) {
    if (args.HasOption(o.name)) entry.*o.member = args.Option(o.name);
  }
  if (args.HasOption("date")) {
    int64_t date = 0;
    if (!ParseDate(args.Option("date"), &date))
      return Usage(io, command, "--date needs a date such as 2024-03-15");
    entry.buyDate = date;
  }
  if (args.Has("marginable")) entry.marginable = true;
  if (args.Has("not-marginable")) entry.marginable = false;
  if (args.HasOption("currency")) {
    // "-" stands for no currency of its own; an empty value is more likely a script's unset variable.
    const std::string code(TrimBlanks(args.Option("currency")));
    if (code.empty()) return Usage(io, command, "--currency needs a code such as USD or GBp, or - for none");
    entry.currency = code == kExchangeCurrencyOption ? std::string() : code;
  }
  return kExitOk;
}

// The dialog's question about a margin equity for a security that is not marginable: --yes answers it.
EntryQuestion YesOption(const CliArgs& args) {
  return [&args](StringId) { return args.Has("yes"); };
}

const std::set<std::string> kStockValues = {
    "db",        "qty",    "price",     "commission", "date",     "buy-target", "sell-target",
    "stop-loss", "equity", "threshold", "comment",    "currency", "buy-rate"};
const std::set<std::string> kAddStockFlags = {"marginable", "yes", "strict", "no-check"};

// The base currency column only when some portfolio has one.
std::vector<std::string> PortfolioColumns(bool withBase) {
  std::vector<std::string> columns = {"id", "tag", "name", "comment", "created", "modified"};
  if (withBase) columns.push_back("baseCurrency");
  return columns;
}

// The base currency Options gives a new portfolio; empty when none is set.
std::string DefaultBaseCurrency() {
  VLGeneralPrefs prefs;
  prefs.SetFileName(GetAppPaths().IniPath());
  prefs.Load();
  return prefs.defaultBaseCurrency;
}

// --base-currency: a code, or "-" for none.
int ReadBaseCurrencyOption(const CliArgs& args, CliIo& io, const char* command, std::string& code) {
  const std::string typed = args.Option("base-currency");
  if (EntryCheck check = CheckBaseCurrency(typed == "-" ? "" : typed, code); !check.Ok())
    return Refuse(io, command, check);
  return kExitOk;
}

int RunPortfolios(const CliArgs& args, CliIo& io) {
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  VLPortfolioItemList list;
  if (VLResult code = s.Db().GetPortfolios(s.Conn(), list); code != VLResult::Ok) return Done(io, s, code);
  std::vector<OutputRecord> records;
  bool bases = false;
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
    if (!p.baseCurrency.empty()) records.back().Add("baseCurrency", p.baseCurrency);
    bases = bases || !p.baseCurrency.empty();
  }
  PrintList(args, io, PortfolioColumns(bases), records);
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
  if (EntryCheck check = CheckPortfolioComment(args.Option("comment")); !check.Ok()) {
    return Refuse(io, "add-portfolio", check);
  }
  p.comment = args.Option("comment");
  if (args.HasOption("base-currency")) {
    if (int rc = ReadBaseCurrencyOption(args, io, "add-portfolio", p.baseCurrency); rc != kExitOk) return rc;
  } else {
    p.baseCurrency = DefaultBaseCurrency();
  }
  if (VLResult code = s.Db().AddPortfolio(s.Conn(), p); code != VLResult::Ok) return Done(io, s, code);
  s.WarnIfNotJournaled(io);
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
  if (EntryCheck check = CheckPortfolioComment(args.Option("comment")); !check.Ok()) {
    return Refuse(io, "modify-portfolio", check);
  }
  std::string base;
  if (args.HasOption("base-currency")) {
    if (int rc = ReadBaseCurrencyOption(args, io, "modify-portfolio", base); rc != kExitOk) return rc;
  }
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  const uint32_t id = s.FindPortfolio(args.positional[0], io);
  if (!id) return kExitFailed;
  VLPortfolioItem p;
  if (VLResult code = s.Db().GetPortfolio(s.Conn(), id, p); code != VLResult::Ok) {
    return Done(io, s, code);
  }
  if (args.HasOption("name")) p.name = newName;
  if (args.HasOption("comment")) p.comment = args.Option("comment");
  if (args.HasOption("base-currency")) p.baseCurrency = base;
  return Done(io, s, s.Db().ModifyPortfolio(s.Conn(), p));
}

int RunDeletePortfolio(const CliArgs& args, CliIo& io) {
  if (args.positional.size() != 1) return Usage(io, "delete-portfolio", "give the PORTFOLIO (id or name)");
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  const uint32_t id = s.FindPortfolio(args.positional[0], io);
  if (!id) return kExitFailed;
  return Done(io, s, s.Db().DeletePortfolio(s.Conn(), id));
}

// Asks the service whether it knows `symbol`, unless --no-check: a symbol it does not know is stored with a
// warning (a position without a value), or refused with --strict; so is a symbol it could not be asked about.
int CheckSymbolKnown(const CliArgs& args, CliIo& io, const char* command, const std::string& symbol) {
  if (args.Has("no-check")) return kExitOk;
  if (io.startService) io.startService();
  std::string why;
  const SymbolAnswer answer = AskServiceForSymbol(symbol, &why);
  if (answer == SymbolAnswer::Known) return kExitOk;
  const bool strict = args.Has("strict");
  const std::string problem =
      answer == SymbolAnswer::Unknown
          ? "the market-data service does not know the symbol \"" + symbol + "\""
          : "could not ask the market-data service about \"" + symbol + "\" (" + why + ")";
  if (!strict) {
    Warn(io, problem + "; the position is stored, without a value until the service knows the symbol");
    return kExitOk;
  }
  PrintError(io.err, command, problem + "; nothing was stored (--no-check stores it unchecked)");
  return answer == SymbolAnswer::Unknown ? kExitUnknownSymbol : kExitFailed;
}

// --buy-rate and --sale-rate: the rates the broker charged, in the position's currency per one unit of the
// portfolio's base currency, kept against that currency; "-" takes a rate away. A portfolio without a base
// currency has nothing to keep them against.
int ApplyRateOptions(const CliArgs& args, CliIo& io, const char* command, const std::string& base,
                     VLStockHoldingItem& fields) {
  const std::pair<const char*, EntryField> options[] = {{"buy-rate", EntryField::BuyRate},
                                                        {"sale-rate", EntryField::SaleRate}};
  for (const auto& [option, field] : options) {
    if (!args.HasOption(option)) continue;
    FxRate& rate = field == EntryField::BuyRate ? fields.buyRate : fields.saleRate;
    const std::string typed = args.Option(option);
    if (typed == "-") {
      rate = FxRate();
      continue;
    }
    if (base.empty())
      return Refuse(io, command, EntryFailure(StringId::FxRateWithoutBase, EntryPage::None, field));
    if (!ParseFxRate(typed, rate))
      return Refuse(io, command, EntryFailure(StringId::FxRateNotValid, EntryPage::None, field, {typed}));
    // Rates kept against another currency before go: they would not be this base's.
    if (fields.rateCurrency != base) {
      FxRate& other = field == EntryField::BuyRate ? fields.saleRate : fields.buyRate;
      if (!args.HasOption(field == EntryField::BuyRate ? "sale-rate" : "buy-rate")) other = FxRate();
      fields.rateCurrency = base;
    }
  }
  if (!fields.buyRate.IsValid() && !fields.saleRate.IsValid()) fields.rateCurrency.clear();
  return kExitOk;
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
  if (int rc = CheckSymbolKnown(args, io, "add-stock", fields.name); rc != kExitOk) return rc;
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  const uint32_t portfolioId = s.FindPortfolio(args.positional[0], io);
  if (!portfolioId) return kExitFailed;
  if (int rc = ApplyRateOptions(args, io, "add-stock", s.Db().BaseCurrencyOf(portfolioId), fields);
      rc != kExitOk)
    return rc;
  uint32_t id = 0;
  const VLResult code = s.Db().AddStockPosition(s.Conn(), portfolioId, fields, id);
  if (code != VLResult::Ok) return Done(io, s, code);
  s.WarnIfNotJournaled(io);
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
  const VLResult code =
      cash ? s.Db().AddCashPosition(s.Conn(), portfolioId, cashItem.amount, cashItem.name, id)
           : s.Db().AddMarginPosition(s.Conn(), portfolioId, marginItem.amountOwed, marginItem.name, id);
  if (code != VLResult::Ok) return Done(io, s, code);
  s.WarnIfNotJournaled(io);
  PrintOne(args, io, {"id"}, OutputRecord().AddNumber("id", id));
  return kExitOk;
}

int RunAddCash(const CliArgs& args, CliIo& io) {
  return AddAmount(args, io, "add-cash", true);
}
int RunAddMargin(const CliArgs& args, CliIo& io) {
  return AddAmount(args, io, "add-margin", false);
}

int RunModifyStock(const CliArgs& args, CliIo& io) {
  uint32_t id = 0;
  if (args.positional.size() != 1 || !ParseId(args.positional[0], &id)) {
    return Usage(io, "modify-stock", "give the position's ID");
  }
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  std::unique_ptr<VLHoldingItem> position;
  if (VLResult code = s.Db().GetPosition(s.Conn(), id, position); code != VLResult::Ok) {
    return Done(io, s, code);
  }
  if (position->GetKind() != kHoldingStock)
    return Failed(io, "position " + std::to_string(id) + " is not a stock position");
  auto& fields = static_cast<VLStockHoldingItem&>(*position);
  std::string newSymbol;
  if (args.HasOption("symbol")) {
    if (EntryCheck check = CheckSymbolText(args.Option("symbol"), newSymbol); !check.Ok()) {
      return Refuse(io, "modify-stock",
                    check.message == StringId::SymbolMissing
                        ? EntryFailure(StringId::NewSymbolMissing, EntryPage::None, EntryField::NewSymbol)
                        : check);
    }
  }
  // What the position dialog shows for this position, then the options over it.
  StockHoldingEntry entry;
  entry.symbolFixed = true;
  entry.symbol = fields.name;
  entry.quantity = DecimalText(fields.qty);
  entry.comment = fields.comment;
  entry.currency = fields.currency;
  entry.buyPrice = PriceText(fields.buyPricePerShare);
  if (fields.purchaseDate) entry.buyDate = fields.purchaseDate;
  entry.buyCommission = CentsText(fields.buyCommission);
  entry.buyTarget = PriceText(fields.perShareBuyTarget);
  entry.sellTarget = PriceText(fields.perShareSellTarget);
  entry.stopLossTarget = PriceText(fields.perShareStopLossTarget);
  entry.marginable = fields.marginable;
  if (fields.mgnEquity) entry.marginPercent = std::to_string(fields.mgnEquity);
  entry.marginThreshold = CentsText(fields.mgnThreshold);
  entry.sold = fields.IsSold();
  entry.salePrice = PriceText(fields.salePricePerShare);
  if (fields.saleDate) entry.saleDate = fields.saleDate;
  entry.saleCommission = CentsText(fields.saleCommission);
  if (int rc = StockEntryFromOptions(args, io, "modify-stock", entry); rc != kExitOk) return rc;
  if (EntryCheck check = CheckStockHolding(entry, YesOption(args), fields); !check.Ok()) {
    return Refuse(io, "modify-stock", check);
  }
  if (int rc =
          ApplyRateOptions(args, io, "modify-stock", s.Db().BaseCurrencyOf(fields.ownerPortfolioId), fields);
      rc != kExitOk)
    return rc;
  if (!newSymbol.empty()) {
    if (int rc = CheckSymbolKnown(args, io, "modify-stock", newSymbol); rc != kExitOk) return rc;
  }
  return Done(io, s, s.Db().ModifyStockPosition(s.Conn(), id, fields, newSymbol));
}

int RunSell(const CliArgs& args, CliIo& io) {
  uint32_t id = 0;
  if (args.positional.size() != 1 || !ParseId(args.positional[0], &id))
    return Usage(io, "sell", "give the position's ID");
  if (!args.HasOption("qty") || !args.HasOption("price"))
    return Usage(io, "sell", "give --qty N and --price D");
  // Every sale has a date (the sold views and the time held need it): today's unless --date names one.
  int64_t date = StoredDateOfDay(TodayDayNumber());
  if (args.HasOption("date") && !ParseDate(args.Option("date"), &date)) {
    return Usage(io, "sell", "--date needs YYYY-MM-DD");
  }
  const SellEntry entry{args.Option("qty"), args.Option("price"), date, args.Option("commission")};
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  std::unique_ptr<VLHoldingItem> position;
  if (VLResult code = s.Db().GetPosition(s.Conn(), id, position); code != VLResult::Ok)
    return Done(io, s, code);
  const std::string which = "position " + std::to_string(id);
  if (position->GetKind() != kHoldingStock) {
    return RefuseState(io, "sell", which + " is a cash or margin position; only shares are sold");
  }
  const auto& stock = static_cast<const VLStockHoldingItem&>(*position);
  if (stock.IsSold()) return RefuseState(io, "sell", which + " is already sold (unsell undoes a sale)");
  if (stock.qty.IsZero()) return RefuseState(io, "sell", which + " holds no shares");
  SellResult sale;
  if (EntryCheck check = CheckSell(entry, stock.qty, sale); !check.Ok()) return Refuse(io, "sell", check);
  if (SaleBeforePurchase(stock.purchaseDate, sale.saleDate)) {
    return Refuse(io, "sell",
                  EntryFailure(StringId::SaleDateBeforePurchase, EntryPage::None, EntryField::SaleDate,
                               {FormatDay(stock.purchaseDate)}));
  }
  uint32_t newId = 0;
  const VLResult code = s.Db().SellPosition(s.Conn(), id, sale.soldQty, sale.salePrice, sale.saleCommission,
                                            sale.saleDate, newId);
  if (code != VLResult::Ok) return Done(io, s, code);
  s.WarnIfNotJournaled(io);
  PrintOne(args, io, {"id", "remainderId"},
           OutputRecord().AddNumber("id", id).AddNumber("remainderId", newId));
  return kExitOk;
}

// unsell and delete-position: ID.
int OnePosition(const CliArgs& args, CliIo& io, const char* command,
                VLResult (VLDatabase::*operation)(VLDatabaseConn*, uint32_t)) {
  uint32_t id = 0;
  if (args.positional.size() != 1 || !ParseId(args.positional[0], &id))
    return Usage(io, command, "give the position's ID");
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  return Done(io, s, (s.Db().*operation)(s.Conn(), id));
}

int RunUnsell(const CliArgs& args, CliIo& io) {
  uint32_t id = 0;
  if (args.positional.size() != 1 || !ParseId(args.positional[0], &id))
    return Usage(io, "unsell", "give the position's ID");
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  std::unique_ptr<VLHoldingItem> position;
  if (VLResult code = s.Db().GetPosition(s.Conn(), id, position); code != VLResult::Ok)
    return Done(io, s, code);
  if (position->GetKind() != kHoldingStock) {
    return RefuseState(io, "unsell",
                       "position " + std::to_string(id) +
                           " is a cash or margin position; only a sale of shares can be undone");
  }
  return Done(io, s, s.Db().UnsellPosition(s.Conn(), id));
}
int RunDeletePosition(const CliArgs& args, CliIo& io) {
  return OnePosition(args, io, "delete-position", &VLDatabase::DeletePosition);
}

// copy and move: ID PORTFOLIO.
int ToPortfolio(const CliArgs& args, CliIo& io, const char* command,
                VLResult (VLDatabase::*operation)(VLDatabaseConn*, uint32_t, uint32_t)) {
  uint32_t id = 0;
  if (args.positional.size() != 2 || !ParseId(args.positional[0], &id))
    return Usage(io, command, "give ID PORTFOLIO");
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  const uint32_t portfolioId = s.FindPortfolio(args.positional[1], io);
  if (!portfolioId) return kExitFailed;
  return Done(io, s, (s.Db().*operation)(s.Conn(), id, portfolioId));
}

int RunCopy(const CliArgs& args, CliIo& io) {
  return ToPortfolio(args, io, "copy", &VLDatabase::CopyPosition);
}
int RunMove(const CliArgs& args, CliIo& io) {
  return ToPortfolio(args, io, "move", &VLDatabase::MovePosition);
}

}  // namespace

std::vector<CliCommand> DbCommands() {
  const std::set<std::string> db = {"db"};
  std::set<std::string> modifyStockValues = kStockValues;
  modifyStockValues.insert("symbol");
  modifyStockValues.insert("sale-rate");
  return {
      {"portfolios", "[--db PATH]", db, {}, RunPortfolios},
      {"add-portfolio",
       "NAME [--comment TEXT] [--base-currency CODE]",
       {"db", "comment", "base-currency"},
       {},
       RunAddPortfolio},
      {"modify-portfolio",
       "PORTFOLIO [--name NAME] [--comment TEXT] [--base-currency CODE|-]",
       {"db", "name", "comment", "base-currency"},
       {},
       RunModifyPortfolio},
      {"delete-portfolio", "PORTFOLIO", db, {}, RunDeletePortfolio},
      {"add-stock",
       "PORTFOLIO SYMBOL [--qty N] [--price D] [--commission D] [--date YYYY-MM-DD] [--buy-target D] "
       "[--sell-target D] [--stop-loss D] [--marginable --equity PCT --threshold D] [--comment TEXT] "
       "[--currency CODE] [--buy-rate R] "
       "[--strict] "
       "[--no-check]",
       kStockValues, kAddStockFlags, RunAddStock},
      {"add-cash", "PORTFOLIO AMOUNT [--comment TEXT]", {"db", "comment"}, {}, RunAddCash},
      {"add-margin", "PORTFOLIO AMOUNT [--comment TEXT]", {"db", "comment"}, {}, RunAddMargin},
      {"modify-stock",
       "ID [--symbol S] [the options of add-stock] [--not-marginable]",
       modifyStockValues,
       {"marginable", "not-marginable", "yes", "strict", "no-check"},
       RunModifyStock},
      {"sell",
       "ID --qty N --price D [--commission D] [--date YYYY-MM-DD]",
       {"db", "qty", "price", "commission", "date"},
       {},
       RunSell},
      {"unsell", "ID", db, {}, RunUnsell},
      {"copy", "ID PORTFOLIO", db, {}, RunCopy},
      {"move", "ID PORTFOLIO", db, {}, RunMove},
      {"delete-position", "ID", db, {}, RunDeletePosition},
  };
}
