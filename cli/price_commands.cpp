// vellumar-cli set-price, remove-price and prices: prices set by hand for symbols the market-data service
// does not know.
#include "cli/cli_output.h"
#include "cli/command_table.h"
#include "cli/db_session.h"
#include "cli/refusals.h"
#include "cli/value_parsers.h"
#include "framework/text_util.h"
#include "portfolio/checks/manual_price_checks.h"
#include "portfolio/columns/clock.h"
#include "portfolio/records/calendar_date.h"

namespace {

const std::vector<std::string> kPriceColumns = {"symbol", "date", "price"};

int Done(CliIo& io, DbSession& s, VLResult code) {
  if (code == VLResult::Ok) {
    s.WarnIfNotJournaled(io);
    return kExitOk;
  }
  return Failed(io, DatabaseCodeText(code, s.Db()));
}

// --date, or today when none is given; false (with the usage printed) for a text that is no date.
bool DateOption(const CliArgs& args, CliIo& io, const char* command, int64_t& date, int& rc) {
  date = StoredDateOfDay(TodayDayNumber());
  if (args.HasOption("date") && !ParseDate(args.Option("date"), &date)) {
    rc = Usage(io, command, "--date needs YYYY-MM-DD");
    return false;
  }
  return true;
}

int RunSetPrice(const CliArgs& args, CliIo& io) {
  if (args.positional.size() != 2) return Usage(io, "set-price", "give the SYMBOL and the PRICE per share");
  int64_t date = 0;
  if (int rc = kExitOk; !DateOption(args, io, "set-price", date, rc)) return rc;
  ManualPriceResult price;
  const ManualPriceEntry entry{args.positional[0], args.positional[1], date};
  if (EntryCheck check = CheckManualPrice(entry, TodayDayNumber(), price); !check.Ok()) {
    return Refuse(io, "set-price", check);
  }
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  return Done(io, s, s.Db().SetManualPrice(s.Conn(), price.symbol, price.date, price.price));
}

int RunRemovePrice(const CliArgs& args, CliIo& io) {
  if (args.positional.size() != 1) return Usage(io, "remove-price", "give the SYMBOL");
  int64_t date = 0;  // every price of the symbol unless --date names one
  if (args.HasOption("date") && !ParseDate(args.Option("date"), &date)) {
    return Usage(io, "remove-price", "--date needs YYYY-MM-DD");
  }
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  const VLResult code = s.Db().RemoveManualPrices(s.Conn(), args.positional[0], date);
  if (code == VLResult::NotFound) {
    return RefuseState(io, "remove-price",
                       "no price of " + args.positional[0] + " was set by hand" +
                           (date ? " on " + IsoDateText(DateOfStoredDate(date)) : std::string()));
  }
  return Done(io, s, code);
}

int RunPrices(const CliArgs& args, CliIo& io) {
  if (args.positional.size() > 1) return Usage(io, "prices", "give at most one SYMBOL");
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  std::vector<VLManualPriceItem> prices;
  if (VLResult code = s.Db().GetManualPrices(s.Conn(), prices); code != VLResult::Ok)
    return Done(io, s, code);
  std::vector<OutputRecord> records;
  for (const VLManualPriceItem& p : prices) {
    if (!args.positional.empty() && !EqualNoCase(p.name, args.positional[0])) continue;
    records.emplace_back()
        .Add("symbol", p.name)
        .Add("date", IsoDateText(DateOfStoredDate(p.date)))
        .Add("price", PriceText(p.price));
  }
  PrintList(args, io, kPriceColumns, records);
  return kExitOk;
}

}  // namespace

std::vector<CliCommand> PriceCommands() {
  return {
      {"set-price", "SYMBOL PRICE [--date YYYY-MM-DD]", {"db", "date"}, {}, RunSetPrice},
      {"remove-price", "SYMBOL [--date YYYY-MM-DD]", {"db", "date"}, {}, RunRemovePrice},
      {"prices", "[SYMBOL]", {"db"}, {}, RunPrices},
  };
}
