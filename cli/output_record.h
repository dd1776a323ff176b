#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "cli/displayed_number.h"

// One printed record: named values in print order. Numbers print unquoted in JSON. A text that reads as a
// number (AddText) prints in JSON twice: the text under its name, and right after it the number under the
// name followed by kNumberKeySuffix ("gain": "1,234.50", "gainValue": 1234.5). Tables print the text only.
class OutputRecord {
 public:
  static constexpr const char* kNumberKeySuffix = "Value";

  struct Field {
    std::string name;
    std::string text;
    bool isNumber = false;  // `text` is a JSON number already
    bool hasValue = false;  // `value` is the number `text` shows
    double value = 0;
  };

  OutputRecord& Add(const std::string& name, const std::string& text) {
    fields.push_back({name, text});
    return *this;
  }
  OutputRecord& AddNumber(const std::string& name, int64_t value) {
    fields.push_back({name, std::to_string(value), true});
    return *this;
  }
  // A plain decimal text ("1.6531", "-12"): a JSON number, the text in a table.
  OutputRecord& AddDecimal(const std::string& name, const std::string& decimal) {
    fields.push_back({name, decimal, true});
    return *this;
  }
  // true or false: a JSON boolean, the word in a table.
  OutputRecord& AddBool(const std::string& name, bool value) {
    fields.push_back({name, value ? "true" : "false", true});
    return *this;
  }
  // A text as the tool shows it, in `format` (the cells' format, or the services' English texts).
  OutputRecord& AddText(const std::string& name, const std::string& text,
                        const NumberFormat& format = GetNumberFormat()) {
    Field& f = fields.emplace_back(Field{name, text});
    f.hasValue = ReadDisplayedNumber(text, format, &f.value);
    return *this;
  }
  const std::vector<Field>& Fields() const { return fields; }

 private:
  std::vector<Field> fields;
};
