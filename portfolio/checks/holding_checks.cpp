#include "portfolio/checks/holding_checks.h"

#include "framework/text_util.h"
#include "portfolio/checks/number_field.h"
#include "portfolio/checks/symbol_date_checks.h"
#include "portfolio/checks/text_limits.h"
#include "portfolio/columns/clock.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "portfolio/records/vl_stock_holding_item.h"

namespace {

EntryCheck Fail(StringId message, EntryPage page, EntryField field) {
  return EntryFailure(message, page, field);
}

// An amount field that may be empty (0) and must not be negative; anything else typed is refused with its
// reason, so nothing typed is dropped silently.
NumberField AmountField(EntryPage page, EntryField field, StringId negative = StringId::None) {
  NumberField f;
  f.page = page;
  f.field = field;
  f.negative = negative;
  return f;
}

// Reads an amount field into a record's u32 cents.
EntryCheck ReadAmount(const std::string& text, const NumberField& field, uint32_t& cents) {
  int64_t value = 0;
  if (EntryCheck check = ReadNumberField(text, field, value); !check.Ok()) return check;
  cents = static_cast<uint32_t>(value);
  return {};
}

// Reads a price per share, to 1e-6, at most what a record holds.
EntryCheck ReadPrice(const std::string& text, NumberField field, UnitPrice& price) {
  field.decimals = UnitPrice::kPlaces;
  field.maximum = kMaxStoredPrice.Units();
  int64_t value = 0;
  if (EntryCheck check = ReadNumberField(text, field, value); !check.Ok()) return check;
  price = UnitPrice::FromUnits(value);
  return {};
}

EntryCheck CheckQuantity(const std::string& text, Quantity& qty) {
  NumberField field;
  field.field = EntryField::Quantity;
  field.decimals = Quantity::kPlaces;
  field.maximum = Quantity::FromWhole(kMaxPositionQuantity).Units();
  field.negative = StringId::QuantityNegative;
  field.tooLarge = StringId::QuantityTooLarge;
  int64_t value = 0;
  if (EntryCheck check = ReadNumberField(text, field, value); !check.Ok()) return check;
  qty = Quantity::FromUnits(value);
  return {};
}

EntryCheck CheckPurchase(const StockHoldingEntry& entry, VLStockHoldingItem& out) {
  if (EntryCheck check = ReadPrice(
          entry.buyPrice, AmountField(EntryPage::Purchase, EntryField::BuyPrice, StringId::BuyPriceNegative),
          out.buyPricePerShare);
      !check.Ok()) {
    return check;
  }
  out.purchaseDate = entry.buyDate.value_or(0);
  if (EntryCheck check = CheckDateInRange(out.purchaseDate, TodayDayNumber(), EntryField::BuyDate);
      !check.Ok()) {
    return check;
  }
  return ReadAmount(
      entry.buyCommission,
      AmountField(EntryPage::Purchase, EntryField::BuyCommission, StringId::BuyCommissionNegative),
      out.buyCommission);
}

EntryCheck CheckTargets(const StockHoldingEntry& entry, VLStockHoldingItem& out) {
  struct Target {
    const std::string& text;
    UnitPrice& price;
    EntryField field;
  };
  const Target targets[] = {
      {entry.buyTarget, out.perShareBuyTarget, EntryField::BuyTarget},
      {entry.sellTarget, out.perShareSellTarget, EntryField::SellTarget},
      {entry.stopLossTarget, out.perShareStopLossTarget, EntryField::StopLossTarget},
  };
  for (const Target& target : targets) {
    if (EntryCheck check =
            ReadPrice(target.text, AmountField(EntryPage::Targets, target.field), target.price);
        !check.Ok()) {
      return check;
    }
  }
  return {};
}

// The percentage: empty, or a whole number from 1 to 100.
EntryCheck ReadMarginPercent(const std::string& text, int32_t& percent, bool& present) {
  NumberField field;
  field.page = EntryPage::MarginEquity;
  field.field = EntryField::MarginPercent;
  field.wholeNumber = true;
  field.minimum = 1;
  field.maximum = 100;
  field.negative = field.tooLarge = field.belowMinimum = StringId::MarginEquityOutOfRange;
  present = !TrimBlanks(text).empty();
  percent = 0;
  int64_t value = 0;
  if (EntryCheck check = ReadNumberField(text, field, value); !check.Ok()) return check;
  percent = static_cast<int32_t>(value);
  return {};
}

EntryCheck CheckMarginEquity(const StockHoldingEntry& entry, const EntryQuestion& ask,
                             VLStockHoldingItem& out) {
  bool percentPresent = false;
  if (EntryCheck check = ReadMarginPercent(entry.marginPercent, out.mgnEquity, percentPresent); !check.Ok()) {
    return check;
  }
  if (EntryCheck check =
          ReadAmount(entry.marginThreshold, AmountField(EntryPage::MarginEquity, EntryField::MarginThreshold),
                     out.mgnThreshold);
      !check.Ok()) {
    return check;
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
  if (EntryCheck check = ReadPrice(entry.salePrice, AmountField(EntryPage::Sale, EntryField::SalePrice),
                                   out.salePricePerShare);
      !check.Ok()) {
    return check;
  }
  out.saleDate = entry.saleDate.value_or(0);
  if (EntryCheck check = CheckDateInRange(out.saleDate, TodayDayNumber(), EntryField::SaleDate);
      !check.Ok()) {
    return check;
  }
  return ReadAmount(
      entry.saleCommission,
      AmountField(EntryPage::Sale, EntryField::SaleCommission, StringId::SaleCommissionNegative),
      out.saleCommission);
}

EntryCheck CheckCompleteness(const StockHoldingEntry& entry, const VLStockHoldingItem& out) {
  if (!out.qty.IsZero() && out.buyPricePerShare.IsZero()) {
    return Fail(StringId::BuyPriceMissing, EntryPage::Purchase, EntryField::BuyPrice);
  }
  if (!out.buyPricePerShare.IsZero() && out.qty.IsZero()) {
    return Fail(StringId::QuantityMissing, EntryPage::None, EntryField::Quantity);
  }
  if (!entry.sold) return {};
  if (out.qty.IsZero()) return Fail(StringId::SoldPositionIncomplete, EntryPage::None, EntryField::Quantity);
  if (out.buyPricePerShare.IsZero()) {
    return Fail(StringId::SoldPositionIncomplete, EntryPage::Purchase, EntryField::BuyPrice);
  }
  if (out.salePricePerShare.IsZero())
    return Fail(StringId::SoldPositionIncomplete, EntryPage::Sale, EntryField::SalePrice);
  if (SaleBeforePurchase(out.purchaseDate, out.saleDate)) {
    return Fail(StringId::SaleDateBeforePurchase, EntryPage::Purchase, EntryField::BuyDate);
  }
  return {};
}

template <class Holding>
EntryCheck CheckMoney(const MoneyHoldingEntry& entry, Holding& holding, uint32_t Holding::*amount) {
  NumberField field;
  field.field = EntryField::Amount;
  field.required = true;
  field.minimum = 1;
  field.belowMinimum = StringId::AmountMissing;
  int64_t value = 0;
  if (EntryCheck check = ReadNumberField(entry.amount, field, value); !check.Ok()) return check;
  const std::string description(TrimBlanks(entry.description));
  if (description.empty())
    return Fail(StringId::DescriptionMissing, EntryPage::None, EntryField::Description);
  if (EntryCheck check =
          CheckTextField(description, kMaxTextCharacters, EntryField::Description, "the description");
      !check.Ok())
    return check;
  holding.name = description;
  holding.*amount = static_cast<uint32_t>(value);
  return {};
}

// A code the position already holds is kept as it is, even in a form no longer taken for entry.
EntryCheck CheckCurrency(const std::string& code, const std::string& current) {
  if (code.empty() || code == current || IsAcceptedCurrencyCode(code)) return {};
  return EntryFailure(StringId::CurrencyNotValid, EntryPage::None, EntryField::Currency,
                      {code, MinorCurrencyUnitsText()});
}

// The rates typed, against the entry's base currency.
EntryCheck CheckRates(const StockHoldingEntry& entry, VLStockHoldingItem& out) {
  if (!entry.buyRate && !entry.saleRate) return {};
  struct Typed {
    const std::optional<std::string>& text;
    FxRate* rate;
    EntryPage page;
    EntryField field;
  };
  const Typed typed[] = {{entry.buyRate, &out.buyRate, EntryPage::Purchase, EntryField::BuyRate},
                         {entry.saleRate, &out.saleRate, EntryPage::Sale, EntryField::SaleRate}};
  FxRate read[2];
  bool any = false;
  for (size_t i = 0; i < 2; ++i) {
    if (!typed[i].text) continue;
    const std::string text(TrimBlanks(*typed[i].text));
    if (text.empty()) continue;
    if (entry.baseCurrency.empty()) return Fail(StringId::FxRateWithoutBase, typed[i].page, typed[i].field);
    if (!ParseFxRate(text, read[i]))
      return EntryFailure(StringId::FxRateNotValid, typed[i].page, typed[i].field, {text});
    any = true;
  }
  // Rates kept against another base stay while none is typed for this one.
  if (out.rateCurrency != entry.baseCurrency && !any) return {};
  for (size_t i = 0; i < 2; ++i) {
    if (typed[i].text) *typed[i].rate = read[i];
  }
  if (out.rateCurrency != entry.baseCurrency) {
    for (size_t i = 0; i < 2; ++i) {
      if (!typed[i].text) *typed[i].rate = FxRate();  // the other base's rate does not hold for this one
    }
  }
  out.rateCurrency = out.buyRate.IsValid() || out.saleRate.IsValid() ? entry.baseCurrency : std::string();
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
  (void)out.CopyFrom(&holding);  // both are stock holdings: the copy cannot fail
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
  if (EntryCheck check =
          CheckTextField(entry.comment, kMaxTextCharacters, EntryField::Comment, "the comment");
      !check.Ok())
    return check;
  const std::string currency(TrimBlanks(entry.currency));
  if (EntryCheck check = CheckCurrency(currency, holding.currency); !check.Ok()) return check;
  if (EntryCheck check = CheckRates(entry, out); !check.Ok()) return check;

  out.comment = entry.comment;
  out.currency = currency;
  if (!entry.symbolFixed) out.name = symbol;
  (void)holding.CopyFrom(&out);  // both are stock holdings: the copy cannot fail
  return {};
}

EntryCheck CheckCashHolding(const MoneyHoldingEntry& entry, VLCashHoldingItem& holding) {
  return CheckMoney(entry, holding, &VLCashHoldingItem::amount);
}

EntryCheck CheckMarginHolding(const MoneyHoldingEntry& entry, VLMarginHoldingItem& holding) {
  return CheckMoney(entry, holding, &VLMarginHoldingItem::amountOwed);
}
