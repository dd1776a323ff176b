#include "portfolio/exchange/vellumar_csv.h"

#include <cctype>
#include <iterator>

#include "framework/text_util.h"
#include "portfolio/checks/typed_number.h"
#include "portfolio/exchange/csv_formula.h"
#include "portfolio/exchange/csv_text.h"
#include "portfolio/exchange/export_data.h"
#include "portfolio/exchange/holding_texts.h"
#include "portfolio/exchange/price_rows.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_stock_holding_item.h"

namespace {

// The columns in order: one per field from the portfolio's name to the tag, the currency after them in a
// file with a position of its own currency, and the fees and withholding after that in a file with income
// (older files end with the tag).
constexpr ImportField kFirstColumn = ImportField::Portfolio;
constexpr size_t kColumnCount = static_cast<size_t>(ImportField::Tag) - static_cast<size_t>(kFirstColumn) + 1;
constexpr size_t kColumnCountWithCurrency = kColumnCount + 1;
constexpr size_t kColumnCountWithIncome = kColumnCountWithCurrency + 2;
constexpr const char* kCurrencyHeader = "Currency";
constexpr const char* kIncomeHeaders[] = {"Fees", "Withholding"};
static_assert(static_cast<size_t>(ImportField::Currency) == static_cast<size_t>(kFirstColumn) + kColumnCount);
static_assert(static_cast<size_t>(ImportField::Fees) == static_cast<size_t>(kFirstColumn) + kColumnCount + 1);
static_assert(static_cast<size_t>(ImportField::Withholding) ==
              static_cast<size_t>(kFirstColumn) + kColumnCount + 2);

ImportField ColumnField(size_t column) {
  return static_cast<ImportField>(static_cast<size_t>(kFirstColumn) + column);
}

// The columns of free text, which a spreadsheet could take for a formula.
bool IsTextColumn(ImportField field) {
  return field == ImportField::Portfolio || field == ImportField::PortfolioComment ||
         field == ImportField::Symbol || field == ImportField::Comment;
}

// Trimmed, in lower case: how names in a file compare.
std::string Folded(std::string_view text) {
  return AsciiLower(TrimBlanks(text));
}

// The number of columns the header row names (with or without the currency), or 0 when it is no header.
size_t HeaderColumns(const std::vector<std::string>& fields) {
  const std::vector<std::string>& header = VellumarCsvHeader();
  if (fields.size() != kColumnCount && fields.size() != kColumnCountWithCurrency &&
      fields.size() != kColumnCountWithIncome)
    return 0;
  for (size_t i = 0; i < header.size(); ++i) {
    if (Folded(fields[i]) != Folded(header[i])) return 0;
  }
  if (fields.size() >= kColumnCountWithCurrency && Folded(fields[kColumnCount]) != Folded(kCurrencyHeader))
    return 0;
  if (fields.size() == kColumnCountWithIncome &&
      (Folded(fields[kColumnCount + 1]) != Folded(kIncomeHeaders[0]) ||
       Folded(fields[kColumnCount + 2]) != Folded(kIncomeHeaders[1])))
    return 0;
  return fields.size();
}

bool HasOwnCurrency(const ExportData& data) {
  for (const ExportPortfolio& portfolio : data.portfolios) {
    for (const VLHoldingItem* position : portfolio.positions) {
      if (position->GetKind() == kHoldingStock &&
          !static_cast<const VLStockHoldingItem*>(position)->currency.empty())
        return true;
    }
  }
  return false;
}

}  // namespace

const std::vector<std::string>& VellumarCsvHeader() {
  static const std::vector<std::string> header = {
      "Portfolio",
      "Portfolio Comment",
      "Kind",
      "Symbol",
      "Quantity",
      "Price",
      "Date",
      "Commission",
      "Sale Price",
      "Sale Date",
      "Sale Commission",
      "Buy Target",
      "Sell Target",
      "Stop Loss",
      "Marginable",
      "Margin Equity",
      "Margin Threshold",
      "Amount",
      "Comment",
      "Tag",
  };
  return header;
}

bool IsVellumarCsv(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  const size_t end = text.find_first_of("\r\n");
  std::vector<CsvRecord> records;
  CsvReadError error;
  (void)ReadCsv(text.substr(0, end), ',', records, error);
  return !records.empty() && HeaderColumns(records[0].fields) != 0;
}

