#include "portfolio/exchange/import_row.h"

#include <cctype>

#include "framework/text_util.h"
#include "portfolio/checks/holding_checks.h"
#include "portfolio/checks/income_checks.h"
#include "portfolio/checks/sell_checks.h"
#include "portfolio/checks/symbol_date_checks.h"
#include "portfolio/checks/text_limits.h"
#include "portfolio/checks/typed_number.h"
#include "portfolio/columns/clock.h"
#include "portfolio/exchange/file_values.h"
#include "portfolio/exchange/import_plan.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "portfolio/records/vl_stock_holding_item.h"

namespace {

// Trimmed, in lower case: how names in a file compare.
std::string Folded(std::string_view text) {
  return AsciiLower(TrimBlanks(text));
}

// How a value the checks accepted shows in the preview.
std::string AmountShown(const std::string& entryText) {
  std::string plain = entryText;
  const std::string& point = GetNumberFormat().decimalPoint;
  const size_t at = plain.find(point);
  if (at != std::string::npos && point != ".") plain.replace(at, point.size(), ".");
  // As many decimals as the value keeps (at least the format's): a price of 84.2637 shows all four.
  NumberFormat format = GetNumberFormat();
  const size_t dot = plain.find('.');
  if (dot != std::string::npos)
    format.decimals = static_cast<int>(plain.size() - dot - 1);
  else
    format.decimals = 0;
  return FormatLocaleNumber(plain, format);
}

bool IsCost(ImportField field) {
  return field == ImportField::Commission || field == ImportField::SaleCommission ||
         field == ImportField::Fees || field == ImportField::Withholding;
}

}  // namespace

RowChecker::RowChecker(const RowReading& reading, int line, ImportProblems& problems, RowCells* cells,
                       std::vector<ImportRounding>* roundings)
    : reading(reading), line(line), problems(problems), cells(cells), roundings(roundings) {}

void RowChecker::Problem(ImportField field, const std::string& text) {
  problems.push_back({line, field, text});
  if (cells && field != ImportField::None && cells->at(static_cast<size_t>(field)).problem.empty()) {
    cells->at(static_cast<size_t>(field)).problem = text;
  }
}

void RowChecker::Show(ImportField field, const std::string& text) {
  if (cells) cells->at(static_cast<size_t>(field)).text = text;
}

bool RowChecker::Number(const RowTexts& texts, ImportField field, FileNumberKind kind,
                        std::string& entryText) {
  const std::string& raw = At(texts, field);
  const std::string shown(TrimBlanks(raw));
  Show(field, shown);
  const FileNumber number = ReadFileNumber(raw, reading.numbers, kind);
  switch (number.status) {
    case FileNumberStatus::Empty:
      entryText.clear();
      return true;
    case FileNumberStatus::Ok:
      entryText = number.entryText;
      // Costs are costs whatever their sign: brokers write them as negative amounts as often as not.
      if (IsCost(field) && !entryText.empty() && entryText.front() == '-') entryText.erase(0, 1);
      Show(field, kind == FileNumberKind::WholeNumber ? entryText : AmountShown(entryText));
      if (number.rounded && roundings) roundings->push_back({line, field, shown, AmountShown(entryText)});
      return true;
    case FileNumberStatus::TooManyDecimals:
      Problem(field, std::string(ImportFieldLabel(field)) + " '" + shown +
                         "' has more decimals than Vellumar keeps (at most " +
                         std::to_string(FileNumberPlaces(kind)) + ")");
      return false;
    case FileNumberStatus::NotANumber:
      break;
  }
  const std::string example = reading.numbers.decimalPoint == "," ? "1234,56" : "1234.56";
  std::string what = "an amount (such as " + example + ")";
  if (kind == FileNumberKind::WholeNumber) what = "a whole number";
  if (kind == FileNumberKind::Quantity) what = "a number of shares";
  Problem(field, std::string(ImportFieldLabel(field)) + " '" + shown + "' is not " + what);
  return false;
}

bool RowChecker::Date(const RowTexts& texts, ImportField field, std::optional<int64_t>& date) {
  const std::string shown(TrimBlanks(At(texts, field)));
  Show(field, shown);
  date.reset();
  if (shown.empty()) return true;
  CalendarDate day;
  if (!ReadFileDate(shown, reading.datePattern, day)) {
    Problem(field, std::string(ImportFieldLabel(field)) + " '" + shown + "' is not a date of the form " +
                       reading.datePattern);
    return false;
  }
  date = StoredDateOf(day);
  Show(field, IsoDateText(day));
  return true;
}

