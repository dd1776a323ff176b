#include "portfolio/records/holding_xml.h"

#include <tinyxml2.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "portfolio/columns/cell_format.h"
#include "portfolio/columns/column_catalog.h"

namespace {
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
}  // namespace

void SetXmlMessage(std::string& message, const tinyxml2::XMLElement& element, const char* format, ...) {
  char body[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(body, sizeof body, format, args);
  va_end(args);
  message = "Line " + std::to_string(element.GetLineNum()) + ": " + body;
}

bool CheckXmlHeader(const tinyxml2::XMLElement& element, int32_t kind, int32_t maxVersion,
                    std::string& message) {
  const std::string expected = GetKindName(kind);
  const char* name = element.Name() ? element.Name() : "";
  if (expected != name) {
    SetXmlMessage(message, element, "Unknown element \"%s\" encountered.", name);
    return false;
  }
  int64_t version = 0;
  if (!ReadXmlInteger(element, "version", std::numeric_limits<int32_t>::min(), maxVersion, version)) {
    SetXmlMessage(message, element, "Element %s has invalid or missing version attribute.", name);
    return false;
  }
  return true;
}

bool ReadXmlInteger(const tinyxml2::XMLElement& element, const char* attribute, int64_t minValue,
                    int64_t maxValue, int64_t& value) {
  const char* text = element.Attribute(attribute);
  if (!text) return false;
  const std::string trimmed(TrimBlanks(text));
  size_t pos = 0;
  if (pos < trimmed.size() && (trimmed[pos] == '+' || trimmed[pos] == '-')) ++pos;
  if (pos == trimmed.size()) return false;
  for (size_t i = pos; i < trimmed.size(); ++i) {
    if (!IsDigit(trimmed[i])) return false;
  }
  errno = 0;
  const long long parsed = std::strtoll(trimmed.c_str(), nullptr, 10);
  if (errno == ERANGE || parsed < minValue || parsed > maxValue) return false;
  value = parsed;
  return true;
}

bool ParseXmlCents(const char* text, uint32_t& cents) {
  if (!text) return false;
  const std::string_view s(text);
  bool anyDigit = false;
  bool point = false;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (IsDigit(c)) {
      anyDigit = true;
    } else if (c == '.' && !point) {
      point = true;
    } else if (!(i == 0 && (c == '+' || c == '-'))) {
      return false;
    }
  }
  if (!anyDigit) return false;
  const double v = ReadLeadingNumber(s);
  if (v < 0) return false;
  if (v >= static_cast<double>(std::numeric_limits<uint32_t>::max()) + 1.0) return false;
  cents = static_cast<uint32_t>(v);  // truncated: the exchange form counts whole cents
  return true;
}

bool ReadXmlTrimmedText(const tinyxml2::XMLElement& element, const char* attribute, std::string& value,
                        std::string& message) {
  const char* text = element.Attribute(attribute);
  if (!text) {
    SetXmlMessage(message, element, "Element %s missing required attribute \"%s\".", element.Name(),
                  attribute);
    return false;
  }
  value = TrimBlanks(text);
  return true;
}
