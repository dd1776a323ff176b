#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

struct Security;

// One place that offers daily price history as a CSV download, described entirely by settings so that
// a provider that moves its URLs or renames its columns needs an edited file, not a new program.
struct UpstreamSource {
  // A source of one symbol's daily prices, or of the euro's reference rates of every currency at once.
  enum class Kind { Prices, Rates } kind = Kind::Prices;
  std::string name;
  // {symbol} is the symbol in the source's spelling; {start} and {end} the span, written in urlDateFormat.
  std::string urlTemplate;
  enum class Case { Keep, Lower, Upper } symbolCase = Case::Keep;
  // Suffix by exchange name ("LSE" -> ".uk"): the symbol's own dotted suffix is replaced by it.
  std::map<std::string, std::string> exchangeSuffix;
  // Whole symbols spelled differently ("^GSPC" -> "^spx"); these win over every other rule.
  std::map<std::string, std::string> symbolMap;

  bool header = true;
  // A header name, or "#N" for the N-th column (1-based); an empty name: the source has no such column.
  std::string dateColumn = "Date", openColumn = "Open", highColumn = "High", lowColumn = "Low",
              closeColumn = "Close", volumeColumn = "Volume", adjCloseColumn;
  std::string dateFormat = "YYYY-MM-DD";
  // Whether the closes are adjusted for splits (every earlier price divided by the split's ratio, as many
  // free downloads give them) rather than as traded; a fetch turns them back into traded prices with the
  // splits the service knows.
  bool splitAdjusted = false;
  std::string urlDateFormat;  // empty: dateFormat
  // An answer that begins with one of these (case-insensitive) means the source has no such symbol.
  std::vector<std::string> noDataTexts;

  int timeoutSeconds = 20;       // total deadline of one request
  int lowSpeedBytes = 100;       // a transfer slower than this many bytes a second ...
  int lowSpeedSeconds = 10;      // ... for this long is given up
  int minIntervalMs = 1000;      // between two requests to this source; never below one second
  int maxKilobytes = 16 * 1024;  // a longer answer is refused
  int lookbackDays = 20;         // days before the last stored one asked again, to pick up corrections
};

// Parses the sources file: sections "[source NAME]" (prices) and "[rates NAME]" (reference rates, in the
// form "form = ecb" names; only url, url-date-format and the limits apply to them) of "key = value" lines,
// '#' starts a comment. Sources come out in file order. False with `error` naming the line on an unknown key
// or a bad value; `sources` is then left untouched.
[[nodiscard]] bool ParseSourcesFile(std::string_view text, std::vector<UpstreamSource>& sources,
                                    std::string& error);
[[nodiscard]] bool LoadSourcesFile(const std::string& path, std::vector<UpstreamSource>& sources,
                                   std::string& error);

// The symbol as the source spells it.
std::string UpstreamSymbol(const UpstreamSource& source, const Security& security);
// The request URL for a symbol and a span of days (days since 1970-01-01); symbol and dates are
// percent-encoded where a URL needs it.
std::string UpstreamUrl(const UpstreamSource& source, const Security& security, int startDay, int endDay);
// The request URL of a rates source for a span of days.
std::string RatesUrl(const UpstreamSource& source, int startDay, int endDay);
