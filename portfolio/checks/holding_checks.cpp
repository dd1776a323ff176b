#include "portfolio/checks/holding_checks.h"

#include "portfolio/checks/typed_number.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "portfolio/records/vl_stock_holding_item.h"

namespace {

constexpr int64_t kMaxCents = 4294967295;

// An amount field that may be empty (0) and must not be negative; any other text fails as well, with
// the field's own message, so nothing typed is dropped silently.
bool ReadNonNegativeAmount(const std::string& text, uint32_t& cents) {
  const TypedNumber number = ReadTypedAmount(text);
  if (number.IsEmpty()) {
    cents = 0;
    return true;
  }
  if (!number.IsOk() || number.value < 0 || number.value > kMaxCents) return false;
  cents = static_cast<uint32_t>(number.value);
  return true;
}

EntryCheck Fail(StringId message, EntryPage page, EntryField field) {
  return EntryFailure(message, page, field);
}

EntryCheck CheckQuantity(const std::string& text, uint32_t& qty) {
  const TypedNumber number = ReadTypedWholeNumber(text);
  if (number.IsEmpty()) {
    qty = 0;
    return {};
  }
  if (number.status == TypedNumberStatus::TooLarge ||
      (number.IsOk() && number.value > kMaxPositionQuantity)) {
    return Fail(StringId::QuantityTooLarge, EntryPage::None, EntryField::Quantity);
  }
  // A fraction, a negative number or words: ask for the number of shares again.
  if (!number.IsOk() || number.value < 0)
    return Fail(StringId::QuantityMissing, EntryPage::None, EntryField::Quantity);
  qty = static_cast<uint32_t>(number.value);
  return {};
}

EntryCheck CheckPurchase(const StockHoldingEntry& entry, VLStockHoldingItem& out) {
  if (!ReadNonNegativeAmount(entry.buyPrice, out.buyPricePerShare)) {
    return Fail(StringId::BuyPriceNegative, EntryPage::Purchase, EntryField::BuyPrice);
  }
  out.purchaseDate = entry.buyDate.value_or(0);
  if (!ReadNonNegativeAmount(entry.buyCommission, out.buyCommission)) {
    return Fail(StringId::BuyCommissionNegative, EntryPage::Purchase, EntryField::BuyCommission);
  }
  return {};
}

EntryCheck CheckTargets(const StockHoldingEntry& entry, VLStockHoldingItem& out) {
  struct Target {
    const std::string& text;
    uint32_t& cents;
    EntryField field;
  };
  const Target targets[] = {
      {entry.buyTarget, out.perShareBuyTarget, EntryField::BuyTarget},
      {entry.sellTarget, out.perShareSellTarget, EntryField::SellTarget},
      {entry.stopLossTarget, out.perShareStopLossTarget, EntryField::StopLossTarget},
  };
  for (const Target& target : targets) {
    if (!ReadNonNegativeAmount(target.text, target.cents)) {
      return Fail(StringId::TargetPriceInvalid, EntryPage::Targets, target.field);
    }
  }
  return {};
}

// The percentage: empty, or a whole number from 1 to 100.
bool ReadMarginPercent(const std::string& text, int32_t& percent, bool& present) {
  const TypedNumber number = ReadTypedWholeNumber(text);
  present = !number.IsEmpty();
  percent = 0;
  if (!present) return true;
  if (!number.IsOk() || number.value < 1 || number.value > 100) return false;
  percent = static_cast<int32_t>(number.value);
  return true;
}

EntryCheck CheckMarginEquity(const StockHoldingEntry& entry, const EntryQuestion& ask,
                             VLStockHoldingItem& out) {
  bool percentPresent = false;
  if (!ReadMarginPercent(entry.marginPercent, out.mgnEquity, percentPresent)) {
    return Fail(StringId::MarginEquityOutOfRange, EntryPage::MarginEquity, EntryField::MarginPercent);
  }
  if (!ReadNonNegativeAmount(entry.marginThreshold, out.mgnThreshold)) {
    return Fail(StringId::MarginThresholdInvalid, EntryPage::MarginEquity, EntryField::MarginThreshold);
  }
  if (!entry.marginable && percentPresent) {
    if (!ask || !ask(StringId::MarginEquityNotMarginable)) {
      EntryCheck declined =
          Fail(StringId::MarginEquityNotMarginable, EntryPage::MarginEquity, EntryField::MarginPercent);
      declined.alreadyShown = true;
      return declined;
    }
  }
  if (entry.marginable && !percentPresent) {
    return Fail(StringId::MarginEquityOutOfRange, EntryPage::MarginEquity, EntryField::MarginPercent);
  }
  out.marginable = entry.marginable;
  return {};
}

EntryCheck CheckSale(const StockHoldingEntry& entry, VLStockHoldingItem& out) {
  if (!ReadNonNegativeAmount(entry.salePrice, out.salePricePerShare)) {
    return Fail(StringId::SalePriceInvalid, EntryPage::Sale, EntryField::SalePrice);
  }
  out.saleDate = entry.saleDate.value_or(0);
  if (!ReadNonNegativeAmount(entry.saleCommission, out.saleCommission)) {
    return Fail(StringId::SaleCommissionNegative, EntryPage::Sale, EntryField::SaleCommission);
  }
  return {};
}

EntryCheck CheckCompleteness(const StockHoldingEntry& entry, const VLStockHoldingItem& out) {
  if (out.qty != 0 && out.buyPricePerShare == 0) {
    return Fail(StringId::BuyPriceMissing, EntryPage::Purchase, EntryField::BuyPrice);
  }
  if (out.buyPricePerShare != 0 && out.qty == 0) {
    return Fail(StringId::QuantityMissing, EntryPage::None, EntryField::Quantity);
  }
  if (!entry.sold) return {};
  if (out.qty == 0) return Fail(StringId::SoldPositionIncomplete, EntryPage::None, EntryField::Quantity);
  if (out.buyPricePerShare == 0) {
    return Fail(StringId::SoldPositionIncomplete, EntryPage::Purchase, EntryField::BuyPrice);
  }
  if (out.salePricePerShare == 0)
    return Fail(StringId::SoldPositionIncomplete, EntryPage::Sale, EntryField::SalePrice);
  if (out.saleDate != 0 && out.saleDate < out.purchaseDate) {
    return Fail(StringId::SaleDateBeforePurchase, EntryPage::Purchase, EntryField::BuyDate);
  }
  return {};
}

template <class Holding>
EntryCheck CheckMoney(const MoneyHoldingEntry& entry, Holding& holding, uint32_t Holding::*amount) {
  const TypedNumber number = ReadTypedAmount(entry.amount);
  if (!number.IsOk() || number.value <= 0 || number.value > kMaxCents) {
    return Fail(StringId::AmountMissing, EntryPage::None, EntryField::Amount);
  }
  const std::string description(TrimBlanks(entry.description));
  if (description.empty())
    return Fail(StringId::DescriptionMissing, EntryPage::None, EntryField::Description);
  holding.name = description;
  holding.*amount = static_cast<uint32_t>(number.value);
  return {};
}

}  // namespace

