#include "portfolio/exchange/import_problem.h"

#include <map>

#include "framework/visible_text.h"
#include "portfolio/exchange/import_fields.h"

namespace {

// %f is the field's label, %r its text in the file, %1 the check's first argument.
const std::map<StringId, const char*>& CheckTexts() {
  static const std::map<StringId, const char*> texts = {
      {StringId::PortfolioNameMissing, "the portfolio name is missing"},
      {StringId::SymbolMissing, "the symbol is missing"},
      {StringId::SymbolCharactersInvalid, "the symbol '%r' holds a blank, comma, quote or control character"},
      {StringId::QuantityTooLarge, "the quantity '%r' is more than the 1,000,000 shares a position holds"},
      {StringId::QuantityNegative, "%f '%r' is negative"},
      {StringId::BuyPriceNegative, "%f '%r' is negative"},
      {StringId::BuyCommissionNegative, "%f '%r' is negative"},
      {StringId::SaleCommissionNegative, "%f '%r' is negative"},
      {StringId::AmountNegative, "%f '%r' is negative"},
      {StringId::AmountTooLarge, "%f '%r' is too large: at most %1"},
      {StringId::WholeNumberNotANumber, "%f '%r' is not a whole number"},
      {StringId::AmountNotANumber, "%f '%r' is not an amount"},
      {StringId::BuyPriceMissing, "shares without the price paid for them"},
      {StringId::QuantityMissing, "a price paid without the number of shares"},
      {StringId::SoldPositionIncomplete, "a sold position needs its quantity, purchase price and sale price"},
      {StringId::SaleDateBeforePurchase, "the sale date is before the purchase date"},
      {StringId::DateLaterThanToday, "%f '%r' is later than today"},
      {StringId::DateOutOfRange, "%f '%r' is before %1"},
      {StringId::AmountMissing, "%f '%r' is not above 0"},
      {StringId::DescriptionMissing, "the description is missing"},
      {StringId::SalePriceInvalid, "the sale price '%r' is not above 0"},
      // The file's text is not repeated: it may be megabytes long, or hold what cannot be shown.
      {StringId::TextTooLong, "%f is longer than the %2 characters it may hold"},
      {StringId::TextNotValid,
       "%f holds a control character (other than tab and line breaks), a NUL or bytes that are not UTF-8 "
       "text"},
      {StringId::SoldQuantityOutOfRange, "the quantity sold '%r' is not above 0"},
      {StringId::IncomeGrossInvalid, "the amount of a payment '%r' is 0"},
      {StringId::IncomeDeductionsTooLarge, "the tax withheld and the fees are more than the payment"},
      {StringId::IncomeDateLater, "the pay date '%r' is later than today"},
      {StringId::IncomeDateOutOfRange, "%f '%r' is before %1 or missing"},
      {StringId::IncomePayBeforeEx, "the pay date is before the ex-date"},
      {StringId::FxRateNotValid, "the rate '%r' is not an exchange rate (a number above 0 such as 0.8650)"},
      {StringId::FxRateWithoutBase, "a rate needs the currency it is kept against"},
      {StringId::CurrencyNotValid,
       "the currency '%r' is not a currency code (three capital letters such as USD, or %2)"},
  };
  return texts;
}

std::string Fill(const char* pattern, ImportField field, const std::string& raw,
                 const std::vector<std::string>& arguments) {
  std::string out;
  for (const char* p = pattern; *p; ++p) {
    if (*p != '%' || !p[1]) {
      out.push_back(*p);
      continue;
    }
    switch (*++p) {
      case 'f':
        out += ImportFieldLabel(field);
        break;
      case 'r':
        out += raw;
        break;
      case '1':
        out += arguments.empty() ? std::string() : arguments[0];
        break;
      case '2':
        out += arguments.size() < 2 ? std::string() : arguments[1];
        break;
      default:
        out.push_back('%');
        out.push_back(*p);
    }
  }
  return out;
}

}  // namespace

const char* ImportFieldLabel(ImportField field) {
  return ImportFieldInfoOf(field).label;
}

std::string ImportProblem::Describe() const {
  // The text quotes the file, whose control characters are shown, never passed on.
  const std::string visible = VisibleText(commandHint.empty() ? text : text + ": " + commandHint);
  return line > 0 ? "line " + std::to_string(line) + ": " + visible : visible;
}

std::string ImportProblem::DescribeInWindow() const {
  const std::string visible = VisibleText(windowHint.empty() ? text : text + ": " + windowHint);
  return line > 0 ? "line " + std::to_string(line) + ": " + visible : visible;
}

ImportField ImportFieldOf(EntryField field) {
  static const std::map<EntryField, ImportField> fields = {
      {EntryField::Symbol, ImportField::Symbol},
      {EntryField::NewSymbol, ImportField::Symbol},
      {EntryField::Quantity, ImportField::Quantity},
      {EntryField::BuyPrice, ImportField::Price},
      {EntryField::BuyDate, ImportField::Date},
      {EntryField::BuyCommission, ImportField::Commission},
      {EntryField::BuyTarget, ImportField::BuyTarget},
      {EntryField::SellTarget, ImportField::SellTarget},
      {EntryField::StopLossTarget, ImportField::StopLoss},
      {EntryField::MarginPercent, ImportField::MarginEquity},
      {EntryField::MarginThreshold, ImportField::MarginThreshold},
      {EntryField::SalePrice, ImportField::SalePrice},
      {EntryField::SaleDate, ImportField::SaleDate},
      {EntryField::SaleCommission, ImportField::SaleCommission},
      {EntryField::Amount, ImportField::Amount},
      {EntryField::Description, ImportField::Comment},
      {EntryField::PortfolioName, ImportField::Portfolio},
      {EntryField::Comment, ImportField::Comment},
      {EntryField::Currency, ImportField::Currency},
      {EntryField::BuyRate, ImportField::BuyRate},
      {EntryField::SaleRate, ImportField::SaleRate},
      {EntryField::PortfolioComment, ImportField::PortfolioComment},
      {EntryField::Gross, ImportField::Amount},
      {EntryField::Withholding, ImportField::Withholding},
      {EntryField::Fees, ImportField::Fees},
      {EntryField::Shares, ImportField::Quantity},
      {EntryField::PayDate, ImportField::Date},
      {EntryField::IncomeKind, ImportField::Kind},
  };
  const auto it = fields.find(field);
  return it == fields.end() ? ImportField::None : it->second;
}

std::string CheckProblemText(const EntryCheck& check, ImportField field, const std::string& raw) {
  if (check.message == StringId::MarginEquityOutOfRange) {
    return raw.empty() ? "a marginable position needs a margin equity from 1 to 100"
                       : "the margin equity '" + raw + "' is not a whole number from 1 to 100";
  }
  if (check.message == StringId::AmountMissing && raw.empty()) return "the amount is missing";
  const auto it = CheckTexts().find(check.message);
  if (it == CheckTexts().end()) return Fill("%f '%r' is refused", field, raw, check.arguments);
  return Fill(it->second, field, raw, check.arguments);
}
