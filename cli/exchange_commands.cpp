// vellumar-cli export and import: Vellumar CSV and XML out, those and mapped CSV files and OFX statements in.
#include <algorithm>
#include <cctype>
#include <sstream>

#include "cli/cli_output.h"
#include "cli/command_table.h"
#include "cli/db_session.h"
#include "cli/json_writer.h"
#include "cli/value_parsers.h"
#include "framework/app_paths.h"
#include "framework/replace_file.h"
#include "framework/text_util.h"
#include "portfolio/checks/portfolio_name_check.h"
#include "portfolio/checks/typed_number.h"
#include "portfolio/columns/cell_format.h"
#include "portfolio/database/vl_database_reads.h"
#include "portfolio/exchange/export_data.h"
#include "portfolio/exchange/file_values.h"
#include "portfolio/exchange/import_formats.h"
#include "portfolio/exchange/import_reading.h"
#include "portfolio/exchange/vellumar_csv.h"
#include "portfolio/exchange/vellumar_xml.h"
#include "portfolio/records/vl_amount_holding_item.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "prefs/import_profiles.h"

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && AsciiLower(text.substr(text.size() - end.size())) == end;
}

// ---- export ----------------------------------------------------------------------------------------------

int RunExport(const CliArgs& args, CliIo& io) {
  const std::string out = args.Option("out");
  if (out.empty()) return Usage(io, "export", "give --out FILE (or - for standard output)");
  std::string format = AsciiLower(args.Option("format"));
  if (format.empty()) format = EndsWith(out, ".xml") ? "xml" : "csv";
  if (format != "csv" && format != "xml") return Usage(io, "export", "--format is csv or xml");
  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  ExportChoice choice;
  choice.cash = !args.Has("no-cash");
  choice.margin = !args.Has("no-margin");
  choice.indexes = !args.Has("no-index");
  for (const std::string& name : args.positional) {
    const uint32_t id = s.FindPortfolio(name, io);
    if (!id) return kExitFailed;
    choice.portfolioIds.push_back(id);
  }
  ExportData data;
  if (VLResult code = ReadExport(s.Db(), s.Conn(), choice, data); code != VLResult::Ok) {
    return Failed(io, DatabaseCodeText(code));
  }
  const std::string text = format == "xml" ? WriteVellumarXml(data) : WriteVellumarCsv(data);
  if (out == "-") {
    io.out << text;
    return kExitOk;
  }
  FileError error;
  if (!ReplaceFileContent(out, text, error)) return Failed(io, error.Describe());
  PrintOne(args, io, {"file", "format", "portfolios", "positions"},
           OutputRecord()
               .Add("file", out)
               .Add("format", format)
               .AddNumber("portfolios", static_cast<int64_t>(data.portfolios.size()))
               .AddNumber("positions", data.PositionCount()));
  return kExitOk;
}

// ---- import ----------------------------------------------------------------------------------------------

std::string ProfilesPath(const CliArgs& args) {
  return args.HasOption("profiles") ? args.Option("profiles") : GetAppPaths().ImportProfilesPath();
}

// The mapping of --profile, then every mapping option over it. Exit code 2 (printed) for a wrong one.
int MappingFromOptions(const CliArgs& args, CliIo& io, CsvMapping& mapping) {
  if (args.HasOption("profile")) {
    ImportProfiles profiles(ProfilesPath(args));
    if (!profiles.Load()) return Failed(io, "cannot read the profiles in " + profiles.GetPath());
    std::string error;
    if (!profiles.Get(args.Option("profile"), mapping, error)) {
      return Usage(io, "import",
                   "there is no profile \"" + args.Option("profile") + "\" in " + profiles.GetPath());
    }
    if (!error.empty()) return Usage(io, "import", "profile \"" + args.Option("profile") + "\": " + error);
  }
  std::string error;
  if (args.HasOption("map") && !ParseMappingText(args.Option("map"), mapping, error)) {
    return Usage(io, "import", "--map: " + error);
  }
  if (args.HasOption("delimiter") && !ParseDelimiter(args.Option("delimiter"), mapping.delimiter)) {
    return Usage(io, "import", "--delimiter is , ; or tab");
  }
  if (args.Has("decimal-comma")) mapping.decimalComma = true;
  if (args.HasOption("date-format")) {
    if (!IsDatePattern(args.Option("date-format"))) {
      return Usage(io, "import",
                   "--date-format needs YYYY, MM (or M) and DD (or D) once each, such as DD.MM.YYYY; a "
                   "one-letter M or D "
                   "needs a separator after it");
    }
    mapping.dateFormat = args.Option("date-format");
  }
  if (args.HasOption("encoding") && !ParseTextEncoding(args.Option("encoding"), mapping.encoding)) {
    return Usage(io, "import", "--encoding is auto, utf-8 or latin-1");
  }
  if (args.HasOption("skip-rows")) {
    int rows = 0;
    if (!ParseIntArg(args.Option("skip-rows"), 0, 1000000, &rows)) {
      return Usage(io, "import", "--skip-rows needs a whole number from 0");
    }
    mapping.skipRows = rows;
  }
  for (const std::string& kind : args.Values("kind")) {
    if (!mapping.kinds.Add(kind, error)) return Usage(io, "import", "--kind: " + error);
  }
  if (args.Has("sell-when-negative")) mapping.sellWhenNegative = true;
  return kExitOk;
}

