#include "portfolio/exchange/transaction_kinds.h"

#include <iterator>

#include "framework/text_util.h"
#include "portfolio/checks/typed_number.h"

namespace {

struct KindName {
  TransactionKind kind;
  const char* name;
};
constexpr KindName kKindNames[] = {
    {TransactionKind::Buy, "buy"},
    {TransactionKind::Sell, "sell"},
    {TransactionKind::Dividend, "dividend"},
    {TransactionKind::CapitalGain, "capital-gain"},
    {TransactionKind::ReturnOfCapital, "return-of-capital"},
    {TransactionKind::Interest, "interest"},
    {TransactionKind::Tax, "tax"},
    {TransactionKind::Fee, "fee"},
    {TransactionKind::Deposit, "deposit"},
    {TransactionKind::Withdrawal, "withdrawal"},
    {TransactionKind::Split, "split"},
    {TransactionKind::Skip, "skip"},
};

// Lower case ASCII letters, every other byte as it is: file values may be in any script, and only the
// ASCII letters' case is ignored.
std::string Folded(std::string_view text) {
  return AsciiLower(std::string(TrimBlanks(text)));
}

}  // namespace

const char* TransactionKindName(TransactionKind kind) {
  for (const KindName& k : kKindNames) {
    if (k.kind == kind) return k.name;
  }
  return "";
}

std::optional<TransactionKind> TransactionKindByName(std::string_view name) {
  const std::string folded = Folded(name);
  for (const KindName& k : kKindNames) {
    if (folded == k.name) return k.kind;
  }
  return std::nullopt;
}

const std::vector<TransactionKind>& TransactionKinds() {
  static const std::vector<TransactionKind> kinds = [] {
    std::vector<TransactionKind> all;
    for (const KindName& k : kKindNames) all.push_back(k.kind);
    return all;
  }();
  return kinds;
}

std::string TransactionKindList() {
  std::string list;
  const size_t count = std::size(kKindNames);
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) list += i + 1 == count ? " or " : ", ";
    list += kKindNames[i].name;
  }
  return list;
}

bool TransactionKindMap::Add(std::string_view text, std::string& error) {
  const size_t equals = text.find('=');
  if (equals == std::string_view::npos) {
    error = "'" + std::string(TrimBlanks(text)) + "' is not KIND=VALUE|VALUE...";
    return false;
  }
  const std::string_view name = TrimBlanks(text.substr(0, equals));
  const std::optional<TransactionKind> kind = TransactionKindByName(name);
  if (!kind) {
    error = "'" + std::string(name) + "' is not a kind; the kinds are " + TransactionKindList();
    return false;
  }
  std::vector<std::string_view> values;
  std::string_view rest = text.substr(equals + 1);
  while (true) {
    const size_t bar = rest.find('|');
    const std::string_view value = TrimBlanks(rest.substr(0, bar));
    if (!value.empty()) values.push_back(value);
    if (bar == std::string_view::npos) break;
    rest.remove_prefix(bar + 1);
  }
  if (values.empty()) {
    error = "no value of the file is given for " + std::string(TransactionKindName(*kind));
    return false;
  }
  for (std::string_view value : values) Add(*kind, value);
  return true;
}

void TransactionKindMap::Add(TransactionKind kind, std::string_view value) {
  const std::string trimmed(TrimBlanks(value));
  const std::string folded = Folded(trimmed);
  for (Entry& entry : entries) {
    if (entry.folded == folded) {
      entry.kind = kind;  // the later mapping of the same value wins
      return;
    }
  }
  entries.push_back({kind, trimmed, folded});
}

void TransactionKindMap::Remove(std::string_view value) {
  const std::string folded = Folded(value);
  std::erase_if(entries, [&folded](const Entry& entry) { return entry.folded == folded; });
}

std::optional<TransactionKind> TransactionKindMap::Find(std::string_view fileValue) const {
  const std::string value = Folded(fileValue);
  std::optional<TransactionKind> found;
  size_t longestPattern = 0;
  for (const Entry& entry : entries) {
    const std::string& wanted = entry.folded;
    if (wanted == value) return entry.kind;
    if (wanted.empty() || wanted.back() != '*') continue;
    const std::string_view prefix = std::string_view(wanted).substr(0, wanted.size() - 1);
    if (value.compare(0, prefix.size(), prefix) == 0 && (!found || prefix.size() + 1 > longestPattern)) {
      found = entry.kind;
      longestPattern = prefix.size() + 1;
    }
  }
  return found;
}

std::string TransactionKindMap::ValuesOf(TransactionKind kind) const {
  std::string values;
  for (const Entry& entry : entries) {
    if (entry.kind != kind) continue;
    if (!values.empty()) values.push_back('|');
    values += entry.value;
  }
  return values;
}
