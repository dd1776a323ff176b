#include "portfolio/exchange/ofx_scan.h"

#include <cctype>
#include <set>

namespace {

std::string Trimmed(std::string_view text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
  while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) --last;
  return std::string(text.substr(first, last - first));
}

// The five predefined entities and numeric references; anything else stays as written.
std::string DecodeEntities(const std::string& text) {
  if (text.find('&') == std::string::npos) return text;
  static const std::pair<const char*, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  for (size_t i = 0; i < text.size();) {
    bool replaced = false;
    for (const auto& [entity, c] : kEntities) {
      if (text.compare(i, std::char_traits<char>::length(entity), entity) == 0) {
        out.push_back(c);
        i += std::char_traits<char>::length(entity);
        replaced = true;
        break;
      }
    }
    if (!replaced) out.push_back(text[i++]);
  }
  return out;
}

}  // namespace

bool IsOfxTransactionAggregate(std::string_view name) {
  static const std::set<std::string, std::less<>> kAggregates = {
      "BUYDEBT",    "BUYMF",    "BUYOPT",    "BUYOTHER",       "BUYSTOCK", "CLOSUREOPT", "INCOME",
      "INVEXPENSE", "JRNLFUND", "JRNLSEC",   "MARGININTEREST", "REINVEST", "RETOFCAP",   "SELLDEBT",
      "SELLMF",     "SELLOPT",  "SELLOTHER", "SELLSTOCK",      "SPLIT",    "TRANSFER",   "INVBANKTRAN"};
  return kAggregates.count(name) != 0;
}

bool IsOfxPositionAggregate(std::string_view name) {
  return name == "POSSTOCK" || name == "POSMF" || name == "POSDEBT" || name == "POSOPT" || name == "POSOTHER";
}

OfxScan ScanOfx(std::string_view text) {
  OfxScan scan;
  int line = 1;
  size_t i = 0;
  OfxScannedTransaction* open = nullptr;  // the transaction being read
  OfxScannedBalance* balance = nullptr;   // the statement being read
  // Line ends are LF, CR LF or a lone CR.
  const auto countLines = [&](size_t from, size_t to) {
    for (size_t k = from; k < to; ++k) {
      if (text[k] == '\n' || (text[k] == '\r' && (k + 1 >= text.size() || text[k + 1] != '\n'))) ++line;
    }
  };
  while (true) {
    const size_t lt = text.find('<', i);
    if (lt == std::string_view::npos) break;
    countLines(i, lt);
    const size_t gt = text.find('>', lt);
    if (gt == std::string_view::npos) break;
    const std::string_view tag = text.substr(lt + 1, gt - lt - 1);
    const int tagLine = line;
    countLines(lt, gt);
    i = gt + 1;
    if (tag.empty() || tag[0] == '?' || tag[0] == '!') {
      if (tag.substr(0, 4) == "?xml") scan.xml = true;
      continue;
    }
    if (tag[0] == '/') {
      const std::string_view name = tag.substr(1);
      if (open && name == open->aggregate) open = nullptr;
      if (name == "INVSTMTRS") balance = nullptr;
      continue;
    }
    const std::string name = Trimmed(tag);
    const size_t next = text.find('<', i);
    const std::string value = DecodeEntities(
        Trimmed(text.substr(i, next == std::string_view::npos ? std::string_view::npos : next - i)));
    if (name == "OFX" && scan.ofxLine == 0) scan.ofxLine = tagLine;
    if (name == "INVSTMTRS") {
      scan.balances.push_back({});
      balance = &scan.balances.back();
      continue;
    }
    if (!open) {
      const int statement = balance ? static_cast<int>(scan.balances.size()) - 1 : -1;
      std::vector<OfxScannedTransaction>* list = nullptr;
      if (IsOfxTransactionAggregate(name)) list = &scan.transactions;
      if (IsOfxPositionAggregate(name)) list = &scan.positions;
      if (name == "SECINFO") list = &scan.securities;
      if (list) {
        list->push_back({name, tagLine, statement, {}, {}});
        open = &list->back();
        continue;
      }
    }
    if (value.empty()) {
      if (open) open->aggregates.insert(name);
      continue;
    }
    if (open) {
      open->values.emplace(name, value);  // the first of each name: the trade's own, not a nested one's
    } else if (balance) {
      if (name == "BROKERID") balance->brokerId = value;
      if (name == "ACCTID") balance->accountId = value;
      if (name == "AVAILCASH") balance->availableCash = value, balance->line = tagLine;
      if (name == "DTSTART" && balance->start.empty()) balance->start = value;
      if (name == "CURDEF" && balance->currency.empty()) balance->currency = value;
      if (name == "DTASOF" && balance->asOf.empty()) balance->asOf = value;
    }
  }
  return scan;
}
