#include "portfolio/checks/sell_checks.h"

#include <tuple>

#include "portfolio/checks/number_field.h"
#include "portfolio/checks/symbol_date_checks.h"
#include "portfolio/columns/clock.h"

EntryCheck CheckSell(const SellEntry& entry, uint32_t heldQty, SellResult& result) {
  NumberField qty;
  qty.field = EntryField::Quantity;
  qty.wholeNumber = true;
  qty.required = true;
  qty.minimum = 1;
  qty.maximum = heldQty;
  qty.negative = qty.tooLarge = qty.belowMinimum = StringId::SoldQuantityOutOfRange;
  qty.arguments = {std::to_string(heldQty)};
  NumberField price;
  price.field = EntryField::SalePrice;
  price.required = true;
  price.minimum = 1;
  price.belowMinimum = StringId::SalePriceInvalid;
  NumberField commission;
  commission.field = EntryField::SaleCommission;
  commission.negative = StringId::SaleCommissionNegative;

  int64_t soldQty = 0, salePrice = 0, saleCommission = 0;
  for (const auto& [text, field, value] :
       {std::tie(entry.quantity, qty, soldQty), std::tie(entry.salePrice, price, salePrice),
        std::tie(entry.saleCommission, commission, saleCommission)}) {
    if (EntryCheck check = ReadNumberField(text, field, value); !check.Ok()) return check;
  }
  const int64_t saleDate = entry.saleDate.value_or(0);
  if (EntryCheck check = CheckDateInRange(saleDate, TodayDayNumber(), EntryField::SaleDate); !check.Ok()) {
    check.page = EntryPage::None;
    return check;
  }
  result.soldQty = static_cast<uint32_t>(soldQty);
  result.salePrice = static_cast<uint32_t>(salePrice);
  result.saleDate = saleDate;
  result.saleCommission = static_cast<uint32_t>(saleCommission);
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