std::string WriteVellumarCsv(const ExportData& data) {
  // A file whose positions all take their exchange's currency keeps the older form, column for column.
  const size_t columns = !data.incomes.empty()  ? kColumnCountWithIncome
                         : HasOwnCurrency(data) ? kColumnCountWithCurrency
                                                : kColumnCount;
  std::string out;
  std::vector<std::string> fields = VellumarCsvHeader();
  if (columns >= kColumnCountWithCurrency) fields.push_back(kCurrencyHeader);
  if (columns == kColumnCountWithIncome)
    fields.insert(fields.end(), std::begin(kIncomeHeaders), std::end(kIncomeHeaders));
  AppendCsvRecord(out, fields);
  for (const ExportPortfolio& portfolio : data.portfolios) {
    const auto write = [&](const RowTexts& texts) {
      for (size_t c = 0; c < columns; ++c) fields[c] = At(texts, ColumnField(c));
      fields[0] = portfolio.name;
      fields[1] = portfolio.comment;
      for (size_t c = 0; c < columns; ++c) {
        if (IsTextColumn(ColumnField(c))) fields[c] = NeutralizeFormula(fields[c]);
      }
      AppendCsvRecord(out, fields);
    };
    if (portfolio.positions.empty()) {
      RowTexts texts;
      At(texts, ImportField::Kind) = kPortfolioKindName;
      write(texts);
    }
    for (const VLHoldingItem* position : portfolio.positions) write(HoldingTexts(*position));
  }
  for (const VLManualPriceItem& price : data.prices) {
    std::fill(fields.begin(), fields.end(), std::string());
    const auto set = [&](ImportField field, std::string text) {
      fields[static_cast<size_t>(field) - static_cast<size_t>(kFirstColumn)] = std::move(text);
    };
    set(ImportField::Kind, kPriceKindName);
    set(ImportField::Symbol, NeutralizeFormula(price.name));
    set(ImportField::Price, PriceValueText(price));
    set(ImportField::Date, PriceDayText(price));
    AppendCsvRecord(out, fields);
  }
  // Each payment: its kind, the pay date as the date, the ex-date as the sale date, the gross as the amount.
  for (const ExportIncome& paid : data.incomes) {
    const VLIncomeItem& i = paid.income;
    std::fill(fields.begin(), fields.end(), std::string());
    const auto set = [&](ImportField field, std::string text) {
      fields[static_cast<size_t>(field) - static_cast<size_t>(kFirstColumn)] = std::move(text);
    };
    set(ImportField::Portfolio, NeutralizeFormula(paid.portfolio));
    set(ImportField::Kind, IncomeKindName(i.kind));
    set(ImportField::Symbol, NeutralizeFormula(i.name));
    if (!i.shares.IsZero()) set(ImportField::Quantity, DecimalText(i.shares));
    set(ImportField::Date, StoredDayText(i.payDate));
    if (i.exDate != 0) set(ImportField::SaleDate, StoredDayText(i.exDate));
    set(ImportField::Amount, DecimalUnitsText(i.gross, 2, 2));
    set(ImportField::Comment, NeutralizeFormula(i.comment));
    set(ImportField::Currency, i.currency);
    set(ImportField::Fees, DecimalUnitsText(i.fees, 2, 2));
    set(ImportField::Withholding, DecimalUnitsText(i.withholding, 2, 2));
    AppendCsvRecord(out, fields);
  }
  return out;
}

void ReadVellumarCsv(std::string_view text, const ImportOptions& options, ImportReading& reading) {
  RowSink sink(
      reading, options, RowReading{},
      {ImportField::Portfolio, ImportField::Kind, ImportField::Symbol, ImportField::Quantity,
       ImportField::Price, ImportField::Date, ImportField::Commission, ImportField::SalePrice,
       ImportField::SaleDate, ImportField::SaleCommission, ImportField::Amount, ImportField::Comment});
  const size_t total = CountCsvLines(text);
  size_t read = 0;
  bool header = false;
  size_t columns = 0;  // as the header names them
  // Each row is checked as it is read: only the rows' results stay in memory, never all their fields.
  const auto row = [&](CsvRecord& record) {
    if (!header) {
      header = true;
      columns = HeaderColumns(record.fields);
      if (columns >= kColumnCountWithCurrency) reading.preview.fields.push_back(ImportField::Currency);
      if (columns != 0) return true;
      reading.problems.push_back(
          {record.line, ImportField::None, "the first row is not the Vellumar CSV header"});
      return false;
    }
    if (++read % 64 == 0 && !sink.Progress(static_cast<size_t>(record.line), total)) return false;
    bool blank = true;
    for (const std::string& field : record.fields) blank = blank && TrimBlanks(field).empty();
    if (blank) return true;
    if (record.fields.size() != columns) {
      reading.problems.push_back({record.line, ImportField::None,
                                  "the row has " + std::to_string(record.fields.size()) +
                                      " columns instead of " + std::to_string(columns)});
      return true;
    }
    RowTexts texts;
    for (size_t c = 0; c < columns; ++c) {
      const ImportField field = ColumnField(c);
      At(texts, field) = IsTextColumn(field) ? RestoreFormula(record.fields[c]) : std::move(record.fields[c]);
    }
    if (Folded(At(texts, ImportField::Kind)) == kPriceKindName) {
      ReadPriceRow(record.line, std::string(TrimBlanks(At(texts, ImportField::Symbol))),
                   std::string(TrimBlanks(At(texts, ImportField::Date))), At(texts, ImportField::Price),
                   reading);
      return true;
    }
    if (IncomeKind income; IncomeKindByName(std::string(TrimBlanks(At(texts, ImportField::Kind))), income)) {
      (void)sink.AddIncome(record.line, income, false, texts, At(texts, ImportField::Portfolio));
      return true;
    }
    RowKind kind = RowKind::Stock;
    if (!HoldingKindOfName(At(texts, ImportField::Kind), kind)) {
      reading.problems.push_back({record.line, ImportField::Kind,
                                  "the kind '" + std::string(TrimBlanks(At(texts, ImportField::Kind))) +
                                      "' is not stock, cash, margin, portfolio, price or a kind of income"});
      return true;
    }
    (void)sink.Add(record.line, kind, texts, At(texts, ImportField::Portfolio),
                   At(texts, ImportField::PortfolioComment));
    return true;
  };
  // A file that is no CSV is refused as such before any row of it is judged.
  CsvReadError error;
  if (!ForEachCsvRecord(
          text, ',', [](CsvRecord&) { return true; }, error)) {
    reading.problems.push_back({error.line, ImportField::None, error.text});
    return;
  }
  (void)ForEachCsvRecord(text, ',', row, error);
  if (!header) {
    reading.problems.push_back({0, ImportField::None, "the first row is not the Vellumar CSV header"});
    return;
  }
  if (!reading.cancelled) (void)sink.Progress(total, total);
}