bool RowChecker::Tag(const RowTexts& texts, uint32_t& tag) {
  std::string entry;
  const std::string shown(TrimBlanks(At(texts, ImportField::Tag)));
  if (!Number(texts, ImportField::Tag, FileNumberKind::WholeNumber, entry)) return false;
  const TypedNumber value = InTypedRange(ReadTypedWholeNumber(entry), 0, kLargestStoredValue);
  if (!entry.empty() && !value.IsOk()) {
    Problem(ImportField::Tag, "the tag '" + shown + "' is not a whole number from 0 to 4294967295");
    return false;
  }
  tag = static_cast<uint32_t>(value.IsOk() ? value.value : 0);
  return true;
}

bool RowChecker::Fees(const RowTexts& texts, uint32_t& cents) {
  cents = 0;
  std::string entry;
  if (!Number(texts, ImportField::Fees, FileNumberKind::Money, entry)) return false;
  if (entry.empty()) return true;
  const TypedNumber value = InTypedRange(ReadTypedAmount(entry), 0, kLargestStoredValue);
  if (!value.IsOk()) {
    Problem(ImportField::Fees, "the fees '" + std::string(TrimBlanks(At(texts, ImportField::Fees))) +
                                   "' are more than an amount may be");
    return false;
  }
  cents = static_cast<uint32_t>(value.value);
  return true;
}

bool RowChecker::AddFees(ImportField field, uint32_t fees, uint32_t& commission) {
  const uint64_t sum = static_cast<uint64_t>(commission) + fees;
  if (sum > static_cast<uint64_t>(kLargestStoredValue)) {
    Problem(ImportField::Fees, std::string(ImportFieldLabel(field)) +
                                   " and the fees together are more than " + "an amount may be");
    return false;
  }
  commission = static_cast<uint32_t>(sum);
  return true;
}

void RowChecker::Failed(const EntryCheck& check, const RowTexts& texts) {
  const ImportField field = ImportFieldOf(check.field);
  const std::string raw =
      field == ImportField::None ? std::string() : std::string(TrimBlanks(At(texts, field)));
  Problem(field, CheckProblemText(check, field, raw));
}

