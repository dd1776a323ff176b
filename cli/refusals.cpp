#include "cli/refusals.h"

#include <map>

#include "cli/cli_output.h"

namespace {

struct RefusalText {
  const char* text;  // "%1", "%2" ... are the check's arguments in order
  int exitCode;
};

// What the command line says for each check the dialogs make. Values that make no sense exit 4; a sale
// that the position cannot give exits 5.
const std::map<StringId, RefusalText>& Texts() {
  static const std::map<StringId, RefusalText> texts = {
      {StringId::PortfolioNameMissing, {"the portfolio name is empty or blank", kExitRefused}},
      {StringId::SymbolMissing, {"the symbol is empty or blank", kExitRefused}},
      {StringId::NewSymbolMissing, {"--symbol is empty or blank", kExitRefused}},
      {StringId::SymbolCharactersInvalid,
       {"the symbol \"%1\" holds a blank, comma, quote or control character, which no symbol has",
        kExitRefused}},
      {StringId::QuantityMissing, {"--qty: give the number of shares bought", kExitRefused}},
      {StringId::QuantityTooLarge, {"--qty: a position holds at most 1000000 shares", kExitRefused}},
      {StringId::BuyPriceMissing, {"--price: give the price paid per share for these shares", kExitRefused}},
      {StringId::BuyPriceNegative, {"--price must be an amount of 0 or more, such as 12.34", kExitRefused}},
      {StringId::BuyCommissionNegative,
       {"--commission must be an amount of 0 or more, such as 9.95", kExitRefused}},
      {StringId::MarginEquityOutOfRange,
       {"--equity: a marginable position needs a margin equity from 1 to 100 percent", kExitRefused}},
      {StringId::MarginEquityNotMarginable,
       {"--equity is given for a security that is not marginable: add --marginable, or --yes to keep it so",
        kExitRefused}},
      {StringId::AmountMissing, {"AMOUNT must be above 0, such as 2500 or 12.34", kExitRefused}},
      {StringId::DescriptionMissing, {"--comment (the description) must not be blank", kExitRefused}},
      {StringId::ManualPriceInvalid, {"PRICE must be an amount above 0, such as 12.34", kExitRefused}},
      {StringId::SplitRatioInvalid,
       {"N:D: give the new shares for the old in whole numbers, such as 3:1 or 1:10", kExitRefused}},
      {StringId::CashInLieuInvalid,
       {"--cash-in-lieu must be an amount above 0, such as 12.34", kExitRefused}},
      {StringId::NewSymbolSame, {"NEW must differ from OLD", kExitRefused}},
      {StringId::IncomeKindInvalid,
       {"--kind: \"%1\" is not a kind of income: give dividend, capital-gain, return-of-capital, interest or "
        "other",
        kExitRefused}},
      {StringId::IncomeGrossInvalid,
       {"--gross must be an amount other than 0, such as 50.00 (negative to reverse a payment)",
        kExitRefused}},
      {StringId::IncomeDeductionsTooLarge,
       {"--withholding and --fees together must not be more than --gross", kExitRefused}},
      {StringId::IncomePayBeforeEx, {"--pay-date must not be before --ex-date", kExitRefused}},
      {StringId::IncomeDateLater, {"%o is later than today", kExitRefused}},
      {StringId::IncomeDateOutOfRange, {"%o must lie between %1 and today", kExitRefused}},
      {StringId::SalePriceInvalid,
       {"--price: give the sale price per share, an amount above 0", kExitRefused}},
      {StringId::SaleCommissionNegative,
       {"--commission must be an amount of 0 or more, such as 9.95", kExitRefused}},
      {StringId::DateLaterThanToday, {"--date is later than today", kExitRefused}},
      {StringId::DateOutOfRange, {"--date must lie between %1 and today", kExitRefused}},
      {StringId::TextTooLong, {"%1 is too long: at most %2 characters", kExitRefused}},
      {StringId::TextNotValid,
       {"%1 holds a control character (other than tab and line breaks), a NUL or bytes that are not UTF-8 "
        "text, which cannot be stored",
        kExitRefused}},
      // Numbers refused for a reason of their own; %o names the option (or argument) typed.
      {StringId::AmountNotANumber, {"%o: \"%1\" is not an amount (such as %2)", kExitRefused}},
      {StringId::WholeNumberNotANumber, {"%o: \"%1\" is not a whole number", kExitRefused}},
      {StringId::DecimalNotANumber, {"%o: \"%1\" is not a number (such as %2)", kExitRefused}},
      {StringId::CurrencyNotValid,
       {"--currency: \"%1\" is not a currency code: give three capital letters (an ISO code such as USD), "
        "%2, or - for the currency of the exchange",
        kExitRefused}},
      {StringId::BaseCurrencyNotValid,
       {"%o: \"%1\" is not a base currency: give three capital letters (an ISO code such as EUR), or - for "
        "none",
        kExitRefused}},
      {StringId::BaseCurrencyLookNotValid,
       {"%o: \"%1\" is not a currency to convert into: give three capital letters (an ISO code such as EUR)",
        kExitRefused}},
      {StringId::FxRateNotValid,
       {"%o: \"%1\" is not an exchange rate (a number above 0 such as 0.8650)", kExitRefused}},
      {StringId::FxRateWithoutBase,
       {"%o: the portfolio has no base currency to keep the rate against (modify-portfolio --base-currency)",
        kExitRefused}},
      {StringId::AmountNegative, {"%o must not be negative", kExitRefused}},
      {StringId::QuantityNegative, {"%o must not be negative", kExitRefused}},
      {StringId::AmountTooLarge, {"%o is too large: at most %1", kExitRefused}},
      {StringId::TooManyDecimals,
       {"%o: \"%1\" has more decimals than Vellumar keeps: at most %2 decimal places", kExitRefused}},
      {StringId::SoldQuantityFraction,
       {"--qty: give a number of shares above 0 and at most %1; only %1 shares are held", kExitNotPossible}},
      {StringId::SaleDateBeforePurchase, {"the sale date is before the purchase date %1", kExitNotPossible}},
      {StringId::SoldQuantityOutOfRange,
       {"--qty: give a number of shares from 1 to %1; only %1 shares are held", kExitNotPossible}},
      {StringId::SoldPositionIncomplete,
       {"a sold position needs its quantity, purchase price and sale price", kExitRefused}},
  };
  return texts;
}

// The option (or argument) of the command line that fills each dialog field.
std::string OptionOf(EntryField field) {
  static const std::map<EntryField, const char*> options = {
      {EntryField::Quantity, "--qty"},
      {EntryField::BuyPrice, "--price"},
      {EntryField::BuyDate, "--date"},
      {EntryField::BuyCommission, "--commission"},
      {EntryField::BuyTarget, "--buy-target"},
      {EntryField::SellTarget, "--sell-target"},
      {EntryField::StopLossTarget, "--stop-loss"},
      {EntryField::MarginPercent, "--equity"},
      {EntryField::MarginThreshold, "--threshold"},
      {EntryField::SalePrice, "--price"},
      {EntryField::SaleDate, "--date"},
      {EntryField::SaleCommission, "--commission"},
      {EntryField::Amount, "AMOUNT"},
      {EntryField::ManualPrice, "PRICE"},
      {EntryField::SplitRatio, "N:D"},
      {EntryField::CashInLieu, "--cash-in-lieu"},
      {EntryField::IncomeKind, "--kind"},
      {EntryField::Gross, "--gross"},
      {EntryField::Withholding, "--withholding"},
      {EntryField::Fees, "--fees"},
      {EntryField::Shares, "--shares"},
      {EntryField::PayDate, "--pay-date"},
      {EntryField::ExDate, "--ex-date"},
      {EntryField::Description, "--comment"},
      {EntryField::Comment, "--comment"},
      {EntryField::Currency, "--currency"},
      {EntryField::PortfolioComment, "--comment"},
      {EntryField::BaseCurrency, "--base-currency"},
      {EntryField::BuyRate, "--buy-rate"},
      {EntryField::SaleRate, "--sale-rate"},
  };
  const auto it = options.find(field);
  return it == options.end() ? "the value" : it->second;
}

std::string Fill(const std::string& text, const std::vector<std::string>& arguments, EntryField field) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 'o') {
      out += OptionOf(field);
      ++i;
      continue;
    }
    const size_t index = i + 1 < text.size() ? static_cast<size_t>(text[i + 1] - '1') : arguments.size();
    if (text[i] == '%' && index < arguments.size()) {
      out += arguments[index];
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

int Refuse(CliIo& io, const char* command, const EntryCheck& check) {
  const auto it = Texts().find(check.message);
  if (it == Texts().end()) return RefuseState(io, command, "refused by the position checks");
  PrintError(io.err, command, Fill(it->second.text, check.arguments, check.field));
  return it->second.exitCode;
}

int RefuseState(CliIo& io, const char* command, const std::string& reason) {
  PrintError(io.err, command, reason);
  return kExitNotPossible;
}
