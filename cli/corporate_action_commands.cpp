// vellumar-cli split, rename-symbol and corporate-actions: what companies did to their shares, applied to
// every position of the symbol as one change.
#include "cli/cli_output.h"
#include "cli/command_table.h"
#include "cli/db_session.h"
#include "cli/refusals.h"
#include "cli/value_parsers.h"
#include "framework/text_util.h"
#include "portfolio/checks/corporate_action_checks.h"
#include "portfolio/columns/cell_format.h"
#include "portfolio/columns/clock.h"
#include "portfolio/database/split_check.h"
#include "portfolio/records/calendar_date.h"

namespace {

const std::vector<std::string> kSplitColumns = {"portfolio",   "position",         "purchased",
                                                "qty-before",  "qty-after",        "price-before",
                                                "price-after", "cash-in-lieu-qty", "total-paid"};
const std::vector<std::string> kActionColumns = {"symbol",     "date",         "action", "ratio",
                                                 "new-symbol", "cash-in-lieu", "comment"};

int Done(CliIo& io, DbSession& s, VLResult code) {
  if (code == VLResult::Ok) {
    s.WarnIfNotJournaled(io);
    return kExitOk;
  }
  return Failed(io, DatabaseCodeText(code, s.Db()));
}

// The stored day of --date, which these commands need; false (with the usage printed) when it is missing
// or no date.
bool RequiredDate(const CliArgs& args, CliIo& io, const char* command, int64_t& date, int& rc) {
  if (!args.HasOption("date") || !ParseDate(args.Option("date"), &date)) {
    rc = Usage(io, command, "give the day it took effect with --date YYYY-MM-DD");
    return false;
  }
  return true;
}

void PrintSplitRows(const CliArgs& args, CliIo& io, const SplitPreview& preview) {
  std::vector<OutputRecord> records;
  for (const SplitPreviewRow& row : preview.rows) {
    records.emplace_back()
        .Add("portfolio", row.portfolio)
        .Add("position", std::to_string(row.positionId))
        .Add("purchased", StoredDayText(row.purchaseDate))
        .Add("qty-before", DecimalText(row.qtyBefore))
        .Add("qty-after", DecimalText(row.qtyAfter))
        .Add("price-before", PriceText(row.priceBefore))
        .Add("price-after", PriceText(row.priceAfter))
        .Add("cash-in-lieu-qty", DecimalText(row.fractionPaid))
        .Add("total-paid", CentsText(static_cast<uint64_t>(row.totalPaidCents)));
  }
  PrintList(args, io, kSplitColumns, records);
}

int RunSplit(const CliArgs& args, CliIo& io) {
  if (args.positional.size() != 2) return Usage(io, "split", "give the SYMBOL and the ratio N:D (3:1)");
  SplitEntry entry{args.positional[0], args.positional[1], args.Option("cash-in-lieu"),
                   args.Option("comment")};
  if (int rc = kExitOk; !RequiredDate(args, io, "split", entry.date, rc)) return rc;
  SplitRequest request;
  if (EntryCheck check = CheckSplit(entry, TodayDayNumber(), request); !check.Ok())
    return Refuse(io, "split", check);
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  SplitPreview preview;
  const bool dryRun = args.Has("dry-run");
  const VLResult code = dryRun ? s.Db().PreviewSplit(s.Conn(), request, preview)
                               : s.Db().RecordSplit(s.Conn(), request, preview);
  if (code == VLResult::ActionRefused) return RefuseState(io, "split", SplitFaultText(preview));
  if (code == VLResult::AlreadyRecorded) {
    return RefuseState(
        io, "split",
        "a split of " + request.symbol + " on " + StoredDayText(request.exDate) + " is recorded already");
  }
  if (code != VLResult::Ok) return Done(io, s, code);
  PrintSplitRows(args, io, preview);
  if (preview.rows.empty())
    Warn(io, "no position of " + request.symbol + " was held on " + StoredDayText(request.exDate));
  return dryRun ? kExitOk : Done(io, s, code);
}

int RunRenameSymbol(const CliArgs& args, CliIo& io) {
  if (args.positional.size() != 2) return Usage(io, "rename-symbol", "give the OLD and the NEW symbol");
  SymbolChangeEntry entry{args.positional[0], args.positional[1], args.Option("comment")};
  if (int rc = kExitOk; !RequiredDate(args, io, "rename-symbol", entry.date, rc)) return rc;
  SymbolChangeEntry change;
  if (EntryCheck check = CheckSymbolChange(entry, TodayDayNumber(), change); !check.Ok())
    return Refuse(io, "rename-symbol", check);
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  int renamed = 0;
  const VLResult code = s.Db().RecordSymbolChange(s.Conn(), change.oldSymbol, change.newSymbol, change.date,
                                                  change.comment, renamed);
  if (code == VLResult::AlreadyRecorded) {
    return RefuseState(io, "rename-symbol",
                       "a symbol change of " + change.oldSymbol + " on " + StoredDayText(change.date) +
                           " is recorded already");
  }
  if (code != VLResult::Ok) return Done(io, s, code);
  OutputRecord record;
  record.Add("symbol", change.oldSymbol)
      .Add("new-symbol", change.newSymbol)
      .Add("date", StoredDayText(change.date))
      .Add("positions", std::to_string(renamed));
  PrintOne(args, io, {"symbol", "new-symbol", "date", "positions"}, record);
  if (renamed == 0) Warn(io, "no position holds " + change.oldSymbol);
  return Done(io, s, code);
}

int RunCorporateActions(const CliArgs& args, CliIo& io) {
  if (args.positional.size() > 1) return Usage(io, "corporate-actions", "give at most one SYMBOL");
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  std::vector<VLCorporateActionItem> actions;
  if (VLResult code = s.Db().GetCorporateActions(s.Conn(), actions); code != VLResult::Ok)
    return Done(io, s, code);
  std::vector<OutputRecord> records;
  for (const VLCorporateActionItem& a : actions) {
    if (!args.positional.empty() && !EqualNoCase(a.name, args.positional[0]) &&
        !EqualNoCase(a.newSymbol, args.positional[0])) {
      continue;
    }
    const bool split = a.kind == CorporateActionKind::Split;
    records.emplace_back()
        .Add("symbol", a.name)
        .Add("date", StoredDayText(a.exDate))
        .Add("action", split ? "split" : "symbol-change")
        .Add("ratio", split ? SplitRatioText({a.newShares, a.oldShares}) : std::string())
        .Add("new-symbol", a.newSymbol)
        .Add("cash-in-lieu", a.cashInLieu.IsZero() ? std::string() : PriceText(a.cashInLieu))
        .Add("comment", a.comment);
  }
  PrintList(args, io, kActionColumns, records);
  return kExitOk;
}

const std::vector<std::string> kProposalColumns = {"symbol", "date", "ratio", "positions", "status"};

// Records one proposed split; its status, or the refusal said as a warning.
std::string ApplyProposal(CliIo& io, DbSession& s, const SplitProposal& p, VLResult& failure) {
  const SplitRequest request = RequestOf(p);
  SplitPreview preview;
  const VLResult code = s.Db().RecordSplit(s.Conn(), request, preview);
  switch (code) {
    case VLResult::Ok:
      return "applied";
    case VLResult::AlreadyRecorded:
      return "recorded";
    case VLResult::ActionRefused:
      Warn(io, p.symbol + " " + SplitRatioText(p.split.ratio) + " on " + StoredDayText(request.exDate) +
                   ": " + SplitFaultText(preview) + "; record it with split");
      return "refused";
    default:
      failure = code;
      return "failed";
  }
}

int RunFetchSplits(const CliArgs& args, CliIo& io) {
  if (!args.positional.empty()) return Usage(io, "fetch-splits", "takes no arguments");
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  ServiceSplitSource source;
  SplitCheck check;
  if (VLResult code = CheckForSplits(s.Db(), s.Conn(), source, TodayDayNumber(), check); code != VLResult::Ok)
    return Done(io, s, code);
  if (check.NothingAnswered())
    return FailedFetch(io, "the market-data service could not be asked about splits", check.failure);
  for (const std::string& line : check.unasked) Warn(io, "no splits known of " + line);
  const bool apply = args.Has("apply");
  VLResult failure = VLResult::Ok;
  bool refused = false;
  std::vector<OutputRecord> records;
  for (const SplitProposal& p : check.proposals) {
    const std::string status = apply ? ApplyProposal(io, s, p, failure) : "proposed";
    refused = refused || status == "refused";
    records.emplace_back()
        .Add("symbol", p.symbol)
        .Add("date", IsoDateText(DateOfDayNumber(p.split.day)))
        .Add("ratio", SplitRatioText(p.split.ratio))
        .Add("positions", std::to_string(p.positions))
        .Add("status", status);
    if (failure != VLResult::Ok) break;
  }
  PrintList(args, io, kProposalColumns, records);
  if (failure != VLResult::Ok) return Done(io, s, failure);
  if (apply && !records.empty()) s.WarnIfNotJournaled(io);
  return refused ? kExitNotPossible : kExitOk;
}

}  // namespace

std::vector<CliCommand> CorporateActionCommands() {
  return {
      {"split",
       "SYMBOL N:D --date YYYY-MM-DD [--cash-in-lieu PRICE] [--comment TEXT] [--dry-run]",
       {"db", "date", "cash-in-lieu", "comment"},
       {"dry-run"},
       RunSplit},
      {"rename-symbol",
       "OLD NEW --date YYYY-MM-DD [--comment TEXT]",
       {"db", "date", "comment"},
       {},
       RunRenameSymbol},
      {"corporate-actions", "[SYMBOL]", {"db"}, {}, RunCorporateActions},
      {"fetch-splits", "[--apply]", {"db"}, {"apply"}, RunFetchSplits},
  };
}
