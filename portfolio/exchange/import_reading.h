#pragma once
#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "portfolio/exchange/csv_mapping.h"
#include "portfolio/exchange/import_plan.h"
#include "portfolio/exchange/import_problem.h"
#include "portfolio/exchange/import_row.h"
#include "portfolio/exchange/text_encoding.h"

// The forms a file can be imported from.
enum class ExchangeFormat {
  Detect,       // from the content (and the file name's extension)
  VellumarCsv,  // Vellumar's own CSV
  VellumarXml,  // Vellumar's own XML
  MappedCsv,    // any CSV, through a mapping
  Ofx,          // an OFX or QFX investment statement (SGML 1.x or XML 2.x)
};
// "csv", "xml", "mapped-csv", "ofx" ("auto" for Detect).
const char* ExchangeFormatName(ExchangeFormat format);

struct ImportOptions {
  ExchangeFormat format = ExchangeFormat::Detect;
  CsvMapping mapping;  // for a CSV file that is not Vellumar's
  // The portfolio every row goes into (created when missing). Required for a mapped CSV and a statement;
  // for a Vellumar file it replaces the portfolios the file names.
  std::string targetPortfolio;
  bool cash = true;     // import cash positions (a statement's cash balance)
  bool margin = true;   // import margin debts
  bool indexes = true;  // import positions in a market index (symbols beginning with '^')
  bool allowDuplicates = false;
  // A statement's holdings list, less what its transactions bought and sold, is what was held before its
  // first trade: those shares become positions dated the statement's start (what the portfolio holds of
  // them already excepted).
  bool openingPositions = false;
  size_t previewRows = 20;
  // Called now and then while rows are read, with the rows done and the rows in all; false cancels.
  std::function<bool(size_t done, size_t total)> progress;
};

// The first rows of the file as the import reads them, one cell per field in `fields`.
struct ImportPreview {
  struct Row {
    int line = 0;
    std::vector<PreviewCell> cells;
  };
  std::vector<ImportField> fields;
  std::vector<Row> rows;
};

// A row of the file that is neither imported nor refused: a transaction of a kind the import does not make
// positions of (a dividend, a deposit), or one whose kind the mapping does not name. Listed, never dropped
// without a word.
struct SkippedRow {
  int line = 0;
  std::string kind;  // the kind's name ("dividend"), or the file's value when no kind names it
  std::string symbol;
  std::string date;    // as the file writes it
  std::string amount;  // the row's money as the file writes it (its amount, else its price)
  std::string reason;

  // "line 4: skipped (dividend SPY 10/31/2023 $694.48): only purchases and sales become positions".
  std::string Describe() const;
};

// Everything read from a file, before anything touches the database: the plan the database is to apply,
// or the problems that refuse the file.
struct ImportReading {
  ExchangeFormat format = ExchangeFormat::Detect;
  TextEncoding encoding = TextEncoding::Utf8;  // how the text was read
  ImportPlan plan;
  ImportProblems problems;
  // What the file gets wrong that does not keep it from being read (a statement that breaks the OFX rules of
  // its document type, but whose transactions read): said with the result.
  ImportProblems warnings;
  ImportPreview preview;
  std::vector<std::string> header;  // a mapped CSV's column names ("#1", "#2"... for a file without a header)
  std::map<ImportField, int> columns;  // a mapped CSV's column of each field read (0-based)
  int rows = 0;                        // rows read (positions, sales, balances)
  int leftOut = 0;                     // rows of kinds the options leave out
  std::vector<SkippedRow> skipped;
  // A mapped CSV's distinct values of its kind column, trimmed, in the order first met (at most
  // kMaxKindValues): what the window offers to map.
  static constexpr size_t kMaxKindValues = 200;
  std::vector<std::string> kindValues;
  int openingPositions = 0;  // a statement's positions held before its first trade, from its holdings list
  // The mapping gives no column for a field every trade needs: wrong usage, whatever the file holds.
  bool mappingIncomplete = false;
  // Prices and amounts with more decimals than a record keeps, rounded to them (half away from zero).
  std::vector<ImportRounding> roundings;
  bool cancelled = false;
  bool unreadable = false;         // the file could not be read at all (its one problem says why)
  bool tooManyPortfolios = false;  // the file names more than ImportPlan::kMaxPortfolios (said once)

  bool Refused() const { return !problems.empty() || cancelled; }
};

// What a reader does with each row once its texts are known.
enum class RowKind { Stock, Cash, Margin, Sale, CashBalance, MarginBalance, PortfolioOnly };

// Checks rows and adds them to a reading: the step, the problems and, for the first rows, the preview.
class RowSink {
 public:
  RowSink(ImportReading& reading, const ImportOptions& options, RowReading rowReading,
          std::vector<ImportField> previewFields);

  // `portfolioName` and `portfolioComment` are a Vellumar file's (empty for the others, whose rows go into
  // the target portfolio). False when the row was refused.
  bool Add(int line, RowKind kind, const RowTexts& texts, const std::string& portfolioName = {},
           const std::string& portfolioComment = {}, bool matchSplitParts = false, bool opening = false);
  // A payment of income (RowChecker::Income) into the plan's incomes; `reinvestStep` is the step of the
  // purchase its cash made, if any. False when the row was refused.
  bool AddIncome(int line, IncomeKind kind, bool tax, const RowTexts& texts,
                 const std::string& portfolioName = {}, std::optional<size_t> reinvestStep = std::nullopt);
  // Reports progress; false when the user cancelled (the reading is then marked so).
  bool Progress(size_t done, size_t total);
  // The base currency a Vellumar file gives the portfolio `portfolioName` (read after its rows), for the
  // portfolio the import creates; nothing when the rows go into a chosen portfolio. A text that is no base
  // currency is a problem of `line`.
  void PortfolioBase(int line, const std::string& portfolioName, const std::string& baseCurrency);

 private:
  // The row's cells into the preview (a sale's under the trade's columns where it has none of its own).
  void Preview(int line, RowKind kind, RowCells& cells);
  // Whether a row may go into the portfolio `name`: false, with the problem once, when the file names more
  // portfolios than an import may create.
  bool TakesPortfolio(int line, const std::string& name);

  ImportReading& reading;
  const ImportOptions& options;
  RowReading rowReading;
};

// Reads a file in the form `options.format` names (or the form its content shows). A file that cannot be
// read is a problem of line 0 naming the reason.
ImportReading ReadImportFile(const std::string& path, const ImportOptions& options);
// The same for text already in memory; `fileName` (its extension) helps tell the form. A statement (OFX)
// is read from a file only.
ImportReading ReadImportText(std::string_view bytes, const std::string& fileName,
                             const ImportOptions& options);
