#include "portfolio/journal/change_texts.h"

#include "portfolio/columns/cell_format.h"
#include "portfolio/records/vl_amount_holding_item.h"
#include "portfolio/records/vl_stock_holding_item.h"

std::string SharesWords(Quantity qty) {
  return DecimalText(qty) + (qty == Quantity::FromWhole(1) ? " share" : " shares");
}

std::string PositionWords(const VLHoldingItem& position) {
  const std::string id = std::to_string(position.id);
  if (position.GetKind() == kHoldingStock) {
    const auto& stock = static_cast<const VLStockHoldingItem&>(position);
    return "position " + id + " (" + stock.name + ", " + SharesWords(stock.qty) + ")";
  }
  const auto& amount = static_cast<const VLAmountHoldingItem&>(position);
  const std::string what = position.GetKind() == kHoldingCash ? "cash position " : "margin debt ";
  const std::string comment = position.name.empty() ? std::string() : position.name + ", ";
  return what + id + " (" + comment + CentsText(amount.GetAmount()) + ")";
}

std::string PortfolioDeletionText(const std::string& name, size_t positions) {
  std::string text = "Delete portfolio " + name;
  if (positions == 1) return text + " and its 1 position";
  if (positions > 1) return text + " and its " + std::to_string(positions) + " positions";
  return text;
}
