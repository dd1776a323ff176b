#pragma once
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "portfolio/exchange/import_problem.h"
#include "portfolio/exchange/text_encoding.h"
#include "portfolio/exchange/transaction_kinds.h"

// How to read a CSV file that is not Vellumar's own (a broker's export): which column holds which field,
// and how the file writes its values. A mapping can be kept as a named profile (prefs/import_profiles.h).

// The fields a mapping can take from a column, with their names in "--map FIELD=COLUMN" and in profiles.
struct MappedField {
  ImportField field;
  const char* name;  // "symbol", "sale-price"
};
// In the order MappingText writes them and the dialog lays them out.
const std::vector<MappedField>& MappedFields();
// The field of a name of MappedFields(); ImportField::None for another.
ImportField MappedFieldByName(std::string_view name);
const char* MappedFieldName(ImportField field);

struct CsvMapping {
  // Field -> column: a header name (compared without regard to letter case and blanks around it) or "#N",
  // the N-th column counted from 1. A field left out is looked for under its own name in the header
  // ("Symbol", "Sale Price" or "sale-price"), and is empty when no column has that name.
  std::map<ImportField, std::string> columns;
  char delimiter = ',';
  bool decimalComma = false;  // "1234,56" (groups marked with "."), else "1234.56" (groups with ",")
  std::string dateFormat = "YYYY-MM-DD";
  TextEncoding encoding = TextEncoding::Detect;
  int skipRows = 0;  // rows before the header (or before the data when every column is given as "#N")
  // With a kind column: which of its values are which transactions (a value that is a kind's own name,
  // "buy" or "Sell", needs no entry). Without one every row is a purchase, unless `sellWhenNegative`: a
  // negative quantity is then a sale of its magnitude.
  TransactionKindMap kinds;
  bool sellWhenNegative = false;

  // Whether the file has a header row: when some field is (or may be) found by name.
  bool HasHeader() const;
  friend bool operator==(const CsvMapping&, const CsvMapping&) = default;
};

// Reads "symbol=Ticker,quantity=#3" into `mapping` (over what it holds); false with `error` for an unknown
// field or an entry without "=". A column name may not hold "," (name it by its position instead).
[[nodiscard]] bool ParseMappingText(std::string_view text, CsvMapping& mapping, std::string& error);
// The mapping's columns in that form, in the order of MappedFields().
std::string MappingText(const CsvMapping& mapping);
// "," ";" or a tab, also written "comma", "semicolon", "tab" or "\t"; false for others.
[[nodiscard]] bool ParseDelimiter(std::string_view text, char& delimiter);
// "," ";" or "tab".
std::string DelimiterName(char delimiter);

// Which column of the file each field is read from, once the header is known: -1 for none. A field the
// mapping names but the file lacks is a problem (line of the header).
struct ResolvedColumns {
  std::map<ImportField, int> index;
  // The mapping gives no column for a field every trade needs (the quantity, the price): the mapping is
  // wrong whatever the rows hold.
  bool incomplete = false;
  int Of(ImportField field) const {
    const auto it = index.find(field);
    return it == index.end() ? -1 : it->second;
  }
};
ResolvedColumns ResolveColumns(const CsvMapping& mapping, const std::vector<std::string>& header,
                               int headerLine, ImportProblems& problems);
