#pragma once
#include <string>

#include "portfolio/checks/entry_check.h"

// The portfolio dialog's name: leading and trailing blanks are dropped and the rest must not be empty.
// `name` receives the trimmed text when the check passes.
EntryCheck CheckPortfolioName(const std::string& typed, std::string& name);