bool MappingGiven(const CliArgs& args) {
  for (const char* option : {"map", "profile", "delimiter", "date-format", "skip-rows", "kind"}) {
    if (args.HasOption(option)) return true;
  }
  return args.Has("decimal-comma") || args.Has("sell-when-negative");
}

// --portfolio as the name of the portfolio the rows go into: an existing portfolio's id or name (any letter
// case), else the name of a new one.
int TargetPortfolio(const CliArgs& args, CliIo& io, DbSession& s, std::string& name) {
  if (!args.HasOption("portfolio")) return kExitOk;
  const std::string given = args.Option("portfolio");
  VLPortfolioItemList list;
  if (VLResult code = s.Db().GetPortfolios(s.Conn(), list); code != VLResult::Ok)
    return Failed(io, DatabaseCodeText(code));
  uint32_t id = 0;
  if (ParseId(given, &id)) {
    if (const auto* p = list.FindById(id)) {
      name = p->name;
      return kExitOk;
    }
  }
  if (EntryCheck check = CheckPortfolioName(given, name); !check.Ok()) {
    return Usage(io, "import", "--portfolio: the portfolio name is empty or blank");
  }
  return kExitOk;
}

const char* ActionText(ImportOutcome::StepResult result) {
  switch (result) {
    case ImportOutcome::StepResult::Added:
      return "added";
    case ImportOutcome::StepResult::Sold:
      return "sold";
    case ImportOutcome::StepResult::BalanceSet:
      return "balance";
    case ImportOutcome::StepResult::Outdated:
      return "outdated";
    case ImportOutcome::StepResult::Duplicate:
      break;
  }
  return "duplicate";
}

OutputRecord StepRecord(const ImportReading& reading, const ImportOutcome& outcome, size_t i) {
  const ImportStep& step = reading.plan.steps[i];
  std::string kind = "sale";
  std::string what = step.symbol;
  std::string quantity = DecimalText(step.qty);
  std::string amount = PriceText(step.salePrice);
  if (step.holding) {
    const int32_t k = step.holding->GetKind();
    kind = k == kHoldingStock ? "stock" : k == kHoldingCash ? "cash" : "margin";
    what = step.holding->name;
    quantity = "0";
    if (k == kHoldingStock) {
      const auto& s = static_cast<const VLStockHoldingItem&>(*step.holding);
      quantity = DecimalText(s.qty);
      amount = PriceText(s.buyPricePerShare);
    } else {
      amount = CentsDifferenceText(static_cast<const VLAmountHoldingItem&>(*step.holding).GetAmount());
    }
  }
  return OutputRecord()
      .AddNumber("line", step.line)
      .Add("action", ActionText(outcome.stepResults[i]))
      .Add("portfolio", reading.plan.portfolios[step.portfolio].name)
      .Add("kind", kind)
      .Add("symbol", what)
      .AddDecimal("quantity", quantity)
      .AddText("price", amount)
      .AddNumber("id", outcome.stepPositions[i]);
}

// A payment of income: recorded, or a duplicate of one recorded already; its gross as the price.
OutputRecord IncomeRecord(const ImportReading& reading, const ImportOutcome& outcome, size_t i) {
  const ImportIncome& row = reading.plan.incomes[i];
  const bool recorded = i < outcome.incomeRecorded.size() && outcome.incomeRecorded[i];
  return OutputRecord()
      .AddNumber("line", row.line)
      .Add("action", recorded ? "income" : "duplicate")
      .Add("portfolio", reading.plan.portfolios[row.portfolio].name)
      .Add("kind", IncomeKindName(row.income.kind))
      .Add("symbol", row.income.name)
      .AddDecimal("quantity", DecimalText(row.income.shares))
      .AddText("price", CentsDifferenceText(row.income.gross))
      .AddNumber("id", 0);
}

OutputRecord SkippedRecord(const ImportReading& reading, const SkippedRow& row) {
  return OutputRecord()
      .AddNumber("line", row.line)
      .Add("action", "skipped")
      .Add("portfolio", reading.plan.portfolios.empty() ? std::string() : reading.plan.portfolios[0].name)
      .Add("kind", row.kind)
      .Add("symbol", row.symbol)
      .Add("date", row.date)
      .Add("amount", row.amount)
      .Add("reason", row.reason);
}

