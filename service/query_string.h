#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The raw query of a request target, split at "&" and "=" but not decoded, because "+" separates
// symbols in several request forms and must not turn into a blank before they are split.
class QueryString {
 public:
  explicit QueryString(std::string_view rawQuery);

  // The first value of a key, undecoded; false when the key is absent.
  [[nodiscard]] bool Raw(std::string_view key, std::string_view& value) const;
  // The first value percent-decoded with "+" as a blank; `fallback` when the key is absent.
  std::string Text(std::string_view key, std::string_view fallback = {}) const;
  // The first value as a whole number; false when absent or not a number in [low, high].
  [[nodiscard]] bool Int(std::string_view key, long low, long high, long& value) const;

 private:
  std::vector<std::pair<std::string_view, std::string_view>> pairs;
};

// "%41" -> "A"; with plusIsBlank "+" -> " ". Malformed escapes stay as they are.
std::string PercentDecode(std::string_view text, bool plusIsBlank);
// "A+B%2BC" -> {"A", "B", "C"}: decoded, then split at every "+".
std::vector<std::string> SplitPlusList(std::string_view raw);
// The symbols of a quote request as the classic service read them: separated by "+", "," or blanks (a run
// of them is one separator), after decoding; "MSFT,KO+^DJI" -> {"MSFT", "KO", "^DJI"}.
std::vector<std::string> SplitSymbolList(std::string_view raw);
