#include "portfolio/exchange/mapped_csv.h"

#include "portfolio/checks/typed_number.h"
#include "portfolio/exchange/csv_text.h"
#include "portfolio/exchange/file_values.h"

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

}  // namespace

void ReadMappedCsv(std::string_view text, const ImportOptions& options, ImportReading& reading) {
  const CsvMapping& mapping = options.mapping;
  if (!IsDatePattern(mapping.dateFormat)) {
    reading.problems.push_back({0, ImportField::Date,
                                "the date format '" + mapping.dateFormat +
                                    "' does not hold YYYY, MM (or M) and DD (or D) once each"});
    return;
  }
  int firstLine = 1;
  const std::string_view rest = SkipLines(text, mapping.skipRows, firstLine);
  std::vector<CsvRecord> records;
  CsvReadError error;
  const bool complete = ReadCsv(rest, mapping.delimiter, records, error);
  for (CsvRecord& record : records) record.line += firstLine - 1;
  if (!complete) {
    reading.problems.push_back({error.line + firstLine - 1, ImportField::None, error.text});
    return;
  }
  size_t first = 0;
  int headerLine = firstLine;
  if (mapping.HasHeader() && !records.empty()) {
    reading.header = records[0].fields;
    headerLine = records[0].line;
    first = 1;
  } else if (!records.empty()) {
    for (size_t i = 0; i < records[0].fields.size(); ++i)
      reading.header.push_back("#" + std::to_string(i + 1));
  }
  const ResolvedColumns columns = ResolveColumns(mapping, reading.header, headerLine, reading.problems);
  for (const auto& [field, index] : columns.index) {
    if (index >= 0) reading.columns[field] = index;
  }
  if (!reading.problems.empty()) return;

  std::vector<ImportField> shown;
  for (const MappedField& f : MappedFields()) {
    if (columns.Of(f.field) >= 0) shown.push_back(f.field);
  }
  RowReading rowReading;
  rowReading.numbers = FileNumberFormat(mapping.decimalComma);
  rowReading.datePattern = mapping.dateFormat;
  RowSink sink(reading, options, rowReading, shown);
  for (size_t r = first; r < records.size(); ++r) {
    if (r % 64 == 0 && !sink.Progress(r, records.size())) return;
    const CsvRecord& record = records[r];
    bool blank = true;
    for (const std::string& field : record.fields) blank = blank && TrimBlanks(field).empty();
    if (blank) continue;
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
    if (complete) (void)sink.Add(record.line, RowKind::Stock, texts);
  }
  (void)sink.Progress(records.size(), records.size());
}
