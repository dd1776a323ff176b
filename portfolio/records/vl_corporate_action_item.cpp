#include "portfolio/records/vl_corporate_action_item.h"

#include <numeric>

#include "framework/archive.h"
#include "portfolio/checks/text_limits.h"
#include "portfolio/records/calendar_date.h"

namespace {

bool FitsSymbol(const std::string& symbol) {
  return !symbol.empty() && FindTextFault(symbol, kMaxSymbolCharacters) == TextFault::None;
}

}  // namespace

bool VLCorporateActionItem::FitsRecord() const {
  if (!FitsSymbol(name) || exDate == 0) return false;
  const int64_t day = DayNumberOfStoredDate(exDate);
  if (day < DayNumberOf(kEarliestDate) || day > DayNumberOf(kLatestDate)) return false;
  if (FindTextFault(comment, kMaxTextCharacters) != TextFault::None) return false;
  if (cashInLieu.Units() < 0 || cashInLieu > kMaxStoredPrice) return false;
  switch (kind) {
    case CorporateActionKind::Split:
      return newShares > 0 && oldShares > 0 && newShares != oldShares &&
             std::gcd(newShares, oldShares) == 1 && newSymbol.empty();
    case CorporateActionKind::SymbolChange:
      return FitsSymbol(newSymbol) && newSymbol != name && newShares == 0 && oldShares == 0 &&
             cashInLieu.IsZero();
  }
  return false;
}

bool VLCorporateActionItem::CopyTo(VLCorporateActionItem* other) const {
  if (!other || !Item::CopyTo(other)) return false;
  other->exDate = exDate;
  other->kind = kind;
  other->newShares = newShares;
  other->oldShares = oldShares;
  other->newSymbol = newSymbol;
  other->cashInLieu = cashInLieu;
  other->comment = comment;
  return true;
}

bool VLCorporateActionItem::CopyFrom(const VLCorporateActionItem* other) {
  if (!other) return false;
  return other->CopyTo(this);
}

std::unique_ptr<Item> VLCorporateActionItem::Clone() const {
  auto copy = std::make_unique<VLCorporateActionItem>();
  (void)CopyTo(copy.get());  // cannot fail: the copy is a new object of this class
  return copy;
}

SerializeResult VLCorporateActionItem::Serialize(Archive* ar) {
  if (SerializeResult rc = SerializeTypeHeader(ar, *this); rc != SerializeResult::Ok) return rc;
  if (SerializeResult rc = SerializeItemLevel(ar, false); rc != SerializeResult::Ok) return rc;
  ar->IoTime(exDate);
  auto kindNumber = static_cast<int32_t>(kind);
  ar->Io(kindNumber);
  kind = static_cast<CorporateActionKind>(kindNumber);  // checked below when loading
  ar->Io(newShares);
  ar->Io(oldShares);
  ar->Io(newSymbol);
  int64_t units = cashInLieu.Units();
  ar->IoInt64(units);
  cashInLieu = UnitPrice::FromUnits(units);
  ar->Io(comment);
  if (ar->IsLoading() && !FitsRecord()) return SerializeResult::Failed;
  return SerializeResult::Ok;
}
