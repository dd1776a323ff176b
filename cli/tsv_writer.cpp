#include "cli/tsv_writer.h"

#include "framework/visible_text.h"

std::string TerminalText(std::string_view text) {
  return VisibleText(text);
}

// Tabs and line breaks are escaped like every other control character, so a value never splits a row.
static std::string TsvValue(const std::string& text) {
  return VisibleText(text);
}

void WriteTsvHeader(std::ostream& out, const std::vector<std::string>& columns,
                    const std::vector<std::string>& headers) {
  const std::vector<std::string>& names = headers.size() == columns.size() ? headers : columns;
  for (size_t i = 0; i < names.size(); ++i) out << (i ? "\t" : "") << TsvValue(names[i]);
  out << '\n';
}

void WriteTsvLine(std::ostream& out, const std::vector<std::string>& columns, const OutputRecord& record) {
  const auto& fields = record.Fields();
  for (size_t i = 0; i < columns.size(); ++i) {
    out << (i ? "\t" : "");
    for (const OutputRecord::Field& f : fields) {
      if (f.name == columns[i]) {
        out << TsvValue(f.text);
        break;
      }
    }
  }
  out << '\n';
}

void WriteTsv(std::ostream& out, const std::vector<std::string>& columns,
              const std::vector<OutputRecord>& records, const std::vector<std::string>& headers) {
  WriteTsvHeader(out, columns, headers);
  for (const OutputRecord& record : records) WriteTsvLine(out, columns, record);
}
