#include "portfolio/exchange/import_reading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "framework/file_error.h"
#include "framework/file_util.h"
#include "framework/full_io.h"
#include "framework/regular_file.h"
#include "portfolio/checks/portfolio_name_check.h"
#include "portfolio/checks/typed_number.h"
#include "portfolio/exchange/import_formats.h"
#include "portfolio/records/currency_units.h"
#include "portfolio/records/vl_stock_holding_item.h"

namespace {

// Larger files are refused before they are read: a statement or a list of positions is far smaller.
constexpr size_t kMaxImportBytes = 256u * 1024 * 1024;

// The whole file, unless it cannot be read or is larger than `limit`.
bool ReadWholeFile(const std::string& path, std::string& bytes, size_t limit, FileError& error) {
  FileHandle file;
  if (!OpenRegularFile(path, O_RDONLY, file, error)) return false;
  struct stat info {};
  if (::fstat(file.Get(), &info) != 0) {
    error = FileError::FromErrno("read", path);
    return false;
  }
  if (!S_ISREG(info.st_mode) || static_cast<uint64_t>(info.st_size) > limit) {
    error = FileError::WithReason(
        "read", path, S_ISREG(info.st_mode) ? "the file is too large to import" : "it is not a file");
    return false;
  }
  bytes.resize(static_cast<size_t>(info.st_size));
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ReadSome(file.Get(), bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      error = FileError::FromErrno("read", path);
      return false;
    }
    if (n == 0) break;  // the file shrank meanwhile: what is there is read
    done += static_cast<size_t>(n);
  }
  bytes.resize(done);
  return true;
}

}  // namespace

const char* ExchangeFormatName(ExchangeFormat format) {
  return ImportFormatInfoOf(format).name;
}

RowSink::RowSink(ImportReading& reading, const ImportOptions& options, RowReading rowReading,
                 std::vector<ImportField> previewFields)
    : reading(reading), options(options), rowReading(std::move(rowReading)) {
  reading.preview.fields = std::move(previewFields);
}

bool RowSink::Progress(size_t done, size_t total) {
  if (!options.progress || options.progress(done, total)) return true;
  reading.cancelled = true;
  return false;
}

void RowSink::Preview(int line, RowKind kind, RowCells& cells) {
  if (kind == RowKind::Sale) {
    // A sale of a list of transactions shows under the trade's columns, which it was read from.
    constexpr std::pair<ImportField, ImportField> kSaleCells[] = {
        {ImportField::Price, ImportField::SalePrice},
        {ImportField::Date, ImportField::SaleDate},
        {ImportField::Commission, ImportField::SaleCommission}};
    for (const auto& [trade, sale] : kSaleCells) {
      const std::vector<ImportField>& shown = reading.preview.fields;
      if (std::find(shown.begin(), shown.end(), sale) != shown.end()) continue;  // it has a column of its own
      PreviewCell& cell = cells[static_cast<size_t>(trade)];
      if (cell.text.empty() && cell.problem.empty()) cell = cells[static_cast<size_t>(sale)];
    }
  }
  ImportPreview::Row row{line, {}};
  for (ImportField field : reading.preview.fields) row.cells.push_back(cells[static_cast<size_t>(field)]);
  reading.preview.rows.push_back(std::move(row));
}

bool RowSink::TakesPortfolio(int line, const std::string& name) {
  if (reading.plan.portfolios.size() < ImportPlan::kMaxPortfolios || reading.plan.HasPortfolio(name))
    return true;
  if (!reading.tooManyPortfolios) {
    reading.problems.push_back({line, ImportField::Portfolio,
                                "the file names more than " + std::to_string(ImportPlan::kMaxPortfolios) +
                                    " portfolios, more than one import may create"});
  }
  reading.tooManyPortfolios = true;
  return false;
}

void RowSink::PortfolioBase(int line, const std::string& portfolioName, const std::string& baseCurrency) {
  if (baseCurrency.empty() || !TrimBlanks(options.targetPortfolio).empty()) return;
  if (!IsBaseCurrencyForm(baseCurrency)) {
    reading.problems.push_back({line, ImportField::Portfolio,
                                "the base currency '" + baseCurrency +
                                    "' is not a currency code (three capital letters such as EUR)"});
    return;
  }
  const std::string name(TrimBlanks(portfolioName));
  if (reading.plan.HasPortfolio(name))
    reading.plan.portfolios[reading.plan.PortfolioIndex(name)].baseCurrency = baseCurrency;
}

bool RowSink::AddIncome(int line, IncomeKind kind, bool tax, const RowTexts& texts,
                        const std::string& portfolioName, std::optional<size_t> reinvestStep) {
  ++reading.rows;
  RowChecker check(rowReading, line, reading.problems);
  std::string name = std::string(TrimBlanks(options.targetPortfolio));
  bool ok = name.empty() ? check.PortfolioName(portfolioName, name) : true;
  ImportIncome row;
  row.line = line;
  row.tax = tax;
  row.reinvestStep = reinvestStep;
  ok = check.Income(texts, kind, tax, row.income) && ok;
  if (!ok || !TakesPortfolio(line, name)) return false;
  row.portfolio = reading.plan.PortfolioIndex(name);
  reading.plan.incomes.push_back(std::move(row));
  return true;
}

