#include "cli/cli_args.h"

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
      out->allValues[name].push_back(value);
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
