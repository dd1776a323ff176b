#include "portfolio/exchange/mapped_csv.h"

#include <algorithm>
#include <memory>
#include <set>

#include "framework/text_util.h"
#include "portfolio/checks/typed_number.h"
#include "portfolio/exchange/csv_text.h"
#include "portfolio/exchange/file_values.h"
#include "portfolio/exchange/split_rows.h"
#include "portfolio/exchange/transaction_rows.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_stock_holding_item.h"

namespace {

// Past the first `rows` lines of `text`; `line` becomes the number of the first line left.
std::string_view SkipLines(std::string_view text, int rows, int& line) {
  line = 1;
  size_t i = 0;
  for (int skipped = 0; skipped < rows && i < text.size(); ++skipped) {
    const size_t end = text.find_first_of("\r\n", i);
    if (end == std::string_view::npos) return {};
    i = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
    ++line;
  }
  return text.substr(i);
}

// Takes the records of a mapped CSV file one by one: the header (or the column numbers), then the rows.
class MappedRows {
 public:
  MappedRows(const ImportOptions& options, ImportReading& reading, int firstLine, size_t lines)
      : options(options), reading(reading), firstLine(firstLine), lines(lines) {}

  // False to stop: the columns cannot be found, or the user cancelled.
  bool Take(CsvRecord& record) {
    record.line += firstLine - 1;
    if (!started) return Start(record);
    if (++read % 64 == 0 && !sink->Progress(static_cast<size_t>(record.line - firstLine + 1), lines))
      return false;
    Row(record);
    return true;
  }

  void Finish() {
    if (!started) (void)Columns(firstLine);  // an empty file: the mapping's columns are missing
    if (sink && !reading.cancelled) (void)sink->Progress(lines, lines);
    // A list of transactions (a kind column, or sales as negative quantities) is as traded; a list of
    // positions is in today's shares, as the broker shows them now.
    reading.plan.asTraded = Transactions();
    if (!reading.Refused() && !splits.empty())
      AddSplitRows(splits, rowReading.numbers, rowReading.datePattern, reading);
    MergeTaxRows(reading.plan);
  }

 private:
  bool Start(CsvRecord& record) {
    started = true;
    const bool header = options.mapping.HasHeader();
    if (header) {
      reading.header = record.fields;
    } else {
      for (size_t i = 0; i < record.fields.size(); ++i) reading.header.push_back("#" + std::to_string(i + 1));
    }
    if (!Columns(header ? record.line : firstLine)) return false;
    if (!header) Row(record);
    return true;
  }

  bool Columns(int headerLine) {
    columns = ResolveColumns(options.mapping, reading.header, headerLine, reading.problems);
    for (const auto& [field, index] : columns.index) {
      if (index >= 0) reading.columns[field] = index;
    }
    reading.mappingIncomplete = columns.incomplete;
    if (!reading.problems.empty()) return false;
    kindColumn = columns.Of(ImportField::Kind) >= 0;
    for (const MappedField& f : MappedFields()) {
      if (columns.Of(f.field) >= 0) shown.push_back(f.field);
    }
    rowReading.numbers = FileNumberFormat(options.mapping.decimalComma);
    rowReading.datePattern = options.mapping.dateFormat;
    sink = std::make_unique<RowSink>(reading, options, rowReading, shown);
    return true;
  }

  void Row(CsvRecord& record) {
    bool blank = true;
    for (const std::string& field : record.fields) blank = blank && TrimBlanks(field).empty();
    if (blank) return;
    RowTexts texts;
    bool complete = true;
    for (ImportField field : shown) {
      const int index = columns.Of(field);
      if (static_cast<size_t>(index) >= record.fields.size()) {
        reading.problems.push_back({record.line, field,
                                    "the row has " + std::to_string(record.fields.size()) + " columns; " +
                                        ImportFieldLabel(field) + " is in column " +
                                        std::to_string(index + 1)});
        complete = false;
        continue;
      }
      At(texts, field) = record.fields[static_cast<size_t>(index)];
    }
    if (!complete) return;
    if (kindColumn) NoteKindValue(At(texts, ImportField::Kind));
    const RowTransaction transaction = ClassifyRow(options.mapping, kindColumn, texts);
    switch (transaction.action) {
      case RowTransaction::Action::Buy:
        // A purchase of a list of transactions is the same purchase however its later sales split it.
        (void)sink->Add(record.line, RowKind::Stock, texts, {}, {}, Transactions());
        break;
      case RowTransaction::Action::Sell:
        (void)sink->Add(record.line, RowKind::Sale, texts);
        break;
      case RowTransaction::Action::Split:
        splits.push_back({record.line, At(texts, ImportField::Symbol), At(texts, ImportField::Date),
                          At(texts, ImportField::Quantity)});
        break;
      case RowTransaction::Action::Income:
        (void)sink->AddIncome(record.line, transaction.incomeKind, transaction.tax, texts);
        break;
      case RowTransaction::Action::Skip:
        reading.skipped.push_back(SkippedRowOf(record.line, transaction, texts));
        break;
    }
  }