bool RowSink::Add(int line, RowKind kind, const RowTexts& texts, const std::string& portfolioName,
                  const std::string& portfolioComment, bool matchSplitParts, bool opening) {
  const bool cash = kind == RowKind::Cash || kind == RowKind::CashBalance;
  const bool margin = kind == RowKind::Margin || kind == RowKind::MarginBalance;
  const std::string_view symbol = TrimBlanks(At(texts, ImportField::Symbol));
  const bool index = (kind == RowKind::Stock || kind == RowKind::Sale) && !symbol.empty() && symbol[0] == '^';
  if ((cash && !options.cash) || (margin && !options.margin) || (index && !options.indexes)) {
    ++reading.leftOut;
    return true;
  }
  if (kind != RowKind::PortfolioOnly) ++reading.rows;
  RowCells cells;
  const bool preview = reading.preview.rows.size() < options.previewRows;
  RowChecker check(rowReading, line, reading.problems, preview ? &cells : nullptr, &reading.roundings);
  bool ok = true;
  ImportStep step;
  step.line = line;
  step.matchSplitParts = matchSplitParts;
  step.opening = opening;
  std::string name = std::string(TrimBlanks(options.targetPortfolio));
  if (name.empty()) ok = check.PortfolioName(portfolioName, name);
  if (EntryCheck comment = CheckPortfolioComment(portfolioComment); !comment.Ok()) {
    check.Problem(ImportField::PortfolioComment,
                  CheckProblemText(comment, ImportField::PortfolioComment, portfolioComment));
    ok = false;
  }
  cells[static_cast<size_t>(ImportField::Kind)].text = std::string(TrimBlanks(At(texts, ImportField::Kind)));
  cells[static_cast<size_t>(ImportField::PortfolioComment)].text = portfolioComment;
  if (cells[static_cast<size_t>(ImportField::Portfolio)].text.empty()) {
    cells[static_cast<size_t>(ImportField::Portfolio)].text = name;
  }
  switch (kind) {
    case RowKind::Stock:
      step.holding = check.Stock(texts);
      ok = step.holding && ok;
      break;
    case RowKind::Cash:
    case RowKind::CashBalance:
      step.holding = check.Money(kHoldingCash, texts);
      ok = step.holding && ok;
      break;
    case RowKind::Margin:
    case RowKind::MarginBalance:
      step.holding = check.Money(kHoldingMargin, texts);
      ok = step.holding && ok;
      break;
    case RowKind::Sale:
      step.kind = ImportStepKind::Sell;
      ok = check.Sale(texts, step) && ok;
      break;
    case RowKind::PortfolioOnly:
      break;
  }
  if (kind == RowKind::CashBalance || kind == RowKind::MarginBalance) step.kind = ImportStepKind::SetBalance;
  if (preview) Preview(line, kind, cells);
  if (!ok || !TakesPortfolio(line, name)) return false;
  step.portfolio = reading.plan.PortfolioIndex(name, portfolioComment);
  if (kind != RowKind::PortfolioOnly) reading.plan.steps.push_back(std::move(step));
  return true;
}

namespace {

// A reading of `format` that has not begun yet: false with the problem when its rows need a portfolio named.
bool StartReading(ExchangeFormat format, const ImportOptions& options, ImportReading& reading) {
  reading.format = format;
  reading.plan.allowDuplicates = options.allowDuplicates;
  if (ImportFormatInfoOf(format).needsTarget && TrimBlanks(options.targetPortfolio).empty()) {
    reading.problems.push_back(
        {0, ImportField::Portfolio, "no portfolio was named for the positions of this file"});
    return false;
  }
  return true;
}

}  // namespace

ImportReading ReadImportText(std::string_view bytes, const std::string& fileName,
                             const ImportOptions& options) {
  ImportReading reading;
  const ExchangeFormat format =
      options.format == ExchangeFormat::Detect ? DetectExchangeFormat(bytes, fileName) : options.format;
  if (!StartReading(format, options, reading)) return reading;
  const ImportFormatInfo& info = ImportFormatInfoOf(format);
  if (info.readsFromFile) {
    reading.problems.push_back({0, ImportField::None, "a statement is read from its file"});
  } else if (info.read) {
    info.read(bytes, fileName, options, reading);
  }
  return reading;
}

ImportReading ReadImportFile(const std::string& path, const ImportOptions& options) {
  std::string bytes;
  FileError error;
  if (!ReadWholeFile(path, bytes, kMaxImportBytes, error)) {
    ImportReading reading;
    reading.unreadable = true;
    reading.problems.push_back({0, ImportField::None, error.Describe()});
    return reading;
  }
  const ExchangeFormat format =
      options.format == ExchangeFormat::Detect ? DetectExchangeFormat(bytes, path) : options.format;
  const ImportFormatInfo& info = ImportFormatInfoOf(format);
  if (!info.readsFromFile) return ReadImportText(bytes, path, options);
  ImportReading reading;
  if (StartReading(format, options, reading)) info.read(bytes, path, options, reading);
  return reading;
}
