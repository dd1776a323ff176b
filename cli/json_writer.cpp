#include "cli/json_writer.h"

#include <cstdio>

// Length of the valid UTF-8 sequence at `i`, or 0 when the byte there does not start one.
static size_t Utf8SequenceLength(const std::string& s, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char c = byte(i);
  size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
  }
  return n;
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    char buf[8];
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c == 0x7F) {
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (size_t n = Utf8SequenceLength(text, i); n > 0) {
      out.append(text, i, n);
      i += n - 1;
    } else {
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    }
  }
  return out + "\"";
}

static void WriteObject(std::ostream& out, const OutputRecord& record) {
  out << '{';
  bool first = true;
  for (const OutputRecord::Field& f : record.Fields()) {
    if (!first) out << ',';
    first = false;
    out << JsonString(f.name) << ':' << (f.isNumber ? f.text : JsonString(f.text));
    if (f.hasValue)
      out << ',' << JsonString(f.name + OutputRecord::kNumberKeySuffix) << ':' << JsonNumberText(f.value);
  }
  out << '}';
}

void WriteJsonArrayItem(std::ostream& out, const OutputRecord& record, bool first) {
  out << (first ? "[" : ",\n");
  WriteObject(out, record);
}

void WriteJsonArrayEnd(std::ostream& out, bool empty) {
  out << (empty ? "[]\n" : "]\n");
}

void WriteJson(std::ostream& out, const std::vector<OutputRecord>& records) {
  for (size_t i = 0; i < records.size(); ++i) WriteJsonArrayItem(out, records[i], i == 0);
  WriteJsonArrayEnd(out, records.empty());
}

void WriteJsonObject(std::ostream& out, const OutputRecord& record) {
  WriteObject(out, record);
  out << '\n';
}
