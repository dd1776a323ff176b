#include "cli/cli_args.h"

#include <charconv>

bool CliArgs::Parse(const std::vector<std::string>& words, const std::set<std::string>& valueOptions,
                    const std::set<std::string>& flagNames, CliArgs* out, std::string* error) {
  bool optionsEnded = false;
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (optionsEnded || word.size() < 3 || word.compare(0, 2, "--") != 0) {
      if (word == "--") {
        optionsEnded = true;
        continue;
      }
      out->positional.push_back(word);
      continue;
    }
    std::string name = word.substr(2);
    std::string value;
    size_t equals = name.find('=');
    bool inlineValue = equals != std::string::npos;
    if (inlineValue) {
      value = name.substr(equals + 1);
      name.resize(equals);
    }
    if (valueOptions.count(name)) {
      if (!inlineValue) {
        if (i + 1 >= words.size()) {
          *error = "--" + name + " needs a value";
          return false;
        }
        value = words[++i];
      }
      out->options[name] = value;
      continue;
    }
    if (flagNames.count(name) && !inlineValue) {
      out->flags.insert(name);
      continue;
    }
    *error = "unknown option --" + name;
    return false;
  }
  return true;
}

bool ParseIntArg(const std::string& text, int minValue, int maxValue, int* out) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+') ++begin;
  int value = 0;
  auto r = std::from_chars(begin, end, value);
  if (r.ec != std::errc() || r.ptr != end || value < minValue || value > maxValue) return false;
  *out = value;
  return true;
}