std::unique_ptr<VLStockHoldingItem> RowChecker::Stock(const RowTexts& texts) {
  StockHoldingEntry entry;
  bool ok = true;
  struct NumberText {
    ImportField field;
    FileNumberKind kind;
    std::string StockHoldingEntry::*member;
  };
  static const NumberText kNumbers[] = {
      {ImportField::Quantity, FileNumberKind::Quantity, &StockHoldingEntry::quantity},
      {ImportField::Price, FileNumberKind::Price, &StockHoldingEntry::buyPrice},
      {ImportField::Commission, FileNumberKind::Money, &StockHoldingEntry::buyCommission},
      {ImportField::SalePrice, FileNumberKind::Price, &StockHoldingEntry::salePrice},
      {ImportField::SaleCommission, FileNumberKind::Money, &StockHoldingEntry::saleCommission},
      {ImportField::BuyTarget, FileNumberKind::Price, &StockHoldingEntry::buyTarget},
      {ImportField::SellTarget, FileNumberKind::Price, &StockHoldingEntry::sellTarget},
      {ImportField::StopLoss, FileNumberKind::Price, &StockHoldingEntry::stopLossTarget},
      {ImportField::MarginEquity, FileNumberKind::WholeNumber, &StockHoldingEntry::marginPercent},
      {ImportField::MarginThreshold, FileNumberKind::Money, &StockHoldingEntry::marginThreshold},
  };
  const std::string symbolText(TrimBlanks(At(texts, ImportField::Symbol)));
  Show(ImportField::Symbol, symbolText);
  if (EntryCheck check = CheckSymbolText(symbolText, entry.symbol); !check.Ok()) {
    Failed(check, texts);
    ok = false;
  }
  for (const NumberText& n : kNumbers) ok = Number(texts, n.field, n.kind, entry.*n.member) && ok;
  ok = Date(texts, ImportField::Date, entry.buyDate) && ok;
  ok = Date(texts, ImportField::SaleDate, entry.saleDate) && ok;
  const std::string marginable = Folded(At(texts, ImportField::Marginable));
  Show(ImportField::Marginable, marginable);
  if (marginable == "yes" || marginable == "1" || marginable == "true") {
    entry.marginable = true;
  } else if (!(marginable.empty() || marginable == "no" || marginable == "0" || marginable == "false")) {
    Problem(ImportField::Marginable, "marginable '" +
                                         std::string(TrimBlanks(At(texts, ImportField::Marginable))) +
                                         "' is neither yes nor no");
    ok = false;
  }
  uint32_t tag = 0;
  ok = Tag(texts, tag) && ok;
  uint32_t fees = 0;
  ok = Fees(texts, fees) && ok;
  const std::string& comment = At(texts, ImportField::Comment);
  Show(ImportField::Comment, comment);
  entry.currency = TrimBlanks(At(texts, ImportField::Currency));
  Show(ImportField::Currency, entry.currency);
  // The security's name says what a symbol the service may not know stands for: it is the comment of a
  // position whose row gives none.
  const std::string name(TrimBlanks(At(texts, ImportField::Name)));
  Show(ImportField::Name, name);
  // The rates a broker charged, with the base currency they are kept against (a Vellumar file's).
  const std::string rateCurrency(TrimBlanks(At(texts, ImportField::RateCurrency)));
  if (!rateCurrency.empty() || !TrimBlanks(At(texts, ImportField::BuyRate)).empty() ||
      !TrimBlanks(At(texts, ImportField::SaleRate)).empty()) {
    if (!IsBaseCurrencyForm(rateCurrency)) {
      Problem(ImportField::RateCurrency, "the currency of the rates '" + rateCurrency +
                                             "' is not a base currency (three capital letters such as EUR)");
      ok = false;
    }
    entry.baseCurrency = rateCurrency;
    entry.buyRate = At(texts, ImportField::BuyRate);
    entry.saleRate = At(texts, ImportField::SaleRate);
  }
  if (!ok) return nullptr;

  entry.comment = TrimBlanks(comment).empty() && !name.empty() ? name : comment;
  entry.sold = !TrimBlanks(At(texts, ImportField::SalePrice)).empty() ||
               !TrimBlanks(At(texts, ImportField::SaleDate)).empty() ||
               !TrimBlanks(At(texts, ImportField::SaleCommission)).empty();
  auto holding = std::make_unique<VLStockHoldingItem>();
  // A margin equity on a security that is not marginable was accepted once, when the dialog asked: the
  // file says so, so the question is answered yes.
  const EntryCheck check = CheckStockHolding(
      entry, [](StringId) { return true; }, *holding);
  if (!check.Ok()) {
    Failed(check, texts);
    return nullptr;
  }
  // A sold position's fees are those of its sale, a held one's those of its purchase.
  if (!AddFees(entry.sold ? ImportField::SaleCommission : ImportField::Commission, fees,
               entry.sold ? holding->saleCommission : holding->buyCommission))
    return nullptr;
  holding->tag = tag;
  return holding;
}

bool RowChecker::Income(const RowTexts& texts, IncomeKind kind, bool tax, VLIncomeItem& income) {
  IncomeEntry entry;
  entry.kind = IncomeKindName(kind);
  entry.symbol = TrimBlanks(At(texts, ImportField::Symbol));
  Show(ImportField::Symbol, entry.symbol);
  bool ok = Number(texts, ImportField::Amount, FileNumberKind::Money, entry.gross);
  ok = Number(texts, ImportField::Withholding, FileNumberKind::Money, entry.withholding) && ok;
  ok = Number(texts, ImportField::Fees, FileNumberKind::Money, entry.fees) && ok;
  ok = Number(texts, ImportField::Quantity, FileNumberKind::Quantity, entry.shares) && ok;
  std::optional<int64_t> payDate, exDate;
  ok = Date(texts, ImportField::Date, payDate) && ok;
  // A payment's ex-date, where a file gives one, stands where a trade's sale date would.
  ok = Date(texts, ImportField::SaleDate, exDate) && ok;
  entry.payDate = payDate.value_or(0);
  entry.exDate = exDate.value_or(0);
  entry.currency = TrimBlanks(At(texts, ImportField::Currency));
  Show(ImportField::Currency, entry.currency);
  entry.comment = At(texts, ImportField::Comment);
  Show(ImportField::Comment, entry.comment);
  if (!ok) return false;
  if (!entry.shares.empty() && entry.shares.front() == '-') entry.shares.erase(0, 1);
  if (tax) {
    // Tax is money taken, whichever sign the file writes it with: a reversal of income.
    if (!entry.gross.empty() && entry.gross.front() != '-') entry.gross.insert(0, 1, '-');
    entry.withholding.clear();
    entry.fees.clear();
    if (entry.comment.empty()) entry.comment = "Tax withheld";
  }
  if (EntryCheck check = CheckIncome(entry, TodayDayNumber(), income); !check.Ok()) {
    if (check.message == StringId::AmountMissing ||
        (check.field == EntryField::Gross && entry.gross.empty())) {
      Problem(ImportField::Amount, "a payment without its amount");
    } else {
      Failed(check, texts);
    }
    return false;
  }
  return true;
}

