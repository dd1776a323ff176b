#include "portfolio/checks/portfolio_name_check.h"

#include "portfolio/checks/text_limits.h"
#include "portfolio/checks/typed_number.h"

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

EntryCheck CheckPortfolioComment(const std::string& typed) {
  return CheckTextField(typed, kMaxTextCharacters, EntryField::PortfolioComment, "the portfolio comment");
}
