#pragma once
#include <string>

#include "portfolio/exchange/csv_mapping.h"
#include "portfolio/exchange/import_reading.h"
#include "portfolio/exchange/import_row.h"
#include "portfolio/records/vl_income_item.h"

// What a row of a mapped CSV file becomes: a purchase, a sale, a split, a payment of income (or tax withheld
// from one), or a row listed as skipped.
struct RowTransaction {
  enum class Action { Buy, Sell, Split, Income, Skip };
  Action action = Action::Buy;
  std::string kind;    // Skip: the kind's name, or the file's value when no kind names it
  std::string reason;  // Skip: why
  IncomeKind incomeKind = IncomeKind::Dividend;  // Income
  bool tax = false;                              // Income: a row of tax withheld
};

// Decides what the row is, by its kind column (`kindColumn`: the file has one) or, without one, by the sign
// of its quantity when the mapping sells on negative quantities. For a purchase or sale, `texts` is made
// ready for the row checks: a quantity counts by its magnitude once the kind is known, and a sale takes its
// price, date and commission from the trade's columns when the sale columns are not given.
RowTransaction ClassifyRow(const CsvMapping& mapping, bool kindColumn, RowTexts& texts);

// The listing of a skipped row.
SkippedRow SkippedRowOf(int line, const RowTransaction& transaction, const RowTexts& texts);
