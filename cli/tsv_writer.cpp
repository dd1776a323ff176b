#include "cli/tsv_writer.h"

#include <cstdio>

std::string TerminalText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    char escaped[12];
    if (byte < 0x20 || byte == 0x7F) {
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      out += escaped;
    } else if (byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned char>(text[++i]));
      out += escaped;
    } else {
      out += text[i];
    }
  }
  return out;
}

static std::string TsvValue(const std::string& text) {
  std::string value = text;
  for (char& c : value) {
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  }
  return TerminalText(value);
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
