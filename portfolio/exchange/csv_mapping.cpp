#include "portfolio/exchange/csv_mapping.h"

#include "framework/text_util.h"
#include "portfolio/checks/typed_number.h"
#include "portfolio/exchange/import_fields.h"

namespace {

// "symbol, quantity, ... and name": the mapped fields' names, for a message.
std::string FieldNameList() {
  std::string list;
  const std::vector<MappedField>& fields = MappedFields();
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) list += i + 1 == fields.size() ? " and " : ", ";
    list += fields[i].name;
  }
  return list;
}

// A column name as it is compared: lower case, without blanks, '-' and '_' ("Sale Price" = "sale-price").
std::string Normalised(std::string_view name) {
  std::string out;
  for (char c : TrimBlanks(name)) {
    if (c == ' ' || c == '-' || c == '_') continue;
    out.push_back(AsciiLower(c));
  }
  return out;
}

// "#3" as the column index 2; -1 for anything else.
int PositionOf(std::string_view column) {
  column = TrimBlanks(column);
  if (column.size() < 2 || column[0] != '#' || column.size() > 7) return -1;
  int n = 0;
  for (char c : column.substr(1)) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n >= 1 ? n - 1 : -1;
}

// "#" and digits only: meant as a column number, whether or not it is one.
bool IsColumnNumberText(std::string_view column) {
  if (column.size() < 2 || column[0] != '#') return false;
  for (char c : column.substr(1)) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

const std::vector<MappedField>& MappedFields() {
  static const std::vector<MappedField> fields = [] {
    constexpr ImportField kOrder[] = {
        ImportField::Symbol,         ImportField::Quantity, ImportField::Price,     ImportField::Date,
        ImportField::Commission,     ImportField::Comment,  ImportField::SalePrice, ImportField::SaleDate,
        ImportField::SaleCommission, ImportField::Kind,     ImportField::Amount,    ImportField::Fees,
        ImportField::Withholding,    ImportField::Currency, ImportField::Name,
    };
    std::vector<MappedField> list;
    for (ImportField field : kOrder) list.push_back({field, ImportFieldInfoOf(field).mappingName});
    return list;
  }();
  return fields;
}

ImportField MappedFieldByName(std::string_view name) {
  for (const MappedField& f : MappedFields()) {
    if (Normalised(name) == Normalised(f.name)) return f.field;
  }
  return ImportField::None;
}

const char* MappedFieldName(ImportField field) {
  for (const MappedField& f : MappedFields()) {
    if (f.field == field) return f.name;
  }
  return "";
}

bool CsvMapping::HasHeader() const {
  if (columns.empty()) return true;
  for (const auto& [field, column] : columns) {
    if (PositionOf(column) < 0) return true;
  }
  return false;
}

bool ParseMappingText(std::string_view text, CsvMapping& mapping, std::string& error) {
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = text.find(',', start);
    const std::string_view entry = TrimBlanks(
        text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    start = comma == std::string_view::npos ? text.size() + 1 : comma + 1;
    if (entry.empty()) continue;
    const size_t equals = entry.find('=');
    if (equals == std::string_view::npos) {
      error = "'" + std::string(entry) + "' is not FIELD=COLUMN";
      return false;
    }
    const ImportField field = MappedFieldByName(entry.substr(0, equals));
    const std::string_view column = TrimBlanks(entry.substr(equals + 1));
    if (field == ImportField::None) {
      error = "'" + std::string(TrimBlanks(entry.substr(0, equals))) + "' is not a field; the fields are " +
              FieldNameList();
      return false;
    }
    if (column.empty()) {
      error = "no column is given for " + std::string(MappedFieldName(field));
      return false;
    }
    if (IsColumnNumberText(column) && PositionOf(column) < 0) {
      error = "'" + std::string(column) + "' is no column: columns are numbered from #1 to #999999";
      return false;
    }
    mapping.columns[field] = std::string(column);
  }
  return true;
}

std::string MappingText(const CsvMapping& mapping) {
  std::string text;
  for (const MappedField& f : MappedFields()) {
    const auto it = mapping.columns.find(f.field);
    if (it == mapping.columns.end()) continue;
    if (!text.empty()) text.push_back(',');
    text.append(f.name).append("=").append(it->second);
  }
  return text;
}

bool ParseDelimiter(std::string_view text, char& delimiter) {
  if (text == "," || text == "comma") {
    delimiter = ',';
  } else if (text == ";" || text == "semicolon") {
    delimiter = ';';
  } else if (text == "\t" || text == "tab" || text == "\\t") {
    delimiter = '\t';
  } else {
    return false;
  }
  return true;
}

std::string DelimiterName(char delimiter) {
  return delimiter == '\t' ? "tab" : std::string(1, delimiter);
}

ResolvedColumns ResolveColumns(const CsvMapping& mapping, const std::vector<std::string>& header,
                               int headerLine, ImportProblems& problems) {
  ResolvedColumns resolved;
  const bool named = mapping.HasHeader();
  const auto find = [&](std::string_view name) {
    for (size_t i = 0; i < header.size(); ++i) {
      if (Normalised(header[i]) == Normalised(name)) return static_cast<int>(i);
    }
    return -1;
  };
  for (const MappedField& f : MappedFields()) {
    const auto it = mapping.columns.find(f.field);
    if (it != mapping.columns.end()) {
      const int position = PositionOf(it->second);
      const int index = position >= 0 ? position : find(it->second);
      if (index < 0) {
        problems.push_back(
            {headerLine, f.field,
             "the header has no column '" + it->second + "' for " + ImportFieldLabel(f.field)});
      }
      resolved.index[f.field] = index;
      continue;
    }
    if (!named) continue;
    const int index = find(f.name);
    if (index >= 0) resolved.index[f.field] = index;
  }
  // A field the mapping names but the file lacks is a problem of the header, said above.
  for (ImportField required : {ImportField::Symbol, ImportField::Quantity, ImportField::Price}) {
    if (mapping.columns.count(required) || resolved.Of(required) >= 0) continue;
    const char* name = ImportFieldInfoOf(required).mappingName;
    problems.push_back({headerLine, required, std::string("no column holds ") + ImportFieldLabel(required),
                        std::string("map one to it (") + name + "=COLUMN)", "choose its column below"});
    if (required != ImportField::Symbol) resolved.incomplete = true;
  }
  return resolved;
}
