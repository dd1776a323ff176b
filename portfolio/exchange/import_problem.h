#pragma once
#include <string>
#include <vector>

#include "portfolio/checks/entry_check.h"

// What an import reads from a row, each field with its name in the problems ("the quantity 'zehn' is not a
// whole number") and in the preview.
enum class ImportField {
  None,
  Portfolio,
  PortfolioComment,
  Kind,
  Symbol,
  Quantity,
  Price,
  Date,
  Commission,
  SalePrice,
  SaleDate,
  SaleCommission,
  BuyTarget,
  SellTarget,
  StopLoss,
  Marginable,
  MarginEquity,
  MarginThreshold,
  Amount,
  Comment,
  Tag,
  Currency,      // a stock position's own currency (empty: its exchange's)
  Fees,          // costs of a trade beside its commission, added to it
  Withholding,   // tax withheld from a payment
  Name,          // the security's name, for a symbol the market-data service may not know
  RateCurrency,  // the base currency the broker's rates are kept against
  BuyRate,       // the rate the broker charged for the purchase
  SaleRate,      // the rate the broker charged for the sale
  Count,         // not a field: the number of them
};

// "the quantity", "the sale price": how a problem names the field.
const char* ImportFieldLabel(ImportField field);

// One reason a file is refused: the line of the file it concerns (0 when it concerns the whole file) and
// what is wrong there.
struct ImportProblem {
  ImportProblem() = default;
  ImportProblem(int line, ImportField field, std::string text, std::string commandHint = {},
                std::string windowHint = {})
      : line(line),
        field(field),
        text(std::move(text)),
        commandHint(std::move(commandHint)),
        windowHint(std::move(windowHint)) {}

  int line = 0;
  ImportField field = ImportField::None;
  std::string text;
  // What to do about it, in the words of the command line and of the window, when they differ
  // ("map one to it (symbol=COLUMN)", "choose its column below"): said after the text.
  std::string commandHint;
  std::string windowHint;

  // "line 3: the quantity 'zehn' is not a whole number" (just the text for line 0), with the command
  // line's hint.
  std::string Describe() const;
  // The same with the window's hint.
  std::string DescribeInWindow() const;
};
using ImportProblems = std::vector<ImportProblem>;

// The field of an import row that a failed entry check of the dialogs points at.
ImportField ImportFieldOf(EntryField field);

// What a failed entry check says about a row's field, whose text in the file was `raw`.
std::string CheckProblemText(const EntryCheck& check, ImportField field, const std::string& raw);
