#include "service/upstream_source.h"

#include "framework/text_util.h"
#include "service/exchange_info.h"
#include "service/security_list.h"
#include "service/source_csv.h"
#include "service/text_file.h"
#include "service/text_format.h"

#include <charconv>

static constexpr size_t kMaxSourcesFileBytes = 256 * 1024;
static constexpr size_t kMaxSettingLength = 2048;
static constexpr size_t kMaxSources = 32;

static std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

static bool ReadInt(std::string_view text, int low, int high, int& value) {
  int v = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || ec != std::errc() || ptr != text.data() + text.size() || v < low || v > high)
    return false;
  value = v;
  return true;
}

static bool ReadColumn(std::string_view value, std::string& column) {
  if (!value.empty() && value[0] == '#') {
    int position = 0;
    if (!ReadInt(value.substr(1), 1, 64, position)) return false;
  }
  column = std::string(value);
  return true;
}

// The limits, each with its bounds; one second between requests to a source is the least allowed.
static const struct {
  const char* key;
  int low, high;
  int UpstreamSource::*member;
} kLimits[] = {
    {"timeout", 1, 600, &UpstreamSource::timeoutSeconds},
    {"low-speed-bytes", 1, 1 << 20, &UpstreamSource::lowSpeedBytes},
    {"low-speed-seconds", 1, 600, &UpstreamSource::lowSpeedSeconds},
    {"min-interval-ms", 1000, 3600 * 1000, &UpstreamSource::minIntervalMs},
    {"max-kilobytes", 1, 256 * 1024, &UpstreamSource::maxKilobytes},
    {"lookback-days", 0, 3660, &UpstreamSource::lookbackDays},
};

static bool LimitSetting(std::string_view key) {
  for (const auto& limit : kLimits) {
    if (key == limit.key) return true;
  }
  return false;
}

// The settings of a rates source (besides the limits); every other one is for prices only.
static bool RatesSetting(std::string_view key) {
  return key == "url" || key == "form" || key == "url-date-format";
}

// The columns, date patterns, no-data texts and limits of a source; false with `why` on an unknown key or a
// bad value.
static bool ApplyFormSetting(UpstreamSource& s, std::string_view key, std::string_view value,
                             std::string& why) {
  static const struct {
    const char* key;
    std::string UpstreamSource::*column;
  } kColumns[] = {
      {"date", &UpstreamSource::dateColumn},         {"open", &UpstreamSource::openColumn},
      {"high", &UpstreamSource::highColumn},         {"low", &UpstreamSource::lowColumn},
      {"close", &UpstreamSource::closeColumn},       {"volume", &UpstreamSource::volumeColumn},
      {"adjusted", &UpstreamSource::adjCloseColumn},
  };
  for (const auto& c : kColumns) {
    if (key == c.key) return ReadColumn(value, s.*c.column);
  }
  if (key == "date-format" || key == "url-date-format") {
    if (!ValidDatePattern(value)) return false;
    (key == "date-format" ? s.dateFormat : s.urlDateFormat) = std::string(value);
    return true;
  }
  if (key == "no-data") {
    if (value.empty()) return false;
    s.noDataTexts.emplace_back(value);
    return true;
  }
  for (const auto& limit : kLimits) {
    if (key == limit.key) return ReadInt(value, limit.low, limit.high, s.*limit.member);
  }
  why = "unknown setting " + std::string(key);
  return false;
}

// One "key = value" line of a source; false with `why` on an unknown key or a bad value.
static bool ApplySetting(UpstreamSource& s, std::string_view key, std::string_view value, std::string& why) {
  why = "bad value for " + std::string(key);
  if (key == "url") {
    if (value.substr(0, 7) != "http://" && value.substr(0, 8) != "https://") {
      why = "url must start with http:// or https://";
      return false;
    }
    if (s.kind == UpstreamSource::Kind::Prices && value.find("{symbol}") == std::string_view::npos) {
      why = "url needs the {symbol} placeholder";
      return false;
    }
    s.urlTemplate = std::string(value);
    return true;
  }
  if (key == "form") {
    why = "form must be ecb (the European Central Bank's CSV data form)";
    return s.kind == UpstreamSource::Kind::Rates && value == "ecb";
  }
  if (s.kind == UpstreamSource::Kind::Rates && !RatesSetting(key) && !LimitSetting(key)) {
    why = std::string(key) + " is not a setting of a rates source";
    return false;
  }
  if (key == "closes") {
    if (value != "as-traded" && value != "split-adjusted") {
      why = "closes must be as-traded or split-adjusted";
      return false;
    }
    s.splitAdjusted = value == "split-adjusted";
    return true;
  }
  if (key == "case") {
    static const std::pair<const char*, UpstreamSource::Case> kCases[] = {
        {"lower", UpstreamSource::Case::Lower},
        {"upper", UpstreamSource::Case::Upper},
        {"keep", UpstreamSource::Case::Keep}};
    for (const auto& [name, symbolCase] : kCases) {
      if (value == name) s.symbolCase = symbolCase;
    }
    return value == "lower" || value == "upper" || value == "keep";
  }
  if (key.substr(0, 7) == "suffix ") {
    const std::string_view exchange = Trim(key.substr(7));
    if (FindExchange(exchange) == nullptr) {
      why = "no exchange called " + std::string(exchange);
      return false;
    }
    s.exchangeSuffix[FindExchange(exchange)->name] = std::string(value);
    return true;
  }
  if (key.substr(0, 7) == "symbol ") {
    const std::string_view ours = Trim(key.substr(7));
    if (ours.empty() || value.empty()) return false;
    s.symbolMap[AsciiUpper(ours)] = std::string(value);
    return true;
  }
  if (key == "header") {
    if (value != "yes" && value != "no") return false;
    s.header = value == "yes";
    return true;
  }
  return ApplyFormSetting(s, key, value, why);
}

