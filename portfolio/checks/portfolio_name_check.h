#pragma once
#include <string>

#include "portfolio/checks/entry_check.h"

// The portfolio dialog's name: leading and trailing blanks are dropped and the rest must not be empty.
// `name` receives the trimmed text when the check passes.
EntryCheck CheckPortfolioName(const std::string& typed, std::string& name);
// The portfolio dialog's comment: any text of at most the dialogs' length, without NUL, in UTF-8.
EntryCheck CheckPortfolioComment(const std::string& typed);
// The portfolio dialog's base currency: empty (none) or three capital letters of a currency of its own
// (IsBaseCurrencyForm; "GBp" is no base). `code` receives the trimmed text when the check passes.
EntryCheck CheckBaseCurrency(const std::string& typed, std::string& code);
