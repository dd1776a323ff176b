#include "portfolio/records/vl_income_item.h"

#include <cstdlib>
#include <iterator>

#include "framework/archive.h"
#include "framework/text_util.h"
#include "portfolio/checks/text_limits.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/currency_units.h"

namespace {

struct KindName {
  IncomeKind kind;
  const char* name;
};
constexpr KindName kKindNames[] = {
    {IncomeKind::Dividend, "dividend"},
    {IncomeKind::CapitalGain, "capital-gain"},
    {IncomeKind::ReturnOfCapital, "return-of-capital"},
    {IncomeKind::Interest, "interest"},
    {IncomeKind::Other, "other"},
};

bool WithinDates(int64_t stored) {
  const int64_t day = DayNumberOfStoredDate(stored);
  return day >= DayNumberOf(kEarliestDate) && day <= DayNumberOf(kLatestDate);
}

// A withholding or fee: 0, or of the gross's sign.
bool SameSign(int64_t part, int64_t gross) {
  return part == 0 || (part > 0) == (gross > 0);
}

}  // namespace

const char* IncomeKindName(IncomeKind kind) {
  for (const KindName& k : kKindNames) {
    if (k.kind == kind) return k.name;
  }
  return "";
}

bool IncomeKindByName(const std::string& name, IncomeKind& kind) {
  const std::string folded = AsciiLower(name);
  for (const KindName& k : kKindNames) {
    if (folded == k.name) {
      kind = k.kind;
      return true;
    }
  }
  return false;
}

bool VLIncomeItem::FitsRecord() const {
  if (name.empty() || FindTextFault(name, kMaxSymbolCharacters) != TextFault::None) return false;
  if (portfolioId == 0 || *IncomeKindName(kind) == '\0') return false;
  if (payDate == 0 || !WithinDates(payDate)) return false;
  if (exDate != 0 && (!WithinDates(exDate) || DayNumberOfStoredDate(exDate) > DayNumberOfStoredDate(payDate)))
    return false;
  if (shares.Units() < 0) return false;
  // Each amount within the limit before any is added to another (a file may hold anything).
  const auto within = [](int64_t cents) { return cents >= -kMaxCents && cents <= kMaxCents; };
  if (gross == 0 || !within(gross) || !within(withholding) || !within(fees)) return false;
  if (!SameSign(withholding, gross) || !SameSign(fees, gross)) return false;
  if (std::llabs(withholding) + std::llabs(fees) > std::llabs(gross)) return false;
  if (!currency.empty() && !IsAcceptedCurrencyCode(currency)) return false;
  return FindTextFault(comment, kMaxTextCharacters) == TextFault::None;
}

bool VLIncomeItem::CopyTo(VLIncomeItem* other) const {
  if (!other || !Item::CopyTo(other)) return false;
  other->portfolioId = portfolioId;
  other->kind = kind;
  other->payDate = payDate;
  other->exDate = exDate;
  other->shares = shares;
  other->gross = gross;
  other->withholding = withholding;
  other->fees = fees;
  other->currency = currency;
  other->comment = comment;
  other->reinvestPositionId = reinvestPositionId;
  return true;
}

bool VLIncomeItem::CopyFrom(const VLIncomeItem* other) {
  if (!other) return false;
  return other->CopyTo(this);
}

std::unique_ptr<Item> VLIncomeItem::Clone() const {
  auto copy = std::make_unique<VLIncomeItem>();
  (void)CopyTo(copy.get());  // cannot fail: the copy is a new object of this class
  return copy;
}

SerializeResult VLIncomeItem::Serialize(Archive* ar) {
  if (SerializeResult rc = SerializeTypeHeader(ar, *this); rc != SerializeResult::Ok) return rc;
  if (SerializeResult rc = SerializeItemLevel(ar, false); rc != SerializeResult::Ok) return rc;
  ar->Io(portfolioId);
  auto kindNumber = static_cast<int32_t>(kind);
  ar->Io(kindNumber);
  kind = static_cast<IncomeKind>(kindNumber);  // checked below when loading
  ar->IoTime(payDate);
  ar->IoTime(exDate);
  int64_t units = shares.Units();
  ar->IoInt64(units);
  shares = Quantity::FromUnits(units);
  ar->IoInt64(gross);
  ar->IoInt64(withholding);
  ar->IoInt64(fees);
  ar->Io(currency);
  ar->Io(comment);
  ar->Io(reinvestPositionId);
  if (ar->IsLoading() && !FitsRecord()) return SerializeResult::Failed;
  return SerializeResult::Ok;
}