  bool Transactions() const { return kindColumn || options.mapping.sellWhenNegative; }

  void NoteKindValue(std::string_view text) {
    const std::string value(TrimBlanks(text));
    if (reading.kindValues.size() >= ImportReading::kMaxKindValues) return;
    if (kindValuesSeen.insert(AsciiLower(value)).second) reading.kindValues.push_back(value);
  }

  const ImportOptions& options;
  ImportReading& reading;
  std::set<std::string> kindValuesSeen;
  int firstLine;
  size_t lines;
  bool started = false;
  bool kindColumn = false;
  size_t read = 0;
  ResolvedColumns columns;
  std::vector<ImportField> shown;
  RowReading rowReading;
  std::unique_ptr<RowSink> sink;
  std::vector<SplitRow> splits;  // rows of kind split, read once the trades are
};

// The day a step happens: a purchase's date, a sale's.
int64_t StepDay(const ImportStep& step) {
  if (step.kind == ImportStepKind::Sell) return DayNumberOfStoredDate(step.saleDate);
  if (!step.holding || step.holding->GetKind() != kHoldingStock) return 0;
  const auto& stock = static_cast<const VLStockHoldingItem&>(*step.holding);
  return DayNumberOrZero(stock.purchaseDate);
}

// A list of transactions that sells is applied in the order of its days, as the broker booked them: many
// write the newest first, and a sale takes the shares bought on or before its day. Steps of one day keep the
// file's order; a file without sales keeps its own order whole.
void InDateOrder(std::vector<ImportStep>& steps) {
  const bool sells = std::any_of(steps.begin(), steps.end(),
                                 [](const ImportStep& step) { return step.kind == ImportStepKind::Sell; });
  if (!sells) return;
  std::stable_sort(steps.begin(), steps.end(),
                   [](const ImportStep& a, const ImportStep& b) { return StepDay(a) < StepDay(b); });
}

}  // namespace

void ReadMappedCsv(std::string_view text, const ImportOptions& options, ImportReading& reading) {
  const CsvMapping& mapping = options.mapping;
  if (!IsDatePattern(mapping.dateFormat)) {
    reading.problems.push_back(
        {0, ImportField::Date,
         "the date format '" + mapping.dateFormat +
             "' does not hold YYYY, MM (or M) and DD (or D) once each, with a separator after a "
             "one-letter M or D"});
    return;
  }
  int firstLine = 1;
  const std::string_view rest = SkipLines(text, mapping.skipRows, firstLine);
  if (mapping.skipRows > 0 && rest.empty()) {
    const size_t lines = CountCsvLines(text);
    reading.problems.push_back(
        {0, ImportField::None,
         "the file has " + std::to_string(lines) + (lines == 1 ? " line" : " lines") +
             ", and all of them are skipped (rows to skip: " + std::to_string(mapping.skipRows) + ")"});
    return;
  }
  // The syntax first, so that a file that is no CSV is refused as such; then one record at a time, so that
  // only the rows' results stay in memory.
  CsvReadError error;
  if (!ForEachCsvRecord(
          rest, mapping.delimiter, [](CsvRecord&) { return true; }, error)) {
    reading.problems.push_back({error.line + firstLine - 1, ImportField::None, error.text});
    return;
  }
  MappedRows rows(options, reading, firstLine, CountCsvLines(rest));
  (void)ForEachCsvRecord(
      rest, mapping.delimiter, [&rows](CsvRecord& record) { return rows.Take(record); }, error);
  rows.Finish();
  if (!reading.Refused()) InDateOrder(reading.plan.steps);
}
