#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "marketdata/shared_stock_info.h"
#include "portfolio/records/vl_holding_item.h"

// A stock position: held while salePricePerShare is 0, sold once it is set. Prices and commissions are
// whole cents; the quote is the cached quote's record, which the database shares with the position when it
// hands it out (copies and clones share it too).
class VLStockHoldingItem : public VLHoldingItem {
 public:
  uint32_t qty = 0;
  uint32_t buyPricePerShare = 0;
  uint32_t buyCommission = 0;
  uint32_t salePricePerShare = 0;
  uint32_t saleCommission = 0;
  uint32_t perShareBuyTarget = 0;       // 0 = none
  uint32_t perShareSellTarget = 0;      // 0 = none
  uint32_t perShareStopLossTarget = 0;  // 0 = none
  bool marginable = false;
  int32_t mgnEquity = 0;  // percent
  uint32_t mgnThreshold = 0;
  int64_t purchaseDate = 0;
  int64_t saleDate = 0;
  std::string comment;
  uint32_t quoteId = 0;
  SharedStockInfo quote;  // not part of the record

  bool IsSold() const { return salePricePerShare != 0; }

  std::string GetTypeName() const override { return "SH"; }
  int32_t GetVersion() const override { return 6; }
  int32_t GetKind() const override { return kHoldingStock; }
  // Stores version 6; loads every version from 1 to 6, zeroing the fields an older version lacks.
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
  // qty * salePricePerShare - saleCommission.
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