EntryCheck CheckStockHolding(const StockHoldingEntry& entry, const EntryQuestion& ask,
                             VLStockHoldingItem& holding) {
  const std::string symbol(TrimBlanks(entry.symbol));
  if (!entry.symbolFixed && symbol.empty())
    return Fail(StringId::SymbolMissing, EntryPage::None, EntryField::Symbol);

  // Work on a copy so that a failed check leaves the holding as it was.
  VLStockHoldingItem out;
  out.CopyFrom(&holding);
  using Step = EntryCheck (*)(const StockHoldingEntry&, VLStockHoldingItem&);
  if (EntryCheck check = CheckQuantity(entry.quantity, out.qty); !check.Ok()) return check;
  for (Step step : {&CheckPurchase, &CheckTargets}) {
    if (EntryCheck check = step(entry, out); !check.Ok()) return check;
  }
  if (EntryCheck check = CheckMarginEquity(entry, ask, out); !check.Ok()) return check;
  if (entry.sold) {
    if (EntryCheck check = CheckSale(entry, out); !check.Ok()) return check;
  }
  if (EntryCheck check = CheckCompleteness(entry, out); !check.Ok()) return check;

  out.comment = entry.comment;
  if (!entry.symbolFixed) out.name = symbol;
  holding.CopyFrom(&out);
  return {};
}

EntryCheck CheckCashHolding(const MoneyHoldingEntry& entry, VLCashHoldingItem& holding) {
  return CheckMoney(entry, holding, &VLCashHoldingItem::amount);
}

EntryCheck CheckMarginHolding(const MoneyHoldingEntry& entry, VLMarginHoldingItem& holding) {
  return CheckMoney(entry, holding, &VLMarginHoldingItem::amountOwed);
}
