#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "marketdata/shared_stock_info.h"
#include "portfolio/fx/base_figures.h"
#include "portfolio/fx/fx_rate.h"
#include "portfolio/records/currency_units.h"
#include "portfolio/records/exact_decimal.h"
#include "portfolio/records/vl_holding_item.h"

// A stock position: held while salePricePerShare is 0, sold once it is set. The quantity is exact to 1e-8
// share and the prices per share to 1e-6; commissions and the margin threshold are whole cents. The quote is
// the cached quote's record, which the database shares with the position when it hands it out (copies and
// clones share it too).
class VLStockHoldingItem : public VLHoldingItem {
 public:
  // The record's older form holds whole shares and whole cents in 32-bit fields; the exact one holds every
  // value exactly, and the currency; the latest adds what a split left of what was paid. A position is stored
  // in the oldest form that holds it; the rate form adds the exchange rates the broker charged.
  static constexpr int32_t kOlderVersion = 6;
  static constexpr int32_t kExactVersion = 7;
  static constexpr int32_t kPaidRemainderVersion = 8;
  static constexpr int32_t kRateVersion = 9;
  // What a paid remainder may be at most, either way: a split leaves less than half of 0.000001 per share.
  static constexpr int32_t kMaxPaidRemainder = 100'000'000;

  Quantity qty;
  UnitPrice buyPricePerShare;
  uint32_t buyCommission = 0;
  // Cents that Total Paid adds to quantity x buy price: what a split's new price per share of 0.000001 could
  // not keep of what was paid (a position of many shares). 0 for every other position.
  int32_t paidRemainder = 0;
  UnitPrice salePricePerShare;
  uint32_t saleCommission = 0;
  UnitPrice perShareBuyTarget;       // 0 = none
  UnitPrice perShareSellTarget;      // 0 = none
  UnitPrice perShareStopLossTarget;  // 0 = none
  bool marginable = false;
  int32_t mgnEquity = 0;  // percent
  uint32_t mgnThreshold = 0;
  int64_t purchaseDate = 0;
  int64_t saleDate = 0;
  std::string comment;
  // The currency the prices are in (an ISO code, "GBp" for pence); empty: the currency of the exchange the
  // quote names.
  std::string currency;
  // The exchange rates the broker charged, in units of the position's (major) currency per one unit of
  // `rateCurrency`, for the purchase and the sale; an invalid rate (0) where none was given. They stand in
  // for the reference rates when the portfolio's base currency is `rateCurrency`.
  std::string rateCurrency;
  FxRate buyRate;
  FxRate saleRate;
  uint32_t quoteId = 0;
  SharedStockInfo quote;  // not part of the record
  // The position's part of its portfolio's income (income_allocation.h), in cents, which the database fills
  // in when it hands the position out: not part of the record.
  struct Income {
    int64_t net = 0;              // of every payment it was entitled to
    int64_t netLastYear = 0;      // of those paid in the 365 days up to today
    int64_t returnOfCapital = 0;  // the gross of its returns of capital
  };
  Income income;
  // The position's figures in its portfolio's base currency, which the database fills in when it hands the
  // position out of a portfolio that has one: not part of the record.
  BaseFigures base;

  bool IsSold() const { return !salePricePerShare.IsZero(); }
  // Whether the position held its shares at the start of the day `dayNumber`: bought before it (or on an
  // unknown day) and not sold before it (a sale of an unknown day counts as later). A split of that ex-date
  // changes it; a payment of that ex-date is its due.
  bool HeldAtStartOf(int64_t dayNumber) const;

  std::string GetTypeName() const override { return "SH"; }
  // Whether the position holds anything the older form cannot: a fraction of a share or of a cent, or a
  // currency of its own.
  bool NeedsExactForm() const;
  bool NeedsLaterForm() const override { return NeedsExactForm() || paidRemainder != 0 || HasStoredRates(); }
  bool HasStoredRates() const { return !rateCurrency.empty(); }
  // Whether every value lies within what a record holds (shares and prices from 0 up to their limits, a
  // currency code of three letters or none): what the database stores, and so what a load accepts.
  bool FitsRecord() const;
  int32_t GetVersion() const override {
    return HasStoredRates()     ? kRateVersion
           : paidRemainder != 0 ? kPaidRemainderVersion
           : NeedsExactForm()   ? kExactVersion
                                : kOlderVersion;
  }
  int32_t GetLatestVersion() const override { return kRateVersion; }
  int32_t GetKind() const override { return kHoldingStock; }
  // Stores version 6, or 7 or 8 when the position needs it; loads every version from 1 to 8, zeroing the
  // fields an older version lacks. A version 7 or 8 record whose values lie beyond what a record holds fails
  // (code 1).
  SerializeResult Serialize(Archive* ar) override;

  void GetColumnText(int column, std::string& text) const override;
  double GetColumnValue(int column) const override;
  // The money figures are zero for a symbol the quote service does not know (exchange "N/A").
  VLCurrency GetCurrentValue() const override;
  VLCurrency GetTotalPaid() const override;
  int64_t GetValueChange() const override;
  int32_t GetPercentChange() const override;
  // The trade price in cents, rounded to the nearest cent.
  int64_t GetLastTradeCents() const;
  // qty x salePricePerShare - saleCommission.
  VLCurrency GetSaleValue() const;

  tinyxml2::XMLElement* ToXml(tinyxml2::XMLDocument& doc) const override;
  [[nodiscard]] bool FromXml(const tinyxml2::XMLElement& element, std::string& message) override;

  using VLHoldingItem::CopyFrom;
  using VLHoldingItem::CopyTo;
  [[nodiscard]] bool CopyTo(VLStockHoldingItem* other) const;
  [[nodiscard]] bool CopyFrom(const VLStockHoldingItem* other);
  std::unique_ptr<Item> Clone() const override;

  // The trade text: the real-time last trade when the quote has one, else the delayed one.
  const std::string& GetTradeText() const;
  // Whether the quote service knows the symbol.
  bool HasKnownSymbol() const { return quote->exchange != "N/A"; }
};

// The position as a stock position; null when it is none (or null).
inline VLStockHoldingItem* AsStock(VLHoldingItem* holding) {
  return holding && holding->GetKind() == kHoldingStock ? static_cast<VLStockHoldingItem*>(holding) : nullptr;
}
inline const VLStockHoldingItem* AsStock(const VLHoldingItem* holding) {
  return holding && holding->GetKind() == kHoldingStock ? static_cast<const VLStockHoldingItem*>(holding)
                                                        : nullptr;
}
