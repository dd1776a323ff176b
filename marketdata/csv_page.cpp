#include "marketdata/csv_page.h"

static constexpr size_t kMaxRows = 200000;

static std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    const size_t comma = line.find(',', start);
    fields.push_back(line.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) return fields;
    start = comma + 1;
  }
}

bool ReadCsvPage(const std::string& content, const std::string& header,
                 std::vector<std::vector<std::string>>* rows, std::string* why) {
  std::vector<std::vector<std::string>> read;
  const size_t columns = SplitFields(header).size();
  size_t start = 0;
  for (int lineNumber = 1; start < content.size(); ++lineNumber) {
    const size_t end = content.find('\n', start);
    const std::string where = "line " + std::to_string(lineNumber) + ": ";
    if (end == std::string::npos) {
      *why = where + "the page ends in the middle of a line";
      return false;
    }
    std::string line = content.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (lineNumber == 1) {
      if (line != header) {
        *why = "not the expected page (no header \"" + header + "\")";
        return false;
      }
      continue;
    }
    if (line.find_first_of("\"\r") != std::string::npos) {
      *why = where + "a quote or a carriage return inside the line";
      return false;
    }
    std::vector<std::string> fields = SplitFields(line);
    if (fields.size() != columns) {
      *why =
          where + "expected " + std::to_string(columns) + " fields, found " + std::to_string(fields.size());
      return false;
    }
    if (read.size() >= kMaxRows) {
      *why = "more than " + std::to_string(kMaxRows) + " rows";
      return false;
    }
    read.push_back(std::move(fields));
  }
  if (content.empty()) {
    *why = "an empty page";
    return false;
  }
  *rows = std::move(read);
  return true;
}
