#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "portfolio/columns/number_format.h"
#include "portfolio/exchange/file_values.h"
#include "portfolio/exchange/import_problem.h"
#include "portfolio/records/vl_income_item.h"

class VLHoldingItem;
class VLStockHoldingItem;
struct ImportStep;

inline constexpr size_t kImportFieldCount = static_cast<size_t>(ImportField::Count);

// The texts of one row of a file, by field; a field the file does not give stays empty.
using RowTexts = std::array<std::string, kImportFieldCount>;
inline std::string& At(RowTexts& texts, ImportField field) {
  return texts[static_cast<size_t>(field)];
}
inline const std::string& At(const RowTexts& texts, ImportField field) {
  return texts[static_cast<size_t>(field)];
}

// One cell of the preview: the value as the import reads it (an amount in the user's number format, a
// date as YYYY-MM-DD), or, when the field fails its check, the text of the file and the problem.
struct PreviewCell {
  std::string text;
  std::string problem;
};
using RowCells = std::array<PreviewCell, kImportFieldCount>;

// A price or amount of a file that had more decimals than a record keeps, and was rounded to them.
struct ImportRounding {
  int line = 0;
  ImportField field = ImportField::None;
  std::string from;  // as the file wrote it
  std::string to;    // as it was read, in the user's number format
};

// How a file writes its numbers and dates.
struct RowReading {
  NumberFormat numbers = NumberFormat::English();
  std::string datePattern = "YYYY-MM-DD";
};

// Checks one row with the entry checks of the position and sell dialogs, after reading its numbers and
// dates as the file writes them. Each problem is added to `problems` with the row's line; a field that
// cannot be read is reported as such, and only a row whose fields all read is given to the dialogs' checks
// (which stop at their first failure, as in the dialog). `cells`, when given, receives the preview.
class RowChecker {
 public:
  // Each rounding is added to `roundings`, when given.
  RowChecker(const RowReading& reading, int line, ImportProblems& problems, RowCells* cells = nullptr,
             std::vector<ImportRounding>* roundings = nullptr);

  // A stock position: held, or sold when any sale field is given. Null when the row is refused.
  std::unique_ptr<VLStockHoldingItem> Stock(const RowTexts& texts);
  // A cash position or margin debt (kind 1 or 2): the amount and the comment (its description).
  std::unique_ptr<VLHoldingItem> Money(int32_t kind, const RowTexts& texts);
  // A sale of shares (quantity, sale price, sale date, sale commission; the symbol): `step` gets them.
  [[nodiscard]] bool Sale(const RowTexts& texts, ImportStep& step);
  // A payment of income of `kind`: the symbol, the amount (its gross, with its sign), withholding, fees,
  // the shares (quantity), the pay date (date), the currency and the comment. A `tax` row's amount is tax
  // withheld, kept as a negative gross of kind "other". False (a problem) when the row is refused.
  [[nodiscard]] bool Income(const RowTexts& texts, IncomeKind kind, bool tax, VLIncomeItem& income);
  // A portfolio name, trimmed; false (a problem) when blank.
  [[nodiscard]] bool PortfolioName(const std::string& text, std::string& name);

  // Adds a problem of this row, marking the field's preview cell.
  void Problem(ImportField field, const std::string& text);

 private:
  // Reads a number field into the text an entry field would hold; false with a problem when it is no
  // number of the kind.
  bool Number(const RowTexts& texts, ImportField field, FileNumberKind kind, std::string& entryText);
  bool Date(const RowTexts& texts, ImportField field, std::optional<int64_t>& date);
  bool Tag(const RowTexts& texts, uint32_t& tag);
  // The row's fees in cents, to be added to the commission of its trade (0 when it gives none).
  bool Fees(const RowTexts& texts, uint32_t& cents);
  // Adds `fees` to a commission of `field`; false with a problem when the sum is too large to keep.
  bool AddFees(ImportField field, uint32_t fees, uint32_t& commission);
  void Failed(const EntryCheck& check, const RowTexts& texts);
  void Show(ImportField field, const std::string& text);

  const RowReading& reading;
  int line;
  ImportProblems& problems;
  RowCells* cells;
  std::vector<ImportRounding>* roundings;
};
