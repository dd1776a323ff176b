#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One printed record: named values in print order. Numbers print unquoted in JSON.
class OutputRecord {
 public:
  struct Field {
    std::string name;
    std::string text;
    bool isNumber = false;
  };

  OutputRecord& Add(const std::string& name, const std::string& text) {
    fields.push_back({name, text, false});
    return *this;
  }
  OutputRecord& AddNumber(const std::string& name, int64_t value) {
    fields.push_back({name, std::to_string(value), true});
    return *this;
  }
  const std::vector<Field>& Fields() const { return fields; }

 private:
  std::vector<Field> fields;
};
