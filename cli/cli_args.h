#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

// The words after the command name: positional arguments, options with values ("--name value" or
// "--name=value") and flags ("--name").
class CliArgs {
 public:
  std::vector<std::string> positional;
  std::map<std::string, std::string> options;                 // by name without "--": the last value given
  std::map<std::string, std::vector<std::string>> allValues;  // every value of an option given repeatedly
  std::set<std::string> flags;

  bool Has(const std::string& flag) const { return flags.count(flag) != 0; }
  bool HasOption(const std::string& name) const { return options.count(name) != 0; }
  std::string Option(const std::string& name, const std::string& fallback = {}) const {
    auto it = options.find(name);
    return it == options.end() ? fallback : it->second;
  }

  std::vector<std::string> Values(const std::string& name) const {
    auto it = allValues.find(name);
    return it == allValues.end() ? std::vector<std::string>{} : it->second;
  }

  // Splits `words`. Only the names in `valueOptions` take a value and only those in `flagNames` are
  // flags; anything else that begins with "--" is an error, described in `error`. A lone "--" ends
  // the options.
  [[nodiscard]] static bool Parse(const std::vector<std::string>& words,
                                  const std::set<std::string>& valueOptions,
                                  const std::set<std::string>& flagNames, CliArgs* out, std::string* error);
};
