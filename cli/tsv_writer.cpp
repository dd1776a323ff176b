#include "cli/tsv_writer.h"

static std::string TsvValue(const std::string& text) {
  std::string value = text;
  for (char& c : value) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
  return value;
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
