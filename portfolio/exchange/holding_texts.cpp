#include "portfolio/exchange/holding_texts.h"

#include <cctype>

#include "framework/text_util.h"
#include "portfolio/checks/typed_number.h"
#include "portfolio/columns/cell_format.h"
#include "portfolio/exchange/file_values.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_amount_holding_item.h"
#include "portfolio/records/vl_stock_holding_item.h"

namespace {

std::string Date(int64_t stored) {
  return stored ? IsoDateText(DateOfStoredDate(stored)) : std::string();
}

std::string OptionalCents(uint32_t cents) {
  return cents ? CentsDifferenceText(cents) : std::string();
}

std::string OptionalPrice(UnitPrice price) {
  return price.IsZero() ? std::string() : PriceText(price);
}

}  // namespace

RowTexts HoldingTexts(const VLHoldingItem& position) {
  RowTexts texts;
  At(texts, ImportField::Tag) = std::to_string(position.tag);
  if (position.GetKind() != kHoldingStock) {
    const auto& money = static_cast<const VLAmountHoldingItem&>(position);
    At(texts, ImportField::Kind) = position.GetKind() == kHoldingCash ? "cash" : "margin";
    At(texts, ImportField::Amount) = CentsDifferenceText(money.GetAmount());
    At(texts, ImportField::Comment) = position.name;
    return texts;
  }
  const auto& s = static_cast<const VLStockHoldingItem&>(position);
  At(texts, ImportField::Kind) = "stock";
  At(texts, ImportField::Symbol) = s.name;
  At(texts, ImportField::Quantity) = DecimalText(s.qty);
  At(texts, ImportField::Price) = PriceText(s.buyPricePerShare);
  At(texts, ImportField::Date) = Date(s.purchaseDate);
  At(texts, ImportField::Commission) = CentsDifferenceText(s.buyCommission);
  if (s.IsSold() || s.saleCommission || s.saleDate) {
    At(texts, ImportField::SalePrice) = PriceText(s.salePricePerShare);
    At(texts, ImportField::SaleDate) = Date(s.saleDate);
    At(texts, ImportField::SaleCommission) = CentsDifferenceText(s.saleCommission);
  }
  At(texts, ImportField::BuyTarget) = OptionalPrice(s.perShareBuyTarget);
  At(texts, ImportField::SellTarget) = OptionalPrice(s.perShareSellTarget);
  At(texts, ImportField::StopLoss) = OptionalPrice(s.perShareStopLossTarget);
  At(texts, ImportField::Marginable) = s.marginable ? "yes" : "no";
  At(texts, ImportField::MarginEquity) = s.mgnEquity ? std::to_string(s.mgnEquity) : std::string();
  At(texts, ImportField::MarginThreshold) = OptionalCents(s.mgnThreshold);
  At(texts, ImportField::Comment) = s.comment;
  At(texts, ImportField::Currency) = s.currency;
  if (s.HasStoredRates()) {
    At(texts, ImportField::RateCurrency) = s.rateCurrency;
    At(texts, ImportField::BuyRate) = s.buyRate.IsValid() ? FxRateText(s.buyRate) : std::string();
    At(texts, ImportField::SaleRate) = s.saleRate.IsValid() ? FxRateText(s.saleRate) : std::string();
  }
  return texts;
}

bool HoldingKindOfName(std::string_view name, RowKind& kind) {
  const std::string lower = AsciiLower(TrimBlanks(name));
  if (lower == "stock") {
    kind = RowKind::Stock;
  } else if (lower == "cash") {
    kind = RowKind::Cash;
  } else if (lower == "margin") {
    kind = RowKind::Margin;
  } else if (lower == kPortfolioKindName) {
    kind = RowKind::PortfolioOnly;
  } else {
    return false;
  }
  return true;
}
