#pragma once
#include <cstdint>
#include <string>

#include "portfolio/checks/entry_check.h"

// A symbol as typed: blanks around it are dropped; what remains must not be empty and must not hold a
// blank, comma, quote (' or ") or control character, which no exchange uses. `symbol` receives the
// trimmed text when the check passes.
EntryCheck CheckSymbolText(const std::string& typed, std::string& symbol);

// A purchase or sale date (seconds since 1970) must not be later than `endOfToday`, the last second of
// the current day. 0 stands for "no date" and passes.
EntryCheck CheckDateNotLater(int64_t date, int64_t endOfToday, EntryField field);

// The last second of the current local day.
int64_t EndOfToday();
