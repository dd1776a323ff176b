// vellumar-cli commands that show a portfolio as the window does: its list, its summary, its report, and
// the quote refresh behind them.
#include <algorithm>
#include <sstream>

#include "cli/base_conversion.h"
#include "cli/cli_output.h"
#include "cli/command_table.h"
#include "cli/db_session.h"
#include "cli/progress.h"
#include "cli/value_parsers.h"
#include "framework/file_util.h"
#include "framework/replace_file.h"
#include "portfolio/columns/column_catalog.h"
#include "portfolio/database/vl_web_quote_source.h"
#include "portfolio/records/vl_holding_item.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_stock_info_item.h"
#include "portfolio/views/portfolio_report.h"
#include "portfolio/views/portfolio_summary.h"
#include "portfolio/views/portfolio_view.h"
#include "prefs/vl_general_prefs.h"

namespace {

// "0,1,3" as column ids; false for anything that is not a list of valid ids.
bool ParseColumns(const std::string& text, std::vector<int>* columns) {
  columns->clear();
  std::stringstream in(text);
  std::string piece;
  while (std::getline(in, piece, ',')) {
    int id = 0;
    if (!ParseIntArg(piece, 0, kColumnCount - 1, &id)) return false;
    // A column shown twice would give one JSON key twice.
    if (std::find(columns->begin(), columns->end(), id) != columns->end()) return false;
    columns->push_back(id);
  }
  return !columns->empty();
}

// What a view shows: the columns and sort of the options, or the settings a new user starts with.
struct ViewChoice {
  bool held = true;
  std::vector<int> columns;
  int sortColumn = 0;
  bool ascending = true;
};

bool ChooseView(const CliArgs& args, ViewChoice* choice, std::string* problem) {
  const VLGeneralPrefs defaults;
  choice->held = !args.Has("sold");
  std::vector<int32_t> columns;
  if (choice->held) {
    defaults.GetHeldColumns(columns);
  } else {
    defaults.GetSoldColumns(columns);
  }
  choice->columns.assign(columns.begin(), columns.end());
  choice->sortColumn = choice->held ? defaults.heldSortBy : defaults.soldSortBy;
  choice->ascending = choice->held ? defaults.heldSortAscending : defaults.soldSortAscending;
  if (args.HasOption("columns") && !ParseColumns(args.Option("columns"), &choice->columns)) {
    *problem = "--columns needs different column ids from 0 to " + std::to_string(kColumnCount - 1) +
               ", such as 0,1,3";
    return false;
  }
  if (args.HasOption("sort")) {
    if (!ParseIntArg(args.Option("sort"), 0, kColumnCount - 1, &choice->sortColumn) ||
        !IsSortableColumn(choice->sortColumn)) {
      *problem = "--sort needs the id of a sortable column";
      return false;
    }
    choice->ascending = SortsAscendingFirst(choice->sortColumn);
  }
  if (args.Has("asc") && args.Has("desc")) {
    *problem = "give --asc or --desc, not both";
    return false;
  }
  if (args.Has("asc")) choice->ascending = true;
  if (args.Has("desc")) choice->ascending = false;
  return true;
}

// Opens the database, reads the portfolio's positions and sorts them: `view` gets the columns and headers,
// its rows are made from `positions` in their order. 0 on success, else the exit code.
int LoadView(const CliArgs& args, CliIo& io, const char* command, DbSession& s, uint32_t* portfolioId,
             ViewChoice* choice, VLHoldingItemList& positions, PortfolioView* view) {
  if (args.positional.size() != 1) return Usage(io, command, "give the PORTFOLIO (id or name)");
  std::string problem;
  if (!ChooseView(args, choice, &problem)) return Usage(io, command, problem);
  if (!s.Open(args, io)) return kExitFailed;
  *portfolioId = s.FindPortfolio(args.positional[0], io);
  if (!*portfolioId) return kExitFailed;
  if (int rc = PrepareBaseConversion(args, io, command, s, *portfolioId); rc != kExitOk) return rc;
  if (VLResult code = s.Db().GetPositions(s.Conn(), *portfolioId, choice->held, positions);
      code != VLResult::Ok) {
    return Failed(io, DatabaseCodeText(code));
  }
  *view = SortPortfolioView(positions, choice->columns, choice->sortColumn, choice->ascending);
  return kExitOk;
}

// The column's header as a JSON key: without the trailing blank some headers have ("Trade ").
std::string PlainHeader(int column) {
  std::string header = GetColumnHeader(column);
  while (!header.empty() && header.back() == ' ') header.pop_back();
  return header;
}

// The rows, each with its position id first: a table under the window's headers (the sort column's with
// its mark), or JSON objects keyed by the plain headers, numbers beside their texts. One row at a time, so
// a list of a million positions never holds all its texts at once.
void PrintViewRows(const CliArgs& args, CliIo& io, const PortfolioView& view,
                   const VLHoldingItemList& positions) {
  std::vector<std::string> keys = {"id"};
  std::vector<std::string> headers = {"Id"};
  for (size_t i = 0; i < view.columns.size(); ++i) {
    keys.push_back(PlainHeader(view.columns[i]));
    headers.push_back(view.headers[i]);
  }
  ListPrinter printer(args, io, keys, headers);
  for (const auto& item : positions) {
    const PortfolioView::Row row = MakeViewRow(static_cast<const VLHoldingItem&>(*item), view.columns);
    OutputRecord r;
    r.AddNumber("id", row.id);
    for (size_t i = 0; i < row.cells.size() && i + 1 < keys.size(); ++i) {
      // Symbols, names and comments stay texts even when one looks like a number ("9988", "1,000").
      if (IsTextColumn(view.columns[i])) {
        r.Add(keys[i + 1], row.cells[i]);
      } else {
        r.AddText(keys[i + 1], row.cells[i]);
      }
    }
    printer.Print(r);
  }
  printer.Finish();
}

// Every column a view can show: its id (for --columns and --sort), header, category and description.
int ListColumns(const CliArgs& args, CliIo& io) {
  std::vector<std::string> category(kColumnCount);
  std::vector<int> ids;
  // The first category naming a column wins; the last, "All Columns", holds the ones no other names.
  for (int index = kCategoryCount - 1; index >= 0; --index) {
    FillCategory(index, ids);
    for (int id : ids) {
      if (id >= 0 && id < kColumnCount) category[id] = GetCategoryName(index);
    }
  }
  std::vector<OutputRecord> records;
  for (int id = 0; id < kColumnCount; ++id) {
    records.emplace_back()
        .AddNumber("id", id)
        .Add("header", GetColumnHeader(id))
        .Add("category", category[id])
        .Add("description", GetColumnDescription(id));
  }
  PrintList(args, io, {"id", "header", "category", "description"}, records);
  return kExitOk;
}

int RunView(const CliArgs& args, CliIo& io) {
  if (args.Has("list-columns")) return ListColumns(args, io);
  DbSession s;
  uint32_t portfolioId = 0;
  ViewChoice choice;
  VLHoldingItemList positions;
  PortfolioView view;
  if (int rc = LoadView(args, io, "view", s, &portfolioId, &choice, positions, &view); rc != kExitOk)
    return rc;
  PrintViewRows(args, io, view, positions);
  return kExitOk;
}

// The totals as the summary panel shows them, then those of income for a portfolio with income records;
// totals that add up several currencies say so last, with the panel's text ("GBp and USD, not
// converted"), and only then.
OutputRecord SummaryRecord(const VLPortfolioSummary& s, bool held) {
  OutputRecord r;
  if (held) {
    r.AddText("currentValue", s.currentValue).AddText("change", s.change).AddText("gain", s.gain);
    r.AddText("equity", s.equity).AddText("marginableEquity", s.marginableEquity);
    r.AddText("marginOwed", s.marginOwed).AddText("marginAvailable", s.marginAvailable);
  } else {
    r.AddText("netProceeds", s.netProceeds).AddText("gain", s.gain).AddText("postSaleGain", s.postSaleGain);
  }
  if (s.HasIncome()) {
    r.AddText("incomeThisYear", s.incomeThisYear).AddText("incomeAll", s.incomeAll);
    r.AddText("withholdingThisYear", s.withholdingThisYear).AddText("totalReturn", s.totalReturn);
  }
  if (const std::string mixed = MixedCurrenciesText(s); !mixed.empty()) r.Add("mixedCurrencies", mixed);
  if (s.HasBase()) {
    const SummaryBaseTotals& b = s.base;
    r.Add("baseCurrency", b.currency);
    if (!b.error.empty()) return r.Add("baseError", b.error);
    r.AddText(held ? "valueBase" : "netProceedsBase", b.value).AddText("totalPaidBase", b.totalPaid);
    r.AddText("gainBase", b.gain).AddText("priceGainBase", b.priceGain).AddText("fxGainBase", b.fxGain);
    r.Add("rates", b.rates);
  }
  return r;
}

int RunSummary(const CliArgs& args, CliIo& io) {
  if (args.positional.size() != 1) return Usage(io, "summary", "give the PORTFOLIO (id or name)");
  std::vector<uint32_t> ids;
  if (args.HasOption("ids") && !ParseIdList(args.Option("ids"), &ids))
    return Usage(io, "summary", "--ids needs ids such as 3,7");
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  const uint32_t portfolioId = s.FindPortfolio(args.positional[0], io);
  if (!portfolioId) return kExitFailed;
  if (int rc = PrepareBaseConversion(args, io, "summary", s, portfolioId); rc != kExitOk) return rc;
  const bool held = !args.Has("sold");
  VLPortfolioSummary summary;
  if (s.Db().GetPortfolioSummary(s.Conn(), portfolioId, held, args.HasOption("ids") ? &ids : nullptr,
                                 summary) != VLResult::Ok) {
    return Failed(io, "Vellumar was unable to retrieve this portfolio's\nsummary.");
  }
  const OutputRecord record = SummaryRecord(summary, held);
  std::vector<std::string> columns;
  for (const auto& f : record.Fields()) columns.push_back(f.name);
  PrintOne(args, io, columns, record);
  return kExitOk;
}

int RunUpdate(const CliArgs& args, CliIo& io) {
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  if (io.startService) io.startService();
  if (io.progress) {
    const int batches =
        (s.Db().GetQuoteCount() + VLDatabase::kQuoteBatchSize - 1) / VLDatabase::kQuoteBatchSize;
    s.Db().SetQuoteSource(
        std::make_unique<ProgressQuoteSource>(std::make_unique<VLWebQuoteSource>(), batches, io.progress));
  }
  if (const VLResult rc = s.Db().UpdateQuotes(s.Conn()); rc != VLResult::Ok) {
    if (rc == VLResult::Busy || rc == VLResult::ReadOnly || s.Db().GetLastFileError().IsSet()) {
      return Failed(io, DatabaseCodeText(rc, s.Db()));
    }
    const std::string detail = s.Db().GetLastRefreshError();
    const FetchFailure& failure = s.Db().GetLastRefreshFailure();
    // A service on this machine that does not answer is no matter of the Internet connection.
    const std::string advice =
        failure.IsLocalServiceDown() ? "" : "\nPlease check that you are connected to the Internet.";
    return Failed(io, "Vellumar was unable to update its database." + advice +
                          (detail.empty() ? std::string() : "\n" + detail) + FailureLines(failure));
  }
  // The symbols the service did not know, so that a position without a value is explained.
  VLStockInfoItemList quotes;
  VLPortfolioItemList portfolios;
  VLHoldingItemList positions;
  s.Db().CopyAll(quotes, portfolios, positions);
  for (const auto& item : quotes) {
    const auto& q = static_cast<const VLStockInfoItem&>(*item);
    if (!q.quote->IsKnownSymbol()) PrintError(io.err, io.command, "no such ticker symbol \"" + q.name + "\"");
  }
  std::string time, status;
  if (VLResult code = s.Db().GetMarketTime(s.Conn(), time); code != VLResult::Ok) {
    return Failed(io, "" + DatabaseCodeText(code));
  }
  if (VLResult code = s.Db().GetMarketStatus(s.Conn(), status); code != VLResult::Ok) {
    return Failed(io, "" + DatabaseCodeText(code));
  }
  OutputRecord r;
  r.AddNumber("quotes", s.Db().GetQuoteCount()).Add("marketTime", time).Add("marketStatus", status);
  PrintOne(args, io, {"quotes", "marketTime", "marketStatus"}, r);
  return kExitOk;
}

int RunReport(const CliArgs& args, CliIo& io) {
  if (!args.HasOption("out")) return Usage(io, "report", "give --out FILE");
  DbSession s;
  uint32_t portfolioId = 0;
  ViewChoice choice;
  VLHoldingItemList positions;
  PortfolioView view;
  if (int rc = LoadView(args, io, "report", s, &portfolioId, &choice, positions, &view); rc != kExitOk)
    return rc;

  PortfolioReportInput input;
  input.heldView = choice.held;
  for (int column : view.columns)
    input.columns.push_back({column, GetColumnHeader(column), GetColumnAlignment(column)});
  input.sortColumn = choice.sortColumn;
  input.alternateRows = VLGeneralPrefs().alternateRowColors;
  VLPortfolioItem portfolio;
  if (VLResult code = s.Db().GetPortfolio(s.Conn(), portfolioId, portfolio); code != VLResult::Ok) {
    return Failed(io, "" + DatabaseCodeText(code));
  }
  input.portfolioName = portfolio.name;
  std::string marketTime;
  if (VLResult code = s.Db().GetMarketTime(s.Conn(), marketTime); code != VLResult::Ok) {
    return Failed(io, "" + DatabaseCodeText(code));
  }
  input.updatedText = FormatUpdatedText(marketTime);
  for (const auto& item : positions) {
    input.rows.push_back(MakeViewRow(static_cast<const VLHoldingItem&>(*item), view.columns).cells);
  }
  if (VLResult code = s.Db().GetPortfolioSummary(s.Conn(), portfolioId, choice.held, nullptr, input.summary);
      code != VLResult::Ok) {
    return Failed(io, "" + DatabaseCodeText(code));
  }
  const std::time_t now = std::time(nullptr);
  localtime_r(&now, &input.localTime);

  // Written whole or not at all: a report already there stays as it was when this one cannot be written.
  const std::string path = args.Option("out");
  const bool existed = FileExists(path);
  FileError error;
  if (!ReplaceFileContent(path, BuildPortfolioReport(input), error)) {
    return Failed(io, error.Describe() + (existed ? "; the report at " + path + " is left as it was"
                                                  : "; no report was written"));
  }
  return kExitOk;
}

}  // namespace

std::vector<CliCommand> ViewCommands() {
  const std::set<std::string> viewValues = {"db", "columns", "sort", "base-currency"};
  const std::set<std::string> viewFlags = {"sold", "asc", "desc"};
  std::set<std::string> listFlags = viewFlags;
  listFlags.insert("list-columns");
  std::set<std::string> reportValues = viewValues;
  reportValues.insert("out");
  return {
      {"view",
       "PORTFOLIO [--sold] [--columns 0,1,3] [--sort ID --asc|--desc] [--base-currency CODE] | "
       "--list-columns",
       viewValues, listFlags, RunView},
      {"summary",
       "PORTFOLIO [--sold] [--ids 3,7] [--base-currency CODE]",
       {"db", "ids", "base-currency"},
       {"sold"},
       RunSummary},
      {"update", "[--db PATH]", {"db"}, {}, RunUpdate},
      {"report", "PORTFOLIO [--sold] [--columns ...] [--sort ID --asc|--desc] --out FILE", reportValues,
       viewFlags, RunReport},
  };
}