std::unique_ptr<VLHoldingItem> RowChecker::Money(int32_t kind, const RowTexts& texts) {
  MoneyHoldingEntry entry;
  bool ok = Number(texts, ImportField::Amount, FileNumberKind::Money, entry.amount);
  uint32_t tag = 0;
  ok = Tag(texts, tag) && ok;
  entry.description = At(texts, ImportField::Comment);
  Show(ImportField::Comment, entry.description);
  // Cash and debts are in the portfolio's money: a code given for one would be dropped, so it is refused.
  const std::string currency(TrimBlanks(At(texts, ImportField::Currency)));
  Show(ImportField::Currency, currency);
  if (!currency.empty()) {
    Problem(ImportField::Currency,
            "a cash position or margin debt has no currency of its own ('" + currency + "')");
    ok = false;
  }
  if (!ok) return nullptr;
  std::unique_ptr<VLHoldingItem> holding;
  EntryCheck check;
  if (kind == kHoldingCash) {
    auto cash = std::make_unique<VLCashHoldingItem>();
    check = CheckCashHolding(entry, *cash);
    holding = std::move(cash);
  } else {
    auto margin = std::make_unique<VLMarginHoldingItem>();
    check = CheckMarginHolding(entry, *margin);
    holding = std::move(margin);
  }
  if (!check.Ok()) {
    Failed(check, texts);
    return nullptr;
  }
  holding->tag = tag;
  return holding;
}

bool RowChecker::Sale(const RowTexts& texts, ImportStep& step) {
  SellEntry entry;
  const std::string symbolText(TrimBlanks(At(texts, ImportField::Symbol)));
  Show(ImportField::Symbol, symbolText);
  std::string symbol;
  bool ok = true;
  if (EntryCheck check = CheckSymbolText(symbolText, symbol); !check.Ok()) {
    Failed(check, texts);
    ok = false;
  }
  ok = Number(texts, ImportField::Quantity, FileNumberKind::Quantity, entry.quantity) && ok;
  ok = Number(texts, ImportField::SalePrice, FileNumberKind::Price, entry.salePrice) && ok;
  ok = Number(texts, ImportField::SaleCommission, FileNumberKind::Money, entry.saleCommission) && ok;
  ok = Date(texts, ImportField::SaleDate, entry.saleDate) && ok;
  uint32_t fees = 0;
  ok = Fees(texts, fees) && ok;
  if (!ok) return false;
  SellResult result;
  // How many shares there are to sell is known only against the portfolio, when the import is applied.
  if (EntryCheck check = CheckSell(entry, kMaxStoredQuantity, result); !check.Ok()) {
    Failed(check, texts);
    return false;
  }
  step.symbol = symbol;
  step.qty = result.soldQty;
  step.salePrice = result.salePrice;
  step.saleCommission = result.saleCommission;
  step.saleDate = result.saleDate;
  return AddFees(ImportField::SaleCommission, fees, step.saleCommission);
}

bool RowChecker::PortfolioName(const std::string& text, std::string& name) {
  const std::string trimmed(TrimBlanks(text));
  Show(ImportField::Portfolio, trimmed);
  if (trimmed.empty()) {
    Problem(ImportField::Portfolio, "the portfolio name is missing");
    return false;
  }
  if (EntryCheck check =
          CheckTextField(trimmed, kMaxTextCharacters, EntryField::PortfolioName, "the portfolio name");
      !check.Ok()) {
    Problem(ImportField::Portfolio, CheckProblemText(check, ImportField::Portfolio, trimmed));
    return false;
  }
  name = trimmed;
  return true;
}
