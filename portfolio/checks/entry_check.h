#pragma once
#include <string>
#include <vector>

#include "framework/string_id.h"

// Where a failed entry check points the user: the inner page to show (None keeps the page as it is) and
// the field to select and focus (None when the message concerns no single field).
enum class EntryPage { None, Purchase, Targets, MarginEquity, Sale };

enum class EntryField {
  None,
  Symbol,
  Quantity,
  BuyPrice,
  BuyDate,
  BuyCommission,
  BuyTarget,
  SellTarget,
  StopLossTarget,
  MarginPercent,
  MarginThreshold,
  SalePrice,
  SaleDate,
  SaleCommission,
  Amount,
  Description,
  NewSymbol,
  PortfolioName,
  Comment,       // a stock position's comment
  Currency,      // a stock position's own currency
  BaseCurrency,  // a portfolio's base currency
  BuyRate,       // the exchange rate a purchase was made at
  SaleRate,      // the exchange rate a sale was made at
  PortfolioComment,
  ManualPrice,  // a price set by hand
  SplitRatio,   // a split's new and old shares
  CashInLieu,   // the price per new share paid for a split's fractions
  IncomeKind,   // what a payment is: dividend, capital-gain...
  Gross,        // a payment's gross amount
  Withholding,  // tax withheld from it
  Fees,         // fees taken from it
  Shares,       // the shares entitled to it
  PayDate,
  ExDate,
};

// The outcome of checking what was typed into a dialog: the first failing check, or None when all passed.
// `arguments` fill the message's placeholders in order.
struct EntryCheck {
  StringId message = StringId::None;
  EntryPage page = EntryPage::None;
  EntryField field = EntryField::None;
  std::vector<std::string> arguments;
  bool alreadyShown = false;  // the message was a question the user has answered: show nothing more

  bool Ok() const { return message == StringId::None; }
};

inline EntryCheck EntryFailure(StringId message, EntryPage page, EntryField field,
                               std::vector<std::string> arguments = {}) {
  return EntryCheck{message, page, field, std::move(arguments)};
}
