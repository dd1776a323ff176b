#pragma once
#include <cstddef>
#include <functional>
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

// No form this program reads has more columns; a row with more is refused as it is read, so that a file of
// nothing but delimiters cannot take memory many times its size.
inline constexpr size_t kMaxCsvFields = 1000;

// Hands each record of `text` to `each` as it is read (lines that are entirely empty are left out), so that
// only one record is in memory at a time; `each` may take its fields. False at the first malformed record
// (a quote that is never closed, text after a closing quote, more than kMaxCsvFields fields), with `error`
// set, or when `each` returns false (with `error` left as it was).
[[nodiscard]] bool ForEachCsvRecord(std::string_view text, char delimiter,
                                    const std::function<bool(CsvRecord&)>& each, CsvReadError& error);
// The number of lines of `text` (a last line without a line break counts), for progress.
size_t CountCsvLines(std::string_view text);

// Splits `text` into records; lines that are entirely empty are left out. False at the first malformed
// record (a quote that is never closed, or text after a closing quote), with `error` set; the records read
// before it stay in `records`.
[[nodiscard]] bool ReadCsv(std::string_view text, char delimiter, std::vector<CsvRecord>& records,
                           CsvReadError& error);

// Appends one record and a CR LF. A field is quoted when it holds the delimiter, a quote, a line break or
// blanks at either end (which some programs would drop); quotes inside are doubled.
void AppendCsvRecord(std::string& out, const std::vector<std::string>& fields, char delimiter = ',');
