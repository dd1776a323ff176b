#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tinyxml2 {
class XMLElement;
}  // namespace tinyxml2

// Shared pieces of the positions' XML exchange form: the element names, the reading of attributes and
// the "Line %d: ..." messages (the line is the element's 1-based line in the document).

// Fills `message` with printf-style text after "Line <line of element>: ".
void SetXmlMessage(std::string& message, const tinyxml2::XMLElement& element, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Checks the element name and that "version" is an integer not above `maxVersion`.
[[nodiscard]] bool CheckXmlHeader(const tinyxml2::XMLElement& element, int32_t kind, int32_t maxVersion,
                                  std::string& message);

// The attribute as a whole integer (optional sign, digits, blanks around); false when missing,
// malformed or outside [minValue, maxValue].
[[nodiscard]] bool ReadXmlInteger(const tinyxml2::XMLElement& element, const char* attribute,
                                  int64_t minValue, int64_t maxValue, int64_t& value);

// An amount of cents written as digits and at most one "." (a sign allowed first), not negative; the
// fraction of a cent is dropped. False for anything else, including a value beyond 32 bits.
[[nodiscard]] bool ParseXmlCents(const char* text, uint32_t& cents);

// Reads a present attribute, trimmed; the missing-attribute message when absent.
[[nodiscard]] bool ReadXmlTrimmedText(const tinyxml2::XMLElement& element, const char* attribute,
                                      std::string& value, std::string& message);
