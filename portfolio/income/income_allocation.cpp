#include "portfolio/income/income_allocation.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <numeric>
#include <string>

#include "framework/text_util.h"
#include "portfolio/income/income_entitlement.h"
#include "portfolio/records/calendar_date.h"

std::vector<int64_t> ShareCents(int64_t cents, const std::vector<int64_t>& weights,
                                const std::vector<size_t>& order) {
  std::vector<int64_t> parts(weights.size(), 0);
  Int128 total = 0;
  for (int64_t w : weights) total += w;
  if (total <= 0) return parts;
  const int64_t magnitude = std::llabs(cents);
  std::vector<Int128> remainders(weights.size(), 0);
  int64_t given = 0;
  for (size_t i = 0; i < weights.size(); ++i) {
    const Int128 product = static_cast<Int128>(magnitude) * weights[i];
    parts[i] = static_cast<int64_t>(product / total);
    remainders[i] = product % total;
    given += parts[i];
  }
  // The cents left, one each to the largest remainders; ties by `order`.
  std::vector<size_t> ranked(weights.size());
  std::iota(ranked.begin(), ranked.end(), size_t{0});
  std::sort(ranked.begin(), ranked.end(), [&](size_t a, size_t b) {
    if (remainders[a] != remainders[b]) return remainders[a] > remainders[b];
    return order[a] < order[b];
  });
  for (size_t k = 0; given < magnitude && k < ranked.size(); ++k, ++given) ++parts[ranked[k]];
  if (cents < 0) {
    for (int64_t& part : parts) part = -part;
  }
  return parts;
}

std::unordered_map<uint32_t, PositionIncome> AllocateIncome(
    const std::vector<const VLStockHoldingItem*>& positions, const std::vector<VLIncomeItem>& income,
    int64_t today) {
  // The positions of each symbol, oldest purchase first.
  std::map<std::string, std::vector<const VLStockHoldingItem*>> bySymbol;
  for (const VLStockHoldingItem* stock : positions) bySymbol[AsciiUpper(stock->name)].push_back(stock);
  for (auto& [symbol, list] : bySymbol) {
    std::stable_sort(list.begin(), list.end(), [](const VLStockHoldingItem* a, const VLStockHoldingItem* b) {
      const int64_t dayA = a->purchaseDate ? DayNumberOfStoredDate(a->purchaseDate) : INT64_MIN;
      const int64_t dayB = b->purchaseDate ? DayNumberOfStoredDate(b->purchaseDate) : INT64_MIN;
      return dayA != dayB ? dayA < dayB : a->id < b->id;
    });
  }
  std::unordered_map<uint32_t, PositionIncome> shares;
  for (const VLIncomeItem& record : income) {
    const auto found = bySymbol.find(AsciiUpper(record.name));
    if (found == bySymbol.end()) continue;
    const int64_t day = EntitlementDay(record);
    std::vector<const VLStockHoldingItem*> entitled;
    std::vector<int64_t> weights;
    for (const VLStockHoldingItem* stock : found->second) {
      if (!IsEntitled(*stock, day)) continue;
      entitled.push_back(stock);
      weights.push_back(stock->qty.Units());
    }
    std::vector<size_t> order(entitled.size());
    std::iota(order.begin(), order.end(), size_t{0});  // already oldest first
    const std::vector<int64_t> net = ShareCents(record.Net(), weights, order);
    const bool lastYear =
        DayNumberOfStoredDate(record.payDate) > today - 365 && DayNumberOfStoredDate(record.payDate) <= today;
    const bool capital = record.kind == IncomeKind::ReturnOfCapital;
    const std::vector<int64_t> returned =
        capital ? ShareCents(record.gross, weights, order) : std::vector<int64_t>();
    for (size_t i = 0; i < entitled.size(); ++i) {
      PositionIncome& part = shares[entitled[i]->id];
      part.net += net[i];
      if (lastYear) part.netLastYear += net[i];
      if (capital) part.returnOfCapital += returned[i];
    }
  }
  return shares;
}
