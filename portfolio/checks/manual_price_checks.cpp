#include "portfolio/checks/manual_price_checks.h"

#include "portfolio/checks/number_field.h"
#include "portfolio/checks/symbol_date_checks.h"
#include "portfolio/checks/text_limits.h"

EntryCheck CheckManualPrice(const ManualPriceEntry& entry, int64_t today, ManualPriceResult& result) {
  std::string symbol;
  if (EntryCheck check = CheckSymbolText(entry.symbol, symbol); !check.Ok()) return check;
  if (EntryCheck check = CheckTextField(symbol, kMaxSymbolCharacters, EntryField::Symbol, "the symbol");
      !check.Ok()) {
    return check;
  }
  int64_t units = 0;
  if (EntryCheck check = ReadNumberField(
          entry.price, RequiredPriceField(EntryField::ManualPrice, StringId::ManualPriceInvalid), units);
      !check.Ok()) {
    return check;
  }
  if (EntryCheck check = CheckRequiredDay(entry.date, today); !check.Ok()) return check;
  result.symbol = symbol;
  result.price = UnitPrice::FromUnits(units);
  result.date = entry.date;
  return {};
}
