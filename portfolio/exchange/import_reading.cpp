#include "portfolio/exchange/import_reading.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "framework/file_error.h"
#include "framework/file_util.h"
#include "framework/regular_file.h"
#include "portfolio/checks/portfolio_name_check.h"
#include "portfolio/checks/typed_number.h"
#include "portfolio/exchange/mapped_csv.h"
#include "portfolio/exchange/ofx_statement.h"
#include "portfolio/exchange/vellumar_csv.h"
#include "portfolio/exchange/vellumar_xml.h"
#include "portfolio/records/vl_stock_holding_item.h"

namespace {

// Larger files are refused before they are read: a statement or a list of positions is far smaller.
constexpr size_t kMaxImportBytes = 256u * 1024 * 1024;

std::string LowerExtension(const std::string& fileName) {
  const size_t dot = fileName.find_last_of('.');
  const size_t slash = fileName.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string extension = fileName.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

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
    const ssize_t n = ::read(file.Get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
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

bool NeedsTarget(ExchangeFormat format) {
  return format == ExchangeFormat::MappedCsv || format == ExchangeFormat::Ofx;
}

}  // namespace

const char* ExchangeFormatName(ExchangeFormat format) {
  switch (format) {
    case ExchangeFormat::VellumarCsv:
      return "csv";
    case ExchangeFormat::VellumarXml:
      return "xml";
    case ExchangeFormat::MappedCsv:
      return "mapped-csv";
    case ExchangeFormat::Ofx:
      return "ofx";
    case ExchangeFormat::Detect:
      break;
  }
  return "auto";
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
  if (preview && kind == RowKind::Sale) {
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
  if (preview) {
    ImportPreview::Row row{line, {}};
    for (ImportField field : reading.preview.fields) row.cells.push_back(cells[static_cast<size_t>(field)]);
    reading.preview.rows.push_back(std::move(row));
  }
  if (!ok) return false;
  if (reading.plan.portfolios.size() >= ImportPlan::kMaxPortfolios && !reading.plan.HasPortfolio(name)) {
    if (!reading.tooManyPortfolios) {
      reading.problems.push_back({line, ImportField::Portfolio,
                                  "the file names more than " + std::to_string(ImportPlan::kMaxPortfolios) +
                                      " portfolios, more than one import may create"});
    }
    reading.tooManyPortfolios = true;
    return false;
  }
  step.portfolio = reading.plan.PortfolioIndex(name, portfolioComment);
  if (kind != RowKind::PortfolioOnly) reading.plan.steps.push_back(std::move(step));
  return true;
}

ExchangeFormat DetectExchangeFormat(std::string_view bytes, const std::string& fileName) {
  const std::string_view head = bytes.substr(0, 4096);
  if (head.find("OFXHEADER") != std::string_view::npos || head.find("<OFX>") != std::string_view::npos) {
    return ExchangeFormat::Ofx;
  }
  if (head.find("<VellumarPortfolios") != std::string_view::npos) return ExchangeFormat::VellumarXml;
  if (IsVellumarCsv(bytes)) return ExchangeFormat::VellumarCsv;
  const std::string extension = LowerExtension(fileName);
  if (extension == "ofx" || extension == "qfx") return ExchangeFormat::Ofx;
  if (extension == "xml") return ExchangeFormat::VellumarXml;
  return ExchangeFormat::MappedCsv;
}

ImportReading ReadImportText(std::string_view bytes, const std::string& fileName,
                             const ImportOptions& options) {
  ImportReading reading;
  reading.format =
      options.format == ExchangeFormat::Detect ? DetectExchangeFormat(bytes, fileName) : options.format;
  reading.plan.allowDuplicates = options.allowDuplicates;
  if (NeedsTarget(reading.format) && TrimBlanks(options.targetPortfolio).empty()) {
    reading.problems.push_back(
        {0, ImportField::Portfolio, "no portfolio was named for the positions of this file"});
    return reading;
  }
  switch (reading.format) {
    case ExchangeFormat::VellumarCsv: {
      // Vellumar's own files hold the texts as stored, byte for byte, unless the user says otherwise.
      const DecodedText text =
          DecodeText(bytes, options.mapping.encoding == TextEncoding::Latin1 ? TextEncoding::Latin1
                                                                             : TextEncoding::Utf8);
      reading.encoding = text.encoding;
      ReadVellumarCsv(text.text, options, reading);
      break;
    }
    case ExchangeFormat::VellumarXml:
      ReadVellumarXml(bytes, options, reading);
      break;
    case ExchangeFormat::MappedCsv: {
      const DecodedText text = DecodeText(bytes, options.mapping.encoding);
      reading.encoding = text.encoding;
      ReadMappedCsv(text.text, options, reading);
      break;
    }
    case ExchangeFormat::Ofx:
      reading.problems.push_back({0, ImportField::None, "a statement is read from its file"});
      break;
    case ExchangeFormat::Detect:
      break;
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
  if (format != ExchangeFormat::Ofx) return ReadImportText(bytes, path, options);
  ImportReading reading;
  reading.format = format;
  reading.plan.allowDuplicates = options.allowDuplicates;
  if (TrimBlanks(options.targetPortfolio).empty()) {
    reading.problems.push_back(
        {0, ImportField::Portfolio, "no portfolio was named for the positions of this file"});
    return reading;
  }
  ReadOfxStatement(path, bytes, options, reading);
  return reading;
}