// The rows in the order of the file: each step (a list of transactions may be applied in the order of its
// days) and each row skipped.
std::vector<OutputRecord> OutcomeRows(const ImportReading& reading, const ImportOutcome& outcome) {
  std::vector<std::pair<int, OutputRecord>> lines;
  for (size_t i = 0; i < reading.plan.steps.size(); ++i)
    lines.emplace_back(reading.plan.steps[i].line, StepRecord(reading, outcome, i));
  for (const SkippedRow& row : reading.skipped) lines.emplace_back(row.line, SkippedRecord(reading, row));
  for (size_t i = 0; i < reading.plan.incomes.size(); ++i)
    lines.emplace_back(reading.plan.incomes[i].line, IncomeRecord(reading, outcome, i));
  std::stable_sort(lines.begin(), lines.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<OutputRecord> rows;
  rows.reserve(lines.size());
  for (auto& [line, record] : lines) rows.push_back(std::move(record));
  return rows;
}

void PrintOutcome(const CliArgs& args, CliIo& io, const ImportReading& reading,
                  const ImportOutcome& outcome) {
  const bool dryRun = args.Has("dry-run");
  const std::vector<OutputRecord> rows = OutcomeRows(reading, outcome);
  // A trial leaves the new portfolios without an id.
  const auto created =
      static_cast<int64_t>(dryRun ? std::count(outcome.portfolioIds.begin(), outcome.portfolioIds.end(), 0u)
                                  : static_cast<std::ptrdiff_t>(outcome.createdPortfolios.size()));
  OutputRecord summary;
  summary.Add("format", ExchangeFormatName(reading.format))
      .AddBool("dryRun", dryRun)
      .AddNumber("added", outcome.added)
      .AddNumber("sold", outcome.sold)
      .AddNumber("balances", outcome.balances)
      .AddNumber("duplicates", outcome.duplicates)
      .AddNumber("leftOut", reading.leftOut)
      .AddNumber("ignored", 0)  // kept for the scripts that read it: such rows are listed as skipped now
      .AddNumber("newPortfolios", created);
  std::vector<std::string> summaryColumns = {"format",     "dryRun",  "added",   "sold",         "balances",
                                             "duplicates", "leftOut", "ignored", "newPortfolios"};
  // Only a file that holds prices set by hand says how many it stored: other imports print as they did.
  if (!reading.plan.prices.empty()) {
    summary.AddNumber("prices", outcome.prices);
    summaryColumns.push_back("prices");
  }
  // Likewise the corporate actions recorded, only for a file that holds any.
  if (!reading.plan.actions.empty()) {
    summary.AddNumber("actions", outcome.actions);
    summaryColumns.push_back("actions");
  }
  // And the payments of income, for a file that holds any.
  if (!reading.plan.incomes.empty()) {
    summary.AddNumber("income", outcome.income);
    summaryColumns.push_back("income");
  }
  std::vector<std::string> rowColumns = {"line",   "action",   "portfolio", "kind",
                                         "symbol", "quantity", "price",     "id"};
  // Balances an older statement leaves alone, likewise only where there are some.
  if (outcome.outdated > 0) {
    summary.AddNumber("outdated", outcome.outdated);
    summaryColumns.push_back("outdated");
  }
  // Likewise, only a file with rows that became nothing lists them with their reasons.
  if (!reading.skipped.empty()) {
    summary.AddNumber("skipped", static_cast<int64_t>(reading.skipped.size()));
    summaryColumns.push_back("skipped");
    rowColumns.insert(rowColumns.end(), {"date", "amount", "reason"});
  }
  if (!args.Has("json")) {
    PrintOne(args, io, summaryColumns, summary);
    io.out << "\n";
    PrintList(args, io, rowColumns, rows);
    return;
  }
  // One object: the summary's fields, then the rows.
  std::ostringstream object;
  WriteJsonObject(object, summary);
  std::string text = object.str();
  while (!text.empty() && (text.back() == '\n' || text.back() == '}')) text.pop_back();
  std::ostringstream list;
  WriteJson(list, rows);
  std::string listText = list.str();
  while (!listText.empty() && listText.back() == '\n') listText.pop_back();
  io.out << text << ",\"rows\":" << listText << "}\n";
}

int RefuseFile(CliIo& io, const std::string& file, const ImportProblems& problems) {
  for (const ImportProblem& problem : problems) PrintError(io.err, io.command, problem.Describe());
  PrintError(io.err, io.command,
             file + " was not imported (" + std::to_string(problems.size()) +
                 (problems.size() == 1 ? " problem" : " problems") + "); nothing was changed");
  return kExitRefused;
}

int RunImport(const CliArgs& args, CliIo& io) {
  if (args.positional.size() != 1) return Usage(io, "import", "give the FILE to import");
  const std::string file = args.positional[0];
  ImportOptions options;
  const std::string format = args.Option("format");
  const std::optional<ExchangeFormat> named =
      format.empty() ? ExchangeFormat::VellumarCsv : ImportFormatOfCommandName(format);
  if (!named) return Usage(io, "import", "--format is " + ImportFormatCommandNames());
  // A CSV file is Vellumar's own when its header says so, unless a mapping is given.
  const bool csv = *named == ExchangeFormat::VellumarCsv;
  options.format = !csv ? *named : MappingGiven(args) ? ExchangeFormat::MappedCsv : ExchangeFormat::Detect;
  if (int rc = MappingFromOptions(args, io, options.mapping); rc != kExitOk) return rc;
  options.cash = !args.Has("no-cash");
  options.margin = !args.Has("no-margin");
  options.indexes = !args.Has("no-index");
  options.allowDuplicates = args.Has("allow-duplicates");
  options.openingPositions = args.Has("opening-positions");
  if (std::string why;
      args.HasOption("save-profile") && !ImportProfiles::IsUsableName(args.Option("save-profile"), why)) {
    return Usage(io, "import", "--save-profile: " + why);
  }

  DbSession s;
  if (!s.Open(args, io)) return kExitFailed;
  if (int rc = TargetPortfolio(args, io, s, options.targetPortfolio); rc != kExitOk) return rc;
  ImportReading reading = ReadImportFile(file, options);
  if (!format.empty() && csv && reading.format != ExchangeFormat::VellumarCsv &&
      reading.format != ExchangeFormat::MappedCsv) {
    return Usage(io, "import", file + " is not a CSV file");
  }
  const ImportFormatInfo& read = ImportFormatInfoOf(reading.format);
  if (read.needsTarget && TrimBlanks(options.targetPortfolio).empty()) {
    return Usage(io, "import",
                 "give --portfolio NAME: the positions of a " + std::string(read.fileNoun) +
                     " go into the portfolio named there");
  }
  if (reading.unreadable) return Failed(io, reading.problems.front().Describe());
  // A mapping without a column for the shares or the price of its trades is wrong whatever the file holds.
  if (reading.mappingIncomplete) {
    for (const ImportProblem& problem : reading.problems) {
      if (problem.field == ImportField::Quantity || problem.field == ImportField::Price)
        return Usage(io, "import", problem.text + ": " + problem.commandHint);
    }
  }
  if (reading.Refused()) return RefuseFile(io, file, reading.problems);
  for (const ImportProblem& warning : reading.warnings)
    PrintError(io.err, io.command, "warning: " + warning.Describe());
  if (args.HasOption("save-profile")) {
    ImportProfiles profiles(ProfilesPath(args));
    FileError error;
    if (!profiles.Save(args.Option("save-profile"), options.mapping, error))
      return Failed(io, error.Describe());
  }
  ImportOutcome outcome;
  ImportProblems problems;
  const VLResult code = args.Has("dry-run")
                            ? s.Db().TryImport(s.Conn(), reading.plan, outcome, problems)
                            : s.Db().ImportPositions(s.Conn(), reading.plan, outcome, problems);
  if (code == VLResult::ImportRefused) return RefuseFile(io, file, problems);
  if (code != VLResult::Ok) return Failed(io, DatabaseCodeText(code, s.Db()));
  PrintOutcome(args, io, reading, outcome);
  return kExitOk;
}

}  // namespace

std::vector<CliCommand> ExchangeCommands() {
  return {
      {"export",
       "[PORTFOLIO...] --out FILE [--format csv|xml] [--no-cash] [--no-margin] [--no-index]",
       {"db", "out", "format"},
       {"no-cash", "no-margin", "no-index"},
       RunExport},
      {"import",
       "FILE [--portfolio NAME] [--format csv|xml|ofx] [--map FIELD=COLUMN,...] [--delimiter C] "
       "[--decimal-comma] "
       "[--date-format FORMAT] [--encoding NAME] [--skip-rows N] [--kind KIND=VALUE|VALUE...]... "
       "[--sell-when-negative] [--profile NAME] [--save-profile NAME] "
       "[--opening-positions] [--dry-run] [--allow-duplicates] [--no-cash] [--no-margin] [--no-index]",
       {"db", "portfolio", "format", "map", "delimiter", "date-format", "encoding", "skip-rows", "kind",
        "profile", "save-profile", "profiles"},
       {"decimal-comma", "sell-when-negative", "opening-positions", "dry-run", "allow-duplicates", "no-cash",
        "no-margin", "no-index"},
       RunImport},
  };
}
