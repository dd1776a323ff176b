#include "portfolio/checks/portfolio_name_check.h"

#include "portfolio/checks/text_limits.h"
#include "portfolio/checks/typed_number.h"
#include "portfolio/records/currency_units.h"

EntryCheck CheckPortfolioName(const std::string& typed, std::string& name) {
  const std::string trimmed(TrimBlanks(typed));
  if (trimmed.empty())
    return EntryFailure(StringId::PortfolioNameMissing, EntryPage::None, EntryField::PortfolioName);
  if (EntryCheck check =
          CheckTextField(trimmed, kMaxTextCharacters, EntryField::PortfolioName, "the portfolio name");
      !check.Ok())
    return check;
  name = trimmed;
  return {};
}

EntryCheck CheckBaseCurrency(const std::string& typed, std::string& code) {
  const std::string trimmed(TrimBlanks(typed));
  if (!trimmed.empty() && !IsBaseCurrencyForm(trimmed))
    return EntryFailure(StringId::BaseCurrencyNotValid, EntryPage::None, EntryField::BaseCurrency, {trimmed});
  code = trimmed;
  return {};
}

EntryCheck CheckPortfolioComment(const std::string& typed) {
  return CheckTextField(typed, kMaxTextCharacters, EntryField::PortfolioComment, "the portfolio comment");
}
