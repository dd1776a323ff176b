#include "portfolio/exchange/import_fields.h"

const std::vector<ImportFieldInfo>& ImportFieldTable() {
  static const std::vector<ImportFieldInfo> table = {
      {ImportField::None, "the row", "", nullptr, nullptr},
      {ImportField::Portfolio, "the portfolio", "Portfolio", nullptr, nullptr},
      {ImportField::PortfolioComment, "the portfolio comment", "Portfolio Comment", nullptr, nullptr},
      {ImportField::Kind, "the kind", "Kind", "kind", "Kind:"},
      {ImportField::Symbol, "the symbol", "Symbol", "symbol", "S&ymbol:"},
      {ImportField::Quantity, "the quantity", "Quantity", "quantity", "&Quantity:"},
      {ImportField::Price, "the price", "Price", "price", "P&rice:"},
      {ImportField::Date, "the date", "Date", "date", "&Date:"},
      {ImportField::Commission, "the commission", "Commission", "commission", "Co&mmission:"},
      {ImportField::SalePrice, "the sale price", "Sale Price", "sale-price", "Sale pr&ice:"},
      {ImportField::SaleDate, "the sale date", "Sale Date", "sale-date", "Sale dat&e:"},
      {ImportField::SaleCommission, "the sale commission", "Sale Commission", "sale-commission",
       "Sale commi&ssion:"},
      {ImportField::BuyTarget, "the buy target", "Buy Target", nullptr, nullptr},
      {ImportField::SellTarget, "the sell target", "Sell Target", nullptr, nullptr},
      {ImportField::StopLoss, "the stop loss", "Stop Loss", nullptr, nullptr},
      {ImportField::Marginable, "marginable", "Marginable", nullptr, nullptr},
      {ImportField::MarginEquity, "the margin equity", "Margin Equity", nullptr, nullptr},
      {ImportField::MarginThreshold, "the margin threshold", "Margin Threshold", nullptr, nullptr},
      {ImportField::Amount, "the amount", "Amount", "amount", "Amount:"},
      {ImportField::Comment, "the comment", "Comment", "comment", "Commen&t:"},
      {ImportField::Tag, "the tag", "Tag", nullptr, nullptr},
      {ImportField::Currency, "the currency", "Currency", "currency", "Currency:"},
      {ImportField::Fees, "the fees", "Fees", "fees", "Fees:"},
      {ImportField::Withholding, "the withholding tax", "Withholding", "withholding", "Withholding:"},
      {ImportField::Name, "the name", "Name", "name", "Name:"},
      {ImportField::RateCurrency, "the currency of the rates", "Rate Currency", nullptr, nullptr},
      {ImportField::BuyRate, "the buy rate", "Buy Rate", nullptr, nullptr},
      {ImportField::SaleRate, "the sale rate", "Sale Rate", nullptr, nullptr},
  };
  return table;
}

const ImportFieldInfo& ImportFieldInfoOf(ImportField field) {
  const auto index = static_cast<size_t>(field);
  const std::vector<ImportFieldInfo>& table = ImportFieldTable();
  return index < table.size() ? table[index] : table[0];
}
