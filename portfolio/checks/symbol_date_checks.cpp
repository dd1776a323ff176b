#include "portfolio/checks/symbol_date_checks.h"

#include <cstdio>

#include "portfolio/checks/text_limits.h"
#include "portfolio/checks/typed_number.h"
#include "portfolio/records/calendar_date.h"

namespace {

bool ForbiddenInSymbol(unsigned char c) {
  return c < 0x20 || c == 0x7F || c == ' ' || c == ',' || c == '"' || c == '\'';
}

}  // namespace

EntryCheck CheckSymbolText(const std::string& typed, std::string& symbol) {
  const std::string trimmed(TrimBlanks(typed));
  if (trimmed.empty()) return EntryFailure(StringId::SymbolMissing, EntryPage::None, EntryField::Symbol);
  for (const char c : trimmed) {
    if (ForbiddenInSymbol(static_cast<unsigned char>(c))) {
      return EntryFailure(StringId::SymbolCharactersInvalid, EntryPage::None, EntryField::Symbol, {trimmed});
    }
  }
  if (EntryCheck check = CheckTextField(trimmed, kMaxSymbolCharacters, EntryField::Symbol, "the symbol");
      !check.Ok())
    return check;
  symbol = trimmed;
  return {};
}

EntryCheck CheckDateInRange(int64_t date, int64_t today, EntryField field) {
  if (date == 0) return {};
  const EntryPage page = field == EntryField::SaleDate ? EntryPage::Sale : EntryPage::Purchase;
  const int64_t day = DayNumberOfStoredDate(date);
  if (day < DayNumberOf(kEarliestDate)) {
    return EntryFailure(StringId::DateOutOfRange, page, field, {IsoDateText(kEarliestDate)});
  }
  if (day > today) return EntryFailure(StringId::DateLaterThanToday, page, field);
  return {};
}

bool SaleBeforePurchase(int64_t purchaseDate, int64_t saleDate) {
  if (purchaseDate == 0 || saleDate == 0) return false;
  return DayNumberOfStoredDate(saleDate) < DayNumberOfStoredDate(purchaseDate);
}

EntryCheck CheckRequiredDay(int64_t date, int64_t today) {
  if (date == 0) {
    return EntryFailure(StringId::DateOutOfRange, EntryPage::None, EntryField::BuyDate,
                        {IsoDateText(kEarliestDate)});
  }
  EntryCheck check = CheckDateInRange(date, today, EntryField::BuyDate);
  check.page = EntryPage::None;
  return check;
}
