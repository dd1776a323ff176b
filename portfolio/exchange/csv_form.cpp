#include "portfolio/exchange/csv_form.h"

#include "portfolio/checks/typed_number.h"
#include "portfolio/exchange/csv_text.h"

namespace {

constexpr size_t kRowsLooked = 20;

// The whole lines of `head` (a last line cut off midway is left out, unless it is all there is).
std::string_view WholeLines(std::string_view head) {
  const size_t end = head.find_last_of("\r\n");
  return end == std::string_view::npos ? head : head.substr(0, end + 1);
}

// The first records of `head` split at `delimiter`, as many as read before anything malformed.
std::vector<CsvRecord> FirstRecords(std::string_view head, char delimiter, size_t count) {
  std::vector<CsvRecord> records;
  CsvReadError error;
  (void)ForEachCsvRecord(
      WholeLines(head), delimiter,
      [&](CsvRecord& record) {
        records.push_back(std::move(record));
        return records.size() < count;
      },
      error);
  return records;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// "1234,56" or "1.234,56": digits, groups marked with '.', a comma and digits.
bool LooksDecimalComma(std::string_view text) {
  text = TrimBlanks(text);
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
  const size_t comma = text.find(',');
  if (comma == std::string_view::npos || comma == 0 || comma + 1 == text.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (i == comma) continue;
    if (!IsDigit(text[i]) && !(text[i] == '.' && i < comma)) return false;
  }
  return true;
}

// "1234.56": digits, a point and digits.
bool LooksDecimalPoint(std::string_view text) {
  text = TrimBlanks(text);
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
  const size_t point = text.find('.');
  if (point == std::string_view::npos || point == 0 || point + 1 == text.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (i != point && !IsDigit(text[i])) return false;
  }
  return true;
}

}  // namespace

CsvForm DetectCsvForm(std::string_view head) {
  CsvForm form;
  size_t most = 0;
  for (char delimiter : {',', ';', '\t'}) {
    const std::vector<CsvRecord> first = FirstRecords(head, delimiter, 1);
    const size_t fields = first.empty() ? 0 : first[0].fields.size();
    if (fields > most) most = fields, form.delimiter = delimiter;
  }
  if (form.delimiter == ',') return form;
  int commas = 0;
  int points = 0;
  for (const CsvRecord& record : FirstRecords(head, form.delimiter, kRowsLooked)) {
    for (const std::string& field : record.fields) {
      commas += LooksDecimalComma(field);
      points += LooksDecimalPoint(field);
    }
  }
  form.decimalComma = commas > points;
  return form;
}

bool MappingFitsFile(const CsvMapping& mapping, std::string_view head) {
  if (!mapping.HasHeader() || mapping.columns.empty()) return false;
  const std::vector<CsvRecord> records =
      FirstRecords(head, mapping.delimiter, static_cast<size_t>(mapping.skipRows) + 2);
  // Rows to skip are lines, records may span several: the header is the first record at or after them.
  const CsvRecord* header = nullptr;
  for (const CsvRecord& record : records) {
    if (record.line > mapping.skipRows) {
      header = &record;
      break;
    }
  }
  if (!header) return false;
  ImportProblems problems;
  (void)ResolveColumns(mapping, header->fields, header->line, problems);
  return problems.empty();
}
