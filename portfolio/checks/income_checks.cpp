#include "portfolio/checks/income_checks.h"

#include <cstdlib>

#include "framework/text_util.h"
#include "portfolio/checks/number_field.h"
#include "portfolio/checks/symbol_date_checks.h"
#include "portfolio/checks/text_limits.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/currency_units.h"

namespace {

NumberField AmountField(EntryField field) {
  NumberField amount;
  amount.field = field;
  amount.maximum = VLIncomeItem::kMaxCents;
  return amount;
}

// A day of the payment: in range, its own messages naming the field.
EntryCheck CheckIncomeDay(int64_t date, int64_t today, EntryField field) {
  EntryCheck check = CheckDateInRange(date, today, field);
  if (check.Ok()) return check;
  check.message = check.message == StringId::DateLaterThanToday ? StringId::IncomeDateLater
                                                                : StringId::IncomeDateOutOfRange;
  check.field = field;
  return check;
}

}  // namespace

EntryCheck CheckIncome(const IncomeEntry& entry, int64_t today, VLIncomeItem& income) {
  std::string symbol;
  if (EntryCheck check = CheckSymbolText(entry.symbol, symbol); !check.Ok()) return check;
  if (EntryCheck check = CheckTextField(symbol, kMaxSymbolCharacters, EntryField::Symbol, "the symbol");
      !check.Ok())
    return check;
  IncomeKind kind = IncomeKind::Dividend;
  const std::string kindText(TrimBlanks(entry.kind));
  if (!kindText.empty() && !IncomeKindByName(kindText, kind))
    return EntryFailure(StringId::IncomeKindInvalid, EntryPage::None, EntryField::IncomeKind, {kindText});
  // The gross with its sign; the deductions as magnitudes, given the gross's sign.
  std::string grossText(TrimBlanks(entry.gross));
  const bool negative = !grossText.empty() && grossText.front() == '-';
  if (negative) grossText.erase(0, 1);
  int64_t gross = 0;
  if (EntryCheck check = ReadNumberField(grossText, AmountField(EntryField::Gross), gross); !check.Ok())
    return check;
  if (gross == 0)
    return EntryFailure(StringId::IncomeGrossInvalid, EntryPage::None, EntryField::Gross, {entry.gross});
  int64_t parts[2] = {0, 0};
  const std::pair<const std::string*, EntryField> deductions[2] = {
      {&entry.withholding, EntryField::Withholding}, {&entry.fees, EntryField::Fees}};
  for (size_t i = 0; i < 2; ++i) {
    std::string text(TrimBlanks(*deductions[i].first));
    // A reversal's deductions may be written with its sign.
    if (negative && !text.empty() && text.front() == '-') text.erase(0, 1);
    if (EntryCheck check = ReadNumberField(text, AmountField(deductions[i].second), parts[i]); !check.Ok())
      return check;
  }
  if (parts[0] + parts[1] > gross)
    return EntryFailure(StringId::IncomeDeductionsTooLarge, EntryPage::None, EntryField::Withholding);
  int64_t shareUnits = 0;
  NumberField sharesField;
  sharesField.field = EntryField::Shares;
  sharesField.decimals = Quantity::kPlaces;
  sharesField.maximum = INT64_MAX;
  if (EntryCheck check = ReadNumberField(std::string(TrimBlanks(entry.shares)), sharesField, shareUnits);
      !check.Ok())
    return check;
  if (entry.payDate == 0)
    return EntryFailure(StringId::IncomeDateOutOfRange, EntryPage::None, EntryField::PayDate,
                        {IsoDateText(kEarliestDate)});
  if (EntryCheck check = CheckIncomeDay(entry.payDate, today, EntryField::PayDate); !check.Ok()) return check;
  if (EntryCheck check = CheckIncomeDay(entry.exDate, today, EntryField::ExDate); !check.Ok()) return check;
  if (entry.exDate != 0 && DayNumberOfStoredDate(entry.exDate) > DayNumberOfStoredDate(entry.payDate))
    return EntryFailure(StringId::IncomePayBeforeEx, EntryPage::None, EntryField::PayDate);
  const std::string currency(TrimBlanks(entry.currency));
  if (!currency.empty() && !IsAcceptedCurrencyCode(currency))
    return EntryFailure(StringId::CurrencyNotValid, EntryPage::None, EntryField::Currency,
                        {currency, MinorCurrencyUnitsText()});
  if (EntryCheck check =
          CheckTextField(entry.comment, kMaxTextCharacters, EntryField::Comment, "the comment");
      !check.Ok())
    return check;
  const int64_t sign = negative ? -1 : 1;
  income.name = AsciiUpper(symbol);
  income.kind = kind;
  income.gross = sign * gross;
  income.withholding = sign * parts[0];
  income.fees = sign * parts[1];
  income.shares = Quantity::FromUnits(shareUnits);
  income.payDate = entry.payDate;
  income.exDate = entry.exDate;
  income.currency = currency;
  income.comment = entry.comment;
  return {};
}
