#include "portfolio/exchange/transaction_rows.h"

#include "framework/visible_text.h"
#include "portfolio/checks/typed_number.h"
#include "portfolio/exchange/file_values.h"

namespace {

// A sale row of a list of transactions writes its price, date and commission where a purchase does.
void SaleFromTradeColumns(RowTexts& texts) {
  constexpr std::pair<ImportField, ImportField> kMoves[] = {
      {ImportField::SalePrice, ImportField::Price},
      {ImportField::SaleDate, ImportField::Date},
      {ImportField::SaleCommission, ImportField::Commission},
  };
  for (const auto& [sale, trade] : kMoves) {
    if (TrimBlanks(At(texts, sale)).empty()) At(texts, sale) = At(texts, trade);
  }
}

RowTransaction Skip(std::string kind, std::string reason) {
  return {RowTransaction::Action::Skip, std::move(kind), std::move(reason)};
}

}  // namespace

RowTransaction ClassifyRow(const CsvMapping& mapping, bool kindColumn, RowTexts& texts) {
  if (!kindColumn) {
    if (mapping.sellWhenNegative && DropSign(At(texts, ImportField::Quantity))) {
      SaleFromTradeColumns(texts);
      return {RowTransaction::Action::Sell, {}, {}};
    }
    return {};
  }
  const std::string value(TrimBlanks(At(texts, ImportField::Kind)));
  std::optional<TransactionKind> kind = mapping.kinds.Find(value);
  if (!kind) kind = TransactionKindByName(value);
  if (!kind) {
    return Skip(value, value.empty() ? "the row has no kind" : "no kind is given for '" + value + "'");
  }
  // A trade of a list of transactions without a security is a currency exchange of the account's cash.
  const bool trade = *kind == TransactionKind::Buy || *kind == TransactionKind::Sell;
  if (trade && TrimBlanks(At(texts, ImportField::Symbol)).empty()) {
    return Skip(TransactionKindName(*kind), "a trade without a symbol (a currency exchange) is no position");
  }
  switch (*kind) {
    case TransactionKind::Buy:
      (void)DropSign(At(texts, ImportField::Quantity));
      return {};
    case TransactionKind::Sell:
      (void)DropSign(At(texts, ImportField::Quantity));
      SaleFromTradeColumns(texts);
      return {RowTransaction::Action::Sell, {}, {}};
    case TransactionKind::Split:
      return {RowTransaction::Action::Split, {}, {}};
    case TransactionKind::Dividend:
    case TransactionKind::CapitalGain:
    case TransactionKind::ReturnOfCapital:
    case TransactionKind::Interest:
    case TransactionKind::Tax: {
      // Interest on the account's cash, or tax on it, names no security: no holding paid it.
      if (TrimBlanks(At(texts, ImportField::Symbol)).empty())
        return Skip(TransactionKindName(*kind), "a payment without a symbol is not a holding's income");
      if (TrimBlanks(At(texts, ImportField::Amount)).empty())
        return Skip(TransactionKindName(*kind),
                    "a payment without its amount: map the column of its amount to record it");
      RowTransaction income;
      income.action = RowTransaction::Action::Income;
      static const std::pair<TransactionKind, IncomeKind> kKinds[] = {
          {TransactionKind::Dividend, IncomeKind::Dividend},
          {TransactionKind::CapitalGain, IncomeKind::CapitalGain},
          {TransactionKind::ReturnOfCapital, IncomeKind::ReturnOfCapital},
          {TransactionKind::Interest, IncomeKind::Interest},
          {TransactionKind::Tax, IncomeKind::Other}};
      for (const auto& [file, record] : kKinds) {
        if (file == *kind) income.incomeKind = record;
      }
      income.tax = *kind == TransactionKind::Tax;
      return income;
    }
    case TransactionKind::Skip:
      return Skip(TransactionKindName(*kind), "'" + value + "' is to be skipped");
    default:
      break;
  }
  return Skip(TransactionKindName(*kind), "only purchases and sales become positions");
}

SkippedRow SkippedRowOf(int line, const RowTransaction& transaction, const RowTexts& texts) {
  SkippedRow row;
  row.line = line;
  row.kind = transaction.kind;
  row.reason = transaction.reason;
  row.symbol = TrimBlanks(At(texts, ImportField::Symbol));
  row.date = TrimBlanks(At(texts, ImportField::Date));
  row.amount = TrimBlanks(At(texts, ImportField::Amount));
  if (row.amount.empty()) row.amount = TrimBlanks(At(texts, ImportField::Price));
  return row;
}

std::string SkippedRow::Describe() const {
  std::string what;
  for (const std::string* part : {&kind, &symbol, &date, &amount}) {
    if (part->empty()) continue;
    if (!what.empty()) what.push_back(' ');
    what += *part;
  }
  return VisibleText("line " + std::to_string(line) + ": skipped" + (what.empty() ? "" : " (" + what + ")") +
                     ": " + reason);
}
