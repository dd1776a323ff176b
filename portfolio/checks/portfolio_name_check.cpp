#include "portfolio/checks/portfolio_name_check.h"

#include "portfolio/checks/typed_number.h"

EntryCheck CheckPortfolioName(const std::string& typed, std::string& name) {
  const std::string trimmed(TrimBlanks(typed));
  if (trimmed.empty())
    return EntryFailure(StringId::PortfolioNameMissing, EntryPage::None, EntryField::PortfolioName);
  name = trimmed;
  return {};
}