static bool CheckSource(const UpstreamSource& s, std::string& why) {
  if (s.urlTemplate.empty()) {
    why = "source " + s.name + " has no url";
    return false;
  }
  if (s.kind == UpstreamSource::Kind::Rates) return true;
  if (s.dateColumn.empty() || s.closeColumn.empty()) {
    why = "source " + s.name + " needs at least the date and close columns";
    return false;
  }
  if (!s.header) {
    for (const std::string* c : {&s.dateColumn, &s.openColumn, &s.highColumn, &s.lowColumn, &s.closeColumn,
                                 &s.volumeColumn, &s.adjCloseColumn}) {
      if (!c->empty() && (*c)[0] != '#') {
        why = "source " + s.name + " has no header, so its columns must be given as #N";
        return false;
      }
    }
  }
  return true;
}

bool ParseSourcesFile(std::string_view text, std::vector<UpstreamSource>& sources, std::string& error) {
  if (text.size() > kMaxSourcesFileBytes) {
    error = "the sources file is larger than " + std::to_string(kMaxSourcesFileBytes / 1024) + " KB";
    return false;
  }
  std::vector<UpstreamSource> parsed;
  size_t start = 0;
  int lineNumber = 0;
  std::string_view line;
  std::string why;
  auto fail = [&](const std::string& message) {
    error = "line " + std::to_string(lineNumber) + ": " + message;
    return false;
  };
  while (NextTextLine(text, start, line)) {
    ++lineNumber;
    line = Trim(line);
    if (line.empty() || line[0] == '#') continue;
    if (line.size() > kMaxSettingLength) return fail("line too long");
    if (line.front() == '[') {
      if (!parsed.empty() && !CheckSource(parsed.back(), why)) return fail(why);
      const bool rates = line.substr(0, 7) == "[rates ";
      if (line.back() != ']' || (line.substr(0, 8) != "[source " && !rates))
        return fail("expected [source NAME] or [rates NAME]");
      const std::string_view name = Trim(line.substr(rates ? 7 : 8, line.size() - (rates ? 8 : 9)));
      if (name.empty()) return fail("a source needs a name");
      if (parsed.size() >= kMaxSources) return fail("at most " + std::to_string(kMaxSources) + " sources");
      UpstreamSource& added = parsed.emplace_back();
      added.name = std::string(name);
      if (rates) added.kind = UpstreamSource::Kind::Rates;
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) return fail("expected key = value");
    if (parsed.empty()) return fail("a setting before the first [source NAME]");
    if (!ApplySetting(parsed.back(), Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)), why))
      return fail(why);
  }
  if (!parsed.empty() && !CheckSource(parsed.back(), why)) return fail(why);
  sources = std::move(parsed);
  return true;
}

bool LoadSourcesFile(const std::string& path, std::vector<UpstreamSource>& sources, std::string& error) {
  std::string text;
  if (!ReadTextFile(path, text)) {
    error = path + ": cannot be opened";
    return false;
  }
  if (!ParseSourcesFile(text, sources, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

std::string UpstreamSymbol(const UpstreamSource& source, const Security& security) {
  auto mapped = source.symbolMap.find(security.symbol);
  if (mapped != source.symbolMap.end()) return mapped->second;
  std::string symbol = security.symbol;
  auto suffix = source.exchangeSuffix.find(security.exchange->name);
  if (suffix != source.exchangeSuffix.end() && !symbol.empty() && symbol[0] != '^') {
    // US symbols carry no suffix of their own; elsewhere ".L", ".AX" and the like make way for the source's.
    const size_t dot = symbol.rfind('.');
    if (dot != std::string::npos && dot > 0 && !security.exchange->us) symbol.erase(dot);
    symbol += suffix->second;
  }
  if (source.symbolCase == UpstreamSource::Case::Lower) return AsciiLower(symbol);
  if (source.symbolCase == UpstreamSource::Case::Upper) return AsciiUpper(symbol);
  return symbol;
}

static std::string UrlEncode(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '.' || c == '_' || c == '~' || c == '^';
    if (plain) {
      out += static_cast<char>(c);
      continue;
    }
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 15];
  }
  return out;
}

static void ReplaceAll(std::string& text, std::string_view from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

std::string RatesUrl(const UpstreamSource& source, int startDay, int endDay) {
  const std::string& pattern = source.urlDateFormat.empty() ? source.dateFormat : source.urlDateFormat;
  std::string url = source.urlTemplate;
  ReplaceAll(url, "{start}", UrlEncode(FormatPatternDate(pattern, startDay)));
  ReplaceAll(url, "{end}", UrlEncode(FormatPatternDate(pattern, endDay)));
  return url;
}

std::string UpstreamUrl(const UpstreamSource& source, const Security& security, int startDay, int endDay) {
  const std::string& pattern = source.urlDateFormat.empty() ? source.dateFormat : source.urlDateFormat;
  std::string url = source.urlTemplate;
  ReplaceAll(url, "{symbol}", UrlEncode(UpstreamSymbol(source, security)));
  ReplaceAll(url, "{start}", UrlEncode(FormatPatternDate(pattern, startDay)));
  ReplaceAll(url, "{end}", UrlEncode(FormatPatternDate(pattern, endDay)));
  return url;
}
