// vellumar-cli add-income, income, modify-income and delete-income: what holdings paid, recorded per
// portfolio and symbol, each change undoable.
#include <algorithm>
#include <cstdlib>
#include <map>

#include "cli/cli_output.h"
#include "cli/command_table.h"
#include "cli/db_session.h"
#include "cli/refusals.h"
#include "cli/value_parsers.h"
#include "framework/text_util.h"
#include "portfolio/checks/holding_checks.h"
#include "portfolio/checks/income_checks.h"
#include "portfolio/columns/cell_format.h"
#include "portfolio/columns/clock.h"
#include "portfolio/income/income_fetch.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_portfolio_item_list.h"
#include "portfolio/records/vl_stock_info_item_list.h"

namespace {

const std::vector<std::string> kIncomeColumns = {"id",      "portfolio", "symbol", "kind",        "pay-date",
                                                 "ex-date", "shares",    "gross",  "withholding", "fees",
                                                 "net",     "currency",  "comment"};
const std::set<std::string> kFieldOptions = {"db",     "gross",       "pay-date", "kind",     "ex-date",
                                             "shares", "withholding", "fees",     "currency", "comment"};
const std::set<std::string> kReinvestOptions = {"reinvest-qty", "reinvest-price", "reinvest-commission"};

std::set<std::string> AddIncomeOptions() {
  std::set<std::string> options = kFieldOptions;
  options.insert(kReinvestOptions.begin(), kReinvestOptions.end());
  return options;
}

int Done(CliIo& io, DbSession& s, VLResult code) {
  if (code == VLResult::Ok) {
    s.WarnIfNotJournaled(io);
    return kExitOk;
  }
  return Failed(io, DatabaseCodeText(code, s.Db()));
}

// A stored amount as an option would give it ("-50.00").
std::string AmountOption(int64_t cents) {
  return (cents < 0 ? "-" : "") + DecimalUnitsText(std::llabs(cents), 2, 2);
}

// The entry of a stored record, for a change of some of its fields.
IncomeEntry EntryOf(const VLIncomeItem& income) {
  IncomeEntry entry;
  entry.symbol = income.name;
  entry.kind = IncomeKindName(income.kind);
  entry.gross = AmountOption(income.gross);
  entry.withholding = AmountOption(income.withholding);
  entry.fees = AmountOption(income.fees);
  entry.shares = income.shares.IsZero() ? std::string() : DecimalText(income.shares);
  entry.currency = income.currency;
  entry.comment = income.comment;
  entry.payDate = income.payDate;
  entry.exDate = income.exDate;
  return entry;
}

// Takes the options given into `entry`; false (the usage printed, `rc` set) for a date that is none.
bool TakeOptions(const CliArgs& args, CliIo& io, const char* command, IncomeEntry& entry, int& rc) {
  const std::pair<const char*, std::string*> texts[] = {
      {"gross", &entry.gross},    {"kind", &entry.kind},
      {"shares", &entry.shares},  {"withholding", &entry.withholding},
      {"fees", &entry.fees},      {"currency", &entry.currency},
      {"comment", &entry.comment}};
  for (const auto& [option, field] : texts) {
    if (args.HasOption(option)) *field = args.Option(option);
  }
  const std::pair<const char*, int64_t*> days[] = {{"pay-date", &entry.payDate}, {"ex-date", &entry.exDate}};
  for (const auto& [option, day] : days) {
    if (!args.HasOption(option)) continue;
    // An ex-date of "-" is no longer known.
    if (std::string(option) == "ex-date" && args.Option(option) == "-") {
      *day = 0;
    } else if (!ParseDate(args.Option(option), day)) {
      rc = Usage(io, command, std::string("--") + option + " must be a date YYYY-MM-DD");
      return false;
    }
  }
  return true;
}

void WarnIfNotEntitled(CliIo& io, const VLIncomeItem& income, Quantity entitled,
                       const std::string& portfolio) {
  if (!entitled.IsZero()) return;
  Warn(io, portfolio + " held no " + income.name + " bought before " +
               StoredDayText(income.exDate != 0 ? income.exDate : income.payDate) +
               " and not sold before it; the payment is kept all the same");
}

// The purchase a reinvested payment made, checked as add-stock checks one, bought on the pay date:
// kExitOk, else the exit code of the refusal (printed).
int ReinvestedPurchase(const CliArgs& args, CliIo& io, const VLIncomeItem& income,
                       VLStockHoldingItem& purchase) {
  if (!args.HasOption("reinvest-qty") || !args.HasOption("reinvest-price"))
    return Usage(io, "add-income", "a reinvested payment takes both --reinvest-qty and --reinvest-price");
  StockHoldingEntry entry;
  entry.symbol = income.name;
  entry.quantity = args.Option("reinvest-qty");
  entry.buyPrice = args.Option("reinvest-price");
  entry.buyCommission = args.Option("reinvest-commission");
  entry.buyDate = income.payDate;
  entry.currency = income.currency;
  if (EntryCheck check = CheckStockHolding(
          entry, [](StringId) { return false; }, purchase);
      !check.Ok())
    return Refuse(io, "add-income", check);
  return kExitOk;
}

int RunAddIncome(const CliArgs& args, CliIo& io) {
  if (args.positional.size() != 2) return Usage(io, "add-income", "give the PORTFOLIO and the SYMBOL");
  if (!args.HasOption("gross") || !args.HasOption("pay-date"))
    return Usage(io, "add-income", "give the payment with --gross AMOUNT and --pay-date YYYY-MM-DD");
  IncomeEntry entry;
  entry.symbol = args.positional[1];
  if (int rc = kExitOk; !TakeOptions(args, io, "add-income", entry, rc)) return rc;
  VLIncomeItem income;
  if (EntryCheck check = CheckIncome(entry, TodayDayNumber(), income); !check.Ok())
    return Refuse(io, "add-income", check);
  const bool reinvested = std::any_of(kReinvestOptions.begin(), kReinvestOptions.end(),
                                      [&](const std::string& o) { return args.HasOption(o); });
  VLStockHoldingItem purchase;
  if (reinvested) {
    if (int rc = ReinvestedPurchase(args, io, income, purchase); rc != kExitOk) return rc;
  }
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  income.portfolioId = s.FindPortfolio(args.positional[0], io);
  if (income.portfolioId == 0) return kExitNotPossible;
  uint32_t id = 0, positionId = 0;
  Quantity entitled;
  const VLResult code =
      reinvested ? s.Db().AddReinvestedIncome(s.Conn(), income, purchase, id, positionId, &entitled)
                 : s.Db().AddIncome(s.Conn(), income, id, &entitled);
  if (code != VLResult::Ok) return Done(io, s, code);
  OutputRecord record;
  record.Add("id", std::to_string(id)).Add("net", CentsDifferenceText(income.Net()));
  if (reinvested) record.Add("position", std::to_string(positionId));
  PrintOne(
      args, io,
      reinvested ? std::vector<std::string>{"id", "net", "position"} : std::vector<std::string>{"id", "net"},
      record);
  WarnIfNotEntitled(io, income, entitled, args.positional[0]);
  return Done(io, s, code);
}

int RunIncome(const CliArgs& args, CliIo& io) {
  if (args.positional.size() > 1) return Usage(io, "income", "give at most one PORTFOLIO");
  int year = 0;
  if (args.HasOption("year") && !ParseIntArg(args.Option("year"), 1900, 9999, &year))
    return Usage(io, "income", "--year must be a year from 1900 to 9999");
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  uint32_t portfolioId = 0;
  if (!args.positional.empty() && (portfolioId = s.FindPortfolio(args.positional[0], io)) == 0)
    return kExitNotPossible;
  std::vector<VLIncomeItem> list;
  if (VLResult code = s.Db().GetIncome(s.Conn(), portfolioId, list); code != VLResult::Ok)
    return Done(io, s, code);
  VLPortfolioItemList portfolios;
  if (VLResult code = s.Db().GetPortfolios(s.Conn(), portfolios); code != VLResult::Ok)
    return Done(io, s, code);
  std::map<uint32_t, std::string> names;
  for (const auto& p : portfolios) names.emplace(p->id, p->name);
  std::vector<OutputRecord> records;
  for (const VLIncomeItem& income : list) {
    if (year != 0 && DateOfDayNumber(DayNumberOfStoredDate(income.payDate)).year != year) continue;
    records.emplace_back()
        .Add("id", std::to_string(income.id))
        .Add("portfolio", names[income.portfolioId])
        .Add("symbol", income.name)
        .Add("kind", IncomeKindName(income.kind))
        .Add("pay-date", StoredDayText(income.payDate))
        .Add("ex-date", income.exDate ? StoredDayText(income.exDate) : std::string())
        .Add("shares", income.shares.IsZero() ? std::string() : DecimalText(income.shares))
        .Add("gross", CentsDifferenceText(income.gross))
        .Add("withholding", CentsDifferenceText(income.withholding))
        .Add("fees", CentsDifferenceText(income.fees))
        .Add("net", CentsDifferenceText(income.Net()))
        .Add("currency", income.currency)
        .Add("comment", income.comment);
  }
  PrintList(args, io, kIncomeColumns, records);
  return kExitOk;
}

// The stored record of the ID argument; false (with the exit code in `rc`) when there is none.
bool StoredIncome(const CliArgs& args, CliIo& io, const char* command, DbSession& s, VLIncomeItem& income,
                  int& rc) {
  uint32_t id = 0;
  if (args.positional.size() != 1 || !ParseId(args.positional[0], &id)) {
    rc = Usage(io, command, "give the ID of the income record (vellumar-cli income lists them)");
    return false;
  }
  if (!s.Open(args, io)) {
    rc = kExitFailed;
    return false;
  }
  std::vector<VLIncomeItem> list;
  if (VLResult code = s.Db().GetIncome(s.Conn(), 0, list); code != VLResult::Ok) {
    rc = Done(io, s, code);
    return false;
  }
  for (const VLIncomeItem& i : list) {
    if (i.id == id) {
      (void)income.CopyFrom(&i);
      return true;
    }
  }
  rc = RefuseState(io, command, "there is no income record " + std::to_string(id));
  return false;
}

int RunModifyIncome(const CliArgs& args, CliIo& io) {
  DbSession s;
  VLIncomeItem stored;
  if (int rc = kExitOk; !StoredIncome(args, io, "modify-income", s, stored, rc)) return rc;
  IncomeEntry entry = EntryOf(stored);
  if (int rc = kExitOk; !TakeOptions(args, io, "modify-income", entry, rc)) return rc;
  VLIncomeItem income;
  (void)income.CopyFrom(&stored);
  if (EntryCheck check = CheckIncome(entry, TodayDayNumber(), income); !check.Ok())
    return Refuse(io, "modify-income", check);
  return Done(io, s, s.Db().ModifyIncome(s.Conn(), income));
}

const std::vector<std::string> kFetchColumns = {"symbol", "ex-date", "pay-date", "per-share",
                                                "shares", "gross",   "currency", "status"};

int RunFetchIncome(const CliArgs& args, CliIo& io) {
  if (args.positional.size() != 1) return Usage(io, "fetch-income", "give the PORTFOLIO (id or name)");
  int64_t fromDay = 0;
  if (args.HasOption("from")) {
    int64_t date = 0;
    if (!ParseDate(args.Option("from"), &date))
      return Usage(io, "fetch-income", "--from must be a date YYYY-MM-DD");
    fromDay = DayNumberOfStoredDate(date);
  }
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  const uint32_t portfolioId = s.FindPortfolio(args.positional[0], io);
  if (portfolioId == 0) return kExitNotPossible;
  VLStockInfoItemList quotes;
  VLPortfolioItemList portfolios;
  VLHoldingItemList positions;
  s.Db().CopyAll(quotes, portfolios, positions);
  std::vector<VLCorporateActionItem> actions;
  std::vector<VLIncomeItem> incomes;
  if (VLResult code = s.Db().GetCorporateActions(s.Conn(), actions); code != VLResult::Ok)
    return Done(io, s, code);
  if (VLResult code = s.Db().GetIncome(s.Conn(), portfolioId, incomes); code != VLResult::Ok)
    return Done(io, s, code);
  if (io.startService) io.startService();
  ServiceDividendSource source;
  const IncomeFetch fetch =
      ProposeIncome(positions, portfolioId, actions, incomes, source, fromDay, TodayDayNumber());
  if (fetch.NothingAnswered())
    return FailedFetch(io, "the market-data service could not be asked about dividends", fetch.failure);
  for (const std::string& line : fetch.unasked) Warn(io, "no dividends known of " + line);
  const bool dryRun = args.Has("dry-run");
  std::vector<VLIncomeItem> adding;
  for (const IncomeProposal& p : fetch.proposals) {
    if (!p.recorded) adding.push_back(p.income);
  }
  if (!dryRun && !adding.empty()) {
    std::vector<uint32_t> ids;
    if (VLResult code = s.Db().AddIncomes(s.Conn(), adding, ids); code != VLResult::Ok)
      return Done(io, s, code);
  }
  std::vector<OutputRecord> records;
  for (const IncomeProposal& p : fetch.proposals) {
    records.emplace_back()
        .Add("symbol", p.income.name)
        .Add("ex-date", StoredDayText(p.income.exDate))
        .Add("pay-date", StoredDayText(p.income.payDate))
        .Add("per-share", DecimalUnitsText(p.amountMicros, 6, 2))
        .Add("shares", DecimalText(p.income.shares))
        .Add("gross", CentsDifferenceText(p.income.gross))
        .Add("currency", p.income.currency)
        .Add("status", p.recorded ? "recorded"
                       : dryRun   ? "proposed"
                                  : "added");
  }
  PrintList(args, io, kFetchColumns, records);
  if (!dryRun && !adding.empty()) s.WarnIfNotJournaled(io);
  return kExitOk;
}

int RunDeleteIncome(const CliArgs& args, CliIo& io) {
  DbSession s;
  VLIncomeItem stored;
  if (int rc = kExitOk; !StoredIncome(args, io, "delete-income", s, stored, rc)) return rc;
  return Done(io, s, s.Db().DeleteIncome(s.Conn(), stored.id));
}

}  // namespace

std::vector<CliCommand> IncomeCommands() {
  return {
      {"add-income",
       "PORTFOLIO SYMBOL --gross AMOUNT --pay-date YYYY-MM-DD [--kind KIND] [--ex-date D] [--shares Q] "
       "[--withholding W] [--fees F] [--currency C] [--comment TEXT] [--reinvest-qty Q --reinvest-price P "
       "[--reinvest-commission C]]",
       AddIncomeOptions(),
       {},
       RunAddIncome},
      {"income", "[PORTFOLIO] [--year YYYY]", {"db", "year"}, {}, RunIncome},
      {"fetch-income",
       "PORTFOLIO [--from YYYY-MM-DD] [--dry-run]",
       {"db", "from"},
       {"dry-run"},
       RunFetchIncome},
      {"modify-income",
       "ID [--gross AMOUNT] [--pay-date D] [--kind KIND] [--ex-date D|-] [--shares Q] [--withholding W] "
       "[--fees F] [--currency C] [--comment TEXT]",
       kFieldOptions,
       {},
       RunModifyIncome},
      {"delete-income", "ID", {"db"}, {}, RunDeleteIncome},
  };
}
