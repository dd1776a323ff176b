#include "portfolio/checks/sell_checks.h"

#include <tuple>

#include "portfolio/checks/number_field.h"
#include "portfolio/checks/symbol_date_checks.h"
#include "portfolio/columns/clock.h"

EntryCheck CheckSell(const SellEntry& entry, Quantity heldQty, SellResult& result) {
  NumberField qty;
  qty.field = EntryField::Quantity;
  qty.decimals = Quantity::kPlaces;
  qty.required = true;
  qty.minimum = 1;
  qty.maximum = heldQty.Units();
  // Whole shares keep the message that names them from 1; a fraction is said as such.
  const bool whole = heldQty.IsWhole() && heldQty >= Quantity::FromWhole(1);
  qty.negative = qty.tooLarge = qty.belowMinimum =
      whole ? StringId::SoldQuantityOutOfRange : StringId::SoldQuantityFraction;
  qty.arguments = {DecimalText(heldQty)};
  NumberField price = RequiredPriceField(EntryField::SalePrice, StringId::SalePriceInvalid);
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
  result.soldQty = Quantity::FromUnits(soldQty);
  result.salePrice = UnitPrice::FromUnits(salePrice);
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
