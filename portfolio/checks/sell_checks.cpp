#include "portfolio/checks/sell_checks.h"

#include "portfolio/checks/typed_number.h"

namespace {
constexpr int64_t kMaxCents = 4294967295;
}  // namespace

EntryCheck CheckSell(const SellEntry& entry, uint32_t heldQty, SellResult& result) {
  const TypedNumber qty = ReadTypedWholeNumber(entry.quantity);
  if (!qty.IsOk() || qty.value < 1 || qty.value > static_cast<int64_t>(heldQty)) {
    return EntryFailure(StringId::SoldQuantityOutOfRange, EntryPage::None, EntryField::Quantity,
                        {std::to_string(heldQty)});
  }
  const TypedNumber price = ReadTypedAmount(entry.salePrice);
  if (!price.IsOk() || price.value <= 0 || price.value > kMaxCents) {
    return EntryFailure(StringId::SalePriceInvalid, EntryPage::None, EntryField::SalePrice);
  }
  const TypedNumber commission = ReadTypedAmount(entry.saleCommission);
  if (!commission.IsEmpty() && (!commission.IsOk() || commission.value < 0 || commission.value > kMaxCents)) {
    return EntryFailure(StringId::SaleCommissionNegative, EntryPage::None, EntryField::SaleCommission);
  }
  result.soldQty = static_cast<uint32_t>(qty.value);
  result.salePrice = static_cast<uint32_t>(price.value);
  result.saleDate = entry.saleDate.value_or(0);
  result.saleCommission = commission.IsOk() ? static_cast<uint32_t>(commission.value) : 0;
  return {};
}

EntryCheck CheckNewSymbol(const std::string& typed, std::string& symbol) {
  if (TrimBlanks(typed).empty())
    return EntryFailure(StringId::NewSymbolMissing, EntryPage::None, EntryField::NewSymbol);
  symbol = typed;
  return {};
}

std::optional<std::string> ChangedSymbol(const std::string& chosen, const std::string& current) {
  std::string trimmed(TrimBlanks(chosen));
  if (trimmed.empty() || trimmed == current) return std::nullopt;
  return trimmed;
}
