#include "portfolio/columns/holding_sort.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "framework/exchange_sort.h"
#include "framework/item_list.h"
#include "portfolio/columns/column_catalog.h"
#include "portfolio/records/vl_holding_item.h"
#include "portfolio/records/vl_stock_holding_item.h"

namespace {
int KindRank(int32_t kind) {
  switch (kind) {
    case kHoldingCash:
      return 1;
    case kHoldingMargin:
      return 2;
    case kHoldingStock:
      return 3;
    default:
      return 0;
  }
}

// "^" would sort indexes apart and "[" the bracketed cash and margin rows; both are neutralised.
std::string PrepareText(std::string text) {
  for (char& c : text) {
    if (c == '^') c = ' ';
    if (c == '[') c = '#';
  }
  return text;
}

int32_t Sign(int v) {
  return v < 0 ? -1 : (v > 0 ? 1 : 0);
}
}  // namespace

HoldingSortKey MakeHoldingSortKey(const Item* item, int column) {
  HoldingSortKey key;
  const auto* holding = dynamic_cast<const VLHoldingItem*>(item);
  if (!holding) return key;
  const int rank = KindRank(holding->GetKind());
  const auto* stock = dynamic_cast<const VLStockHoldingItem*>(holding);
  const bool index = stock && stock->quote->symbol.find('^') != std::string::npos;
  key.group = rank * 2 + (rank == 3 && !index ? 1 : 0);
  if (IsTextColumn(column)) {
    std::string text;
    holding->GetColumnText(column, text);
    key.text = PrepareText(std::move(text));
    if (column != kColSymbol) {
      holding->GetColumnText(kColSymbol, text);
      key.symbolText = PrepareText(std::move(text));
    }
  } else {
    key.value = holding->GetColumnValue(column);
  }
  return key;
}

HoldingKeyOrder::HoldingKeyOrder(int column, bool ascending)
    : textColumn(IsTextColumn(column)), symbolTieBreak(column != kColSymbol), ascending(ascending) {}

int32_t HoldingKeyOrder::Compare(const HoldingSortKey& a, const HoldingSortKey& b) const {
  if (a.group != b.group) return a.group < b.group ? -1 : 1;
  if (textColumn) {
    // std::string compares bytes as unsigned: "a" after "Z", UTF-8 in code point order.
    int c = ascending ? a.text.compare(b.text) : b.text.compare(a.text);
    if (c == 0 && symbolTieBreak) {
      c = ascending ? a.symbolText.compare(b.symbolText) : b.symbolText.compare(a.symbolText);
    }
    return Sign(c);
  }
  if (a.value == b.value) return 0;
  if (ascending) return a.value < b.value ? -1 : 1;
  return a.value > b.value ? -1 : 1;
}

namespace {
// Lists with a value that is not a number are sorted by the exchange sort itself up to this size: such a
// value compares equal to every other of its kind group, which no ranking can express.
constexpr int kPlainExchangeSortLimit = 5000;

// Each key's rank among all keys by `less` (a strict weak order), equal keys sharing one.
template <typename Less>
std::vector<int> Ranks(int count, Less less) {
  std::vector<int> byKey(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) byKey[static_cast<size_t>(i)] = i;
  std::sort(byKey.begin(), byKey.end(), less);
  std::vector<int> rank(static_cast<size_t>(count));
  for (size_t i = 0, r = 0; i < byKey.size(); ++i) {
    if (i > 0 && less(byKey[i - 1], byKey[i])) ++r;
    rank[static_cast<size_t>(byKey[i])] = static_cast<int>(r);
  }
  return rank;
}
// Ranks for a number column, the same as Ranks over HoldingKeyOrder gives, with the group and the value
// sorted side by side rather than reached through each key.
std::vector<int> NumberRanks(const std::vector<HoldingSortKey>& keys, bool ascending) {
  struct NumberKey {
    int group;
    double value;  // negated when descending, so that smaller always sorts first
    int index;
  };
  std::vector<NumberKey> sorted(keys.size());
  for (size_t i = 0; i < keys.size(); ++i) {
    sorted[i] = {keys[i].group, ascending ? keys[i].value : -keys[i].value, static_cast<int>(i)};
  }
  const auto less = [](const NumberKey& a, const NumberKey& b) {
    return a.group != b.group ? a.group < b.group : a.value < b.value;
  };
  std::sort(sorted.begin(), sorted.end(), less);
  std::vector<int> rank(keys.size());
  for (size_t i = 0, r = 0; i < sorted.size(); ++i) {
    if (i > 0 && less(sorted[i - 1], sorted[i])) ++r;
    rank[static_cast<size_t>(sorted[i].index)] = static_cast<int>(r);
  }
  return rank;
}
}  // namespace

int SortHoldings(ItemList& list, int column, bool ascending) {
  const int count = list.GetCount();
  std::vector<HoldingSortKey> keys;
  keys.reserve(static_cast<size_t>(count));
  bool totalOrder = true;
  for (int i = 0; i < count; ++i) {
    keys.push_back(MakeHoldingSortKey(list.GetAt(i), column));
    totalOrder = totalOrder && !std::isnan(keys.back().value);
  }
  const HoldingKeyOrder keyOrder(column, ascending);
  const auto keyLess = [&](int x, int y) {
    return keyOrder.Compare(keys[static_cast<size_t>(x)], keys[static_cast<size_t>(y)]) < 0;
  };
  if (!totalOrder && count <= kPlainExchangeSortLimit) {
    std::vector<int> order(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) order[static_cast<size_t>(i)] = i;
    ExchangeSort(order, keyLess);
    list.ApplyOrder(order);
    return count;
  }
  // Larger lists with such a value: it sorts after every number of its kind group, in either direction.
  const auto numbersFirst = [&](int x, int y) {
    const HoldingSortKey& a = keys[static_cast<size_t>(x)];
    const HoldingSortKey& b = keys[static_cast<size_t>(y)];
    if (a.group == b.group && (std::isnan(a.value) || std::isnan(b.value))) {
      return !std::isnan(a.value) && std::isnan(b.value);
    }
    return keyOrder.Compare(a, b) < 0;
  };
  if (totalOrder && !IsTextColumn(column)) {
    list.ApplyOrder(ExchangeSortOrder(NumberRanks(keys, ascending)));
    return count;
  }
  const std::vector<int> rank = totalOrder ? Ranks(count, keyLess) : Ranks(count, numbersFirst);
  list.ApplyOrder(ExchangeSortOrder(rank));
  return count;
}

bool ApplyHeaderClick(int clicked, int& column, bool& ascending) {
  if (!IsSortableColumn(clicked)) return false;
  if (clicked == column) {
    ascending = !ascending;
  } else {
    column = clicked;
    ascending = SortsAscendingFirst(clicked);
  }
  return true;
}

const char* SortMarkSuffix(bool ascending) {
  return ascending ? "  ^" : "  v";
}
