#include "portfolio/checks/symbol_date_checks.h"

#include <ctime>

#include "portfolio/checks/typed_number.h"

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
  symbol = trimmed;
  return {};
}

EntryCheck CheckDateNotLater(int64_t date, int64_t endOfToday, EntryField field) {
  if (date != 0 && date > endOfToday) {
    const EntryPage page = field == EntryField::SaleDate ? EntryPage::Sale : EntryPage::Purchase;
    return EntryFailure(StringId::DateLaterThanToday, page, field);
  }
  return {};
}

int64_t EndOfToday() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  local.tm_hour = 23;
  local.tm_min = 59;
  local.tm_sec = 59;
  local.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&local));
}
