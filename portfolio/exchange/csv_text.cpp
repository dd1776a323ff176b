#include "portfolio/exchange/csv_text.h"

namespace {

// Moves past one line break at `i` (LF, CR LF or CR), counting the line; false when there is none.
bool SkipLineBreak(std::string_view text, size_t& i, int& line) {
  if (i >= text.size()) return false;
  if (text[i] == '\n') {
    ++i;
  } else if (text[i] == '\r') {
    ++i;
    if (i < text.size() && text[i] == '\n') ++i;
  } else {
    return false;
  }
  ++line;
  return true;
}

bool NeedsQuotes(const std::string& field, char delimiter) {
  if (field.empty()) return false;
  if (field.front() == ' ' || field.front() == '\t' || field.back() == ' ' || field.back() == '\t')
    return true;
  for (char c : field) {
    if (c == delimiter || c == '"' || c == '\n' || c == '\r') return true;
  }
  return false;
}

}  // namespace

bool ForEachCsvRecord(std::string_view text, char delimiter, const std::function<bool(CsvRecord&)>& each,
                      CsvReadError& error) {
  size_t i = 0;
  int line = 1;
  CsvRecord record;
  while (i < text.size()) {
    if (SkipLineBreak(text, i, line)) continue;  // an empty line
    record.line = line;
    record.fields.clear();
    while (true) {
      if (record.fields.size() >= kMaxCsvFields) {
        error = {record.line, "the row has more than " + std::to_string(kMaxCsvFields) + " fields"};
        return false;
      }
      std::string field;
      if (i < text.size() && text[i] == '"') {
        const int opened = line;
        ++i;
        while (true) {
          if (i >= text.size()) {
            error = {opened, "a quoted field is never closed"};
            return false;
          }
          const char c = text[i];
          if (c == '"') {
            if (i + 1 < text.size() && text[i + 1] == '"') {
              field.push_back('"');
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          if (c == '\n' || (c == '\r' && !(i + 1 < text.size() && text[i + 1] == '\n'))) ++line;
          field.push_back(c);
          ++i;
        }
        if (i < text.size() && text[i] != delimiter && text[i] != '\n' && text[i] != '\r') {
          error = {line, "text follows the closing quote of a field"};
          return false;
        }
      } else {
        const size_t start = i;
        while (i < text.size() && text[i] != delimiter && text[i] != '\n' && text[i] != '\r') ++i;
        field.assign(text.substr(start, i - start));
      }
      record.fields.push_back(std::move(field));
      if (i < text.size() && text[i] == delimiter) {
        ++i;
        continue;
      }
      (void)SkipLineBreak(text, i, line);
      break;
    }
    if (!each(record)) return false;
  }
  return true;
}

bool ReadCsv(std::string_view text, char delimiter, std::vector<CsvRecord>& records, CsvReadError& error) {
  return ForEachCsvRecord(
      text, delimiter,
      [&records](CsvRecord& record) {
        records.push_back(std::move(record));
        return true;
      },
      error);
}

size_t CountCsvLines(std::string_view text) {
  size_t lines = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    lines += text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'));
  }
  return lines + (!text.empty() && text.back() != '\n' && text.back() != '\r');
}

void AppendCsvRecord(std::string& out, const std::vector<std::string>& fields, char delimiter) {
  for (size_t f = 0; f < fields.size(); ++f) {
    if (f) out.push_back(delimiter);
    const std::string& field = fields[f];
    if (!NeedsQuotes(field, delimiter)) {
      out.append(field);
      continue;
    }
    out.push_back('"');
    for (char c : field) {
      if (c == '"') out.push_back('"');
      out.push_back(c);
    }
    out.push_back('"');
  }
  out.append("\r\n");
}
