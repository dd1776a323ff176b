#include "portfolio/records/vl_stock_holding_item.h"

#include <cmath>
#include <limits>

#include "framework/archive.h"
#include "portfolio/columns/cell_format.h"
#include "portfolio/columns/column_catalog.h"
#include "portfolio/columns/stock_columns.h"
#include "portfolio/records/calendar_date.h"

namespace {
// How many places a quote's text is read to for the money figures: more than a record keeps, so that a
// price the service sends with more decimals still makes its product exactly.
constexpr int kQuotePlaces = 10;

int32_t RoundToInt32(double v) {
  if (std::isnan(v)) return 0;
  const double r = std::round(v);
  if (r >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  if (r <= static_cast<double>(std::numeric_limits<int32_t>::min()))
    return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(r);
}

// The older form keeps whole shares and whole cents in 32 bits; only a position that fits is stored so.
void IoOlderQuantity(Archive* ar, Quantity& q) {
  uint32_t shares = ar->IsStoring() ? static_cast<uint32_t>(q.WholePart()) : 0;
  ar->Io(shares);
  if (ar->IsLoading()) q = Quantity::FromWhole(shares);
}

void IoOlderPrice(Archive* ar, UnitPrice& p) {
  uint32_t cents = ar->IsStoring() ? static_cast<uint32_t>(CentsOfPrice(p)) : 0;
  ar->Io(cents);
  if (ar->IsLoading()) p = PriceOfCents(cents);
}

// The exact form's 64-bit counts; a loaded value must lie within what a record holds.
template <int Places>
bool IoExact(Archive* ar, FixedDecimal<Places>& value, FixedDecimal<Places> largest) {
  int64_t units = value.Units();
  ar->IoInt64(units);
  value = FixedDecimal<Places>::FromUnits(units);
  return units >= 0 && value <= largest;
}

// A stored rate: its units and decimals; either none (0) or a rate a text of its own could give.
bool IoRate(Archive* ar, FxRate& rate) {
  ar->IoInt64(rate.units);
  ar->Io(rate.decimals);
  return rate.units == 0 ? rate.decimals == 0 : IsStorableRate(rate);
}

}  // namespace

bool VLStockHoldingItem::NeedsExactForm() const {
  if (!qty.IsWhole() || !currency.empty()) return true;
  for (const UnitPrice& price :
       {buyPricePerShare, salePricePerShare, perShareBuyTarget, perShareSellTarget, perShareStopLossTarget}) {
    if (!IsWholeCents(price)) return true;
  }
  return false;
}

bool VLStockHoldingItem::FitsRecord() const {
  if (qty.Units() < 0 || qty > kMaxStoredQuantity || !IsCurrencyCodeForm(currency)) return false;
  if (paidRemainder < -kMaxPaidRemainder || paidRemainder > kMaxPaidRemainder) return false;
  if (!IsCurrencyCodeForm(rateCurrency)) return false;
  for (const FxRate* rate : {&buyRate, &saleRate}) {
    if (rate->units != 0 && (rateCurrency.empty() || !IsStorableRate(*rate))) return false;
  }
  for (const UnitPrice& price :
       {buyPricePerShare, salePricePerShare, perShareBuyTarget, perShareSellTarget, perShareStopLossTarget}) {
    if (price.Units() < 0 || price > kMaxStoredPrice) return false;
  }
  return true;
}

SerializeResult VLStockHoldingItem::Serialize(Archive* ar) {
  int32_t version = 0;
  if (SerializeResult rc = SerializeTypeHeader(ar, *this, &version); rc != SerializeResult::Ok) return rc;
  if (SerializeResult rc = VLHoldingItem::Serialize(ar); rc != SerializeResult::Ok) return rc;
  if (ar->IsLoading()) {
    // Fields an older record lacks stay at their empty values.
    buyCommission = saleCommission = 0;
    salePricePerShare = perShareSellTarget = perShareStopLossTarget = UnitPrice();
    saleDate = purchaseDate = 0;
    comment.clear();
    currency.clear();
    paidRemainder = 0;
    rateCurrency.clear();
    buyRate = saleRate = FxRate();
  }
  ar->Io(quoteId);
  if (version >= kExactVersion) {
    bool fits = IoExact(ar, qty, kMaxStoredQuantity) && IoExact(ar, buyPricePerShare, kMaxStoredPrice);
    ar->Io(buyCommission);
    fits = IoExact(ar, salePricePerShare, kMaxStoredPrice) && fits;
    ar->Io(saleCommission);
    ar->IoTime(saleDate);
    for (UnitPrice* target : {&perShareBuyTarget, &perShareSellTarget, &perShareStopLossTarget})
      fits = IoExact(ar, *target, kMaxStoredPrice) && fits;
    ar->Io(marginable);
    ar->Io(mgnEquity);
    ar->Io(mgnThreshold);
    ar->IoTime(purchaseDate);
    ar->Io(comment);
    ar->Io(currency);
    if (version >= kPaidRemainderVersion) {
      ar->Io(paidRemainder);
      fits = fits && (paidRemainder != 0 || version > kPaidRemainderVersion) &&
             paidRemainder >= -kMaxPaidRemainder && paidRemainder <= kMaxPaidRemainder;
    }
    if (version >= kRateVersion) {
      ar->Io(rateCurrency);
      fits = IoRate(ar, buyRate) && IoRate(ar, saleRate) && fits && !rateCurrency.empty();
    }
    return fits && IsCurrencyCodeForm(currency) ? SerializeResult::Ok : SerializeResult::Failed;
  }
  IoOlderQuantity(ar, qty);
  IoOlderPrice(ar, buyPricePerShare);
  if (version >= 6) {
    ar->Io(buyCommission);
    IoOlderPrice(ar, salePricePerShare);
    ar->Io(saleCommission);
    ar->IoTime(saleDate);
  }
  IoOlderPrice(ar, perShareBuyTarget);
  if (version >= 5) {
    IoOlderPrice(ar, perShareSellTarget);
    IoOlderPrice(ar, perShareStopLossTarget);
  }
  ar->Io(marginable);
  ar->Io(mgnEquity);
  ar->Io(mgnThreshold);
  if (version >= 2) ar->IoTime(purchaseDate);
  if (version >= 4) ar->Io(comment);
  return SerializeResult::Ok;
}

const std::string& VLStockHoldingItem::GetTradeText() const {
  return quote->lastTradeRealtime.empty() ? quote->lastTrade : quote->lastTradeRealtime;
}

int64_t VLStockHoldingItem::GetLastTradeCents() const {
  if (!HasKnownSymbol()) return 0;
  return ProductCents(Quantity::FromWhole(1), ReadLeadingDecimalUnits(GetTradeText(), kQuotePlaces),
                      kQuotePlaces);
}

VLCurrency VLStockHoldingItem::GetCurrentValue() const {
  if (!HasKnownSymbol()) return {};
  // The trade text may carry more decimals than a record keeps: read to more places, multiplied exactly.
  return VLCurrency::FromCents(
      ProductCents(qty, ReadLeadingDecimalUnits(GetTradeText(), kQuotePlaces), kQuotePlaces));
}

VLCurrency VLStockHoldingItem::GetTotalPaid() const {
  if (!HasKnownSymbol()) return {};
  return VLCurrency::FromCents(ProductCents(qty, buyPricePerShare) + buyCommission + paidRemainder);
}

VLCurrency VLStockHoldingItem::GetSaleValue() const {
  if (!HasKnownSymbol()) return {};
  return VLCurrency::FromCents(ProductCents(qty, salePricePerShare) - static_cast<int64_t>(saleCommission));
}

int64_t VLStockHoldingItem::GetValueChange() const {
  if (!HasKnownSymbol()) return 0;
  const std::string& ch = quote->changeRealtime.empty() ? quote->change : quote->changeRealtime;
  return ProductCents(qty, ReadLeadingDecimalUnits(ch, kQuotePlaces), kQuotePlaces);
}

int32_t VLStockHoldingItem::GetPercentChange() const {
  const std::string& q =
      quote->percentChangeRealtime.empty() ? quote->percentChange : quote->percentChangeRealtime;
  return RoundToInt32(ReadLeadingNumber(RemoveChars(q, "%")) * 100.0);
}

bool VLStockHoldingItem::CopyTo(VLStockHoldingItem* other) const {
  if (!other || !VLHoldingItem::CopyTo(static_cast<VLHoldingItem*>(other))) return false;
  other->qty = qty;
  other->buyPricePerShare = buyPricePerShare;
  other->buyCommission = buyCommission;
  other->paidRemainder = paidRemainder;
  other->salePricePerShare = salePricePerShare;
  other->saleCommission = saleCommission;
  other->perShareBuyTarget = perShareBuyTarget;
  other->perShareSellTarget = perShareSellTarget;
  other->perShareStopLossTarget = perShareStopLossTarget;
  other->marginable = marginable;
  other->mgnEquity = mgnEquity;
  other->mgnThreshold = mgnThreshold;
  other->purchaseDate = purchaseDate;
  other->saleDate = saleDate;
  other->comment = comment;
  other->currency = currency;
  other->rateCurrency = rateCurrency;
  other->buyRate = buyRate;
  other->saleRate = saleRate;
  other->quoteId = quoteId;
  other->quote = quote;
  other->income = income;
  other->base = base;
  return true;
}

bool VLStockHoldingItem::CopyFrom(const VLStockHoldingItem* other) {
  if (!other) return false;
  return other->CopyTo(this);
}

std::unique_ptr<Item> VLStockHoldingItem::Clone() const {
  auto copy = std::make_unique<VLStockHoldingItem>();
  (void)CopyTo(copy.get());  // cannot fail: the copy is a new object of this class
  return copy;
}

void VLStockHoldingItem::GetColumnText(int column, std::string& text) const {
  text = StockColumnText(*this, column);
}

double VLStockHoldingItem::GetColumnValue(int column) const {
  return StockColumnValue(*this, column);
}

bool VLStockHoldingItem::HeldAtStartOf(int64_t dayNumber) const {
  if (purchaseDate != 0 && DayNumberOfStoredDate(purchaseDate) >= dayNumber) return false;
  if (!IsSold() || saleDate == 0) return true;
  return DayNumberOfStoredDate(saleDate) >= dayNumber;
}
