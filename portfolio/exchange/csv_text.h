#pragma once
#include <string>
#include <string_view>
#include <vector>

// Comma-separated values as RFC 4180 has them: records end at LF, CR LF or a lone CR; a field in double
// quotes may hold the delimiter, quotes (doubled) and line breaks, kept byte for byte. The delimiter is
// any one byte (',' ';' or a tab in practice).

struct CsvRecord {
  int line = 0;  // 1-based line of the file on which the record begins
  std::vector<std::string> fields;
};

struct CsvReadError {
  int line = 0;
  std::string text;  // what is wrong, without the line
};

// Splits `text` into records; lines that are entirely empty are left out. False at the first malformed
// record (a quote that is never closed, or text after a closing quote), with `error` set; the records read
// before it stay in `records`.
[[nodiscard]] bool ReadCsv(std::string_view text, char delimiter, std::vector<CsvRecord>& records,
                           CsvReadError& error);

// Appends one record and a CR LF. A field is quoted when it holds the delimiter, a quote, a line break or
// blanks at either end (which some programs would drop); quotes inside are doubled.
void AppendCsvRecord(std::string& out, const std::vector<std::string>& fields, char delimiter = ',');
