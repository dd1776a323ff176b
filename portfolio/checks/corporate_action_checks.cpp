#include "portfolio/checks/corporate_action_checks.h"

#include "framework/text_util.h"
#include "portfolio/checks/number_field.h"
#include "portfolio/checks/symbol_date_checks.h"
#include "portfolio/checks/text_limits.h"

namespace {

EntryCheck CheckSymbolField(const std::string& typed, EntryField field, std::string& symbol) {
  if (EntryCheck check = CheckSymbolText(typed, symbol); !check.Ok()) {
    check.field = field;
    return check;
  }
  return CheckTextField(symbol, kMaxSymbolCharacters, field, "the symbol");
}

}  // namespace

EntryCheck CheckSplit(const SplitEntry& entry, int64_t today, SplitRequest& request) {
  std::string symbol;
  if (EntryCheck check = CheckSymbolField(entry.symbol, EntryField::Symbol, symbol); !check.Ok())
    return check;
  SplitRatio ratio;
  if (!ParseSplitRatio(TrimBlanks(entry.ratio), ratio))
    return EntryFailure(StringId::SplitRatioInvalid, EntryPage::None, EntryField::SplitRatio, {entry.ratio});
  if (EntryCheck check = CheckRequiredDay(entry.date, today); !check.Ok()) return check;
  int64_t cashUnits = 0;
  if (!TrimBlanks(entry.cashInLieu).empty()) {
    if (EntryCheck check = ReadNumberField(
            entry.cashInLieu, RequiredPriceField(EntryField::CashInLieu, StringId::CashInLieuInvalid),
            cashUnits);
        !check.Ok()) {
      return check;
    }
  }
  if (EntryCheck check =
          CheckTextField(entry.comment, kMaxTextCharacters, EntryField::Comment, "the comment");
      !check.Ok()) {
    return check;
  }
  request.symbol = AsciiUpper(symbol);
  request.ratio = ratio;
  request.exDate = entry.date;
  request.cashInLieu = UnitPrice::FromUnits(cashUnits);
  request.comment = entry.comment;
  return {};
}

EntryCheck CheckSymbolChange(const SymbolChangeEntry& entry, int64_t today, SymbolChangeEntry& result) {
  std::string oldSymbol;
  std::string newSymbol;
  if (EntryCheck check = CheckSymbolField(entry.oldSymbol, EntryField::Symbol, oldSymbol); !check.Ok())
    return check;
  if (EntryCheck check = CheckSymbolField(entry.newSymbol, EntryField::NewSymbol, newSymbol); !check.Ok())
    return check;
  if (EqualNoCase(oldSymbol, newSymbol))
    return EntryFailure(StringId::NewSymbolSame, EntryPage::None, EntryField::NewSymbol, {newSymbol});
  if (EntryCheck check = CheckRequiredDay(entry.date, today); !check.Ok()) return check;
  if (EntryCheck check =
          CheckTextField(entry.comment, kMaxTextCharacters, EntryField::Comment, "the comment");
      !check.Ok()) {
    return check;
  }
  result.oldSymbol = AsciiUpper(oldSymbol);
  result.newSymbol = AsciiUpper(newSymbol);
  result.comment = entry.comment;
  result.date = entry.date;
  return {};
}
