#include "service/ecb_csv.h"

#include "framework/text_util.h"
#include "service/currency_table.h"
#include "service/security_list.h"
#include "service/text_format.h"

#include <algorithm>
#include <cstdio>

static constexpr size_t kMaxLineLength = 8192;
static constexpr size_t kMaxObservations = 2000000;

namespace {

struct EcbColumns {
  int currency = -1, denominator = -1, period = -1, value = -1, frequency = -1, type = -1;
  size_t needed = 0;
};

bool FindColumns(const std::vector<std::string>& header, EcbColumns& c) {
  const struct {
    const char* name;
    int EcbColumns::*column;
  } kNames[] = {{"CURRENCY", &EcbColumns::currency},  {"CURRENCY_DENOM", &EcbColumns::denominator},
                {"TIME_PERIOD", &EcbColumns::period}, {"OBS_VALUE", &EcbColumns::value},
                {"FREQ", &EcbColumns::frequency},     {"EXR_TYPE", &EcbColumns::type}};
  for (size_t i = 0; i < header.size(); ++i) {
    for (const auto& n : kNames) {
      if (header[i] == n.name) c.*n.column = static_cast<int>(i);
    }
  }
  for (int i : {c.currency, c.denominator, c.period, c.value, c.frequency, c.type})
    c.needed = std::max(c.needed, static_cast<size_t>(i + 1));
  return c.currency >= 0 && c.denominator >= 0 && c.period >= 0 && c.value >= 0;
}

bool ReadIsoDay(const std::string& text, int& day) {
  int y = 0, m = 0, d = 0;
  char extra = 0;
  if (text.size() != 10 || std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &extra) != 3) return false;
  return y >= 1990 && y <= 2200 && MakeDay(y, m, d, day);
}

RateAnswer Refuse(std::string why) {
  RateAnswer a;
  a.error = std::move(why);
  return a;
}

// False with `why` for a row that breaks the form; true with `taken` false for one that is passed over.
bool ReadRow(const EcbColumns& c, const std::vector<std::string>& f, RateObservation& o, bool& taken,
             std::string& why) {
  taken = false;
  if (f.size() < c.needed) {
    why = "expected at least " + std::to_string(c.needed) + " fields";
    return false;
  }
  auto field = [&f](int i) -> const std::string& { return f[static_cast<size_t>(i)]; };
  if ((c.frequency >= 0 && field(c.frequency) != "D") || (c.type >= 0 && field(c.type) != "SP00") ||
      field(c.denominator) != "EUR" || FindMajorCurrency(field(c.currency)) == nullptr ||
      field(c.currency) == "EUR" || field(c.value).empty() || field(c.value) == "NaN")
    return true;
  if (!ReadIsoDay(field(c.period), o.day)) {
    why = "bad date \"" + field(c.period).substr(0, 32) + "\"";
    return false;
  }
  if (!ParseDecimal(field(c.value), o.perEuro)) {
    why = "bad rate \"" + field(c.value).substr(0, 32) + "\"";
    return false;
  }
  o.currency = field(c.currency);
  taken = true;
  return true;
}

}  // namespace

RateAnswer ParseEcbCsv(std::string_view body) {
  if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
  const std::string lead = AsciiLower(body.substr(0, 1024));
  if (lead.find_first_not_of(" \t\r\n") == std::string::npos) return Refuse("an empty answer");
  if (lead[lead.find_first_not_of(" \t\r\n")] == '<' || lead.find("<html") != std::string::npos)
    return Refuse("an HTML page instead of CSV");
  RateAnswer answer;
  EcbColumns columns;
  bool headerSeen = false;
  size_t start = 0;
  int lineNumber = 0;
  std::string_view line;
  std::vector<std::string> fields;
  std::string why;
  while (NextTextLine(body, start, line)) {
    ++lineNumber;
    const std::string where = "line " + std::to_string(lineNumber) + ": ";
    if (line.size() > kMaxLineLength) return Refuse(where + "line too long");
    if (line.empty()) continue;
    if (!SplitCsvLine(line, fields)) return Refuse(where + "unbalanced quote");
    if (!headerSeen) {
      if (!FindColumns(fields, columns))
        return Refuse(where +
                      "not the ECB's CSV data form (no CURRENCY, CURRENCY_DENOM, TIME_PERIOD and "
                      "OBS_VALUE columns)");
      headerSeen = true;
      continue;
    }
    RateObservation o;
    bool taken = false;
    if (!ReadRow(columns, fields, o, taken, why)) return Refuse(where + why);
    if (!taken) continue;
    if (answer.observations.size() >= kMaxObservations)
      return Refuse("more than " + std::to_string(kMaxObservations) + " rates");
    answer.observations.push_back(std::move(o));
  }
  if (answer.observations.empty()) return Refuse("an answer without reference rates");
  answer.ok = true;
  return answer;
}
