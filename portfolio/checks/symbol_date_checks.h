#pragma once
#include <cstdint>
#include <string>

#include "portfolio/checks/entry_check.h"

struct CalendarDate;

// A symbol as typed: blanks around it are dropped; what remains must not be empty and must not hold a
// blank, comma, quote (' or ") or control character, which no exchange uses. `symbol` receives the
// trimmed text when the check passes.
EntryCheck CheckSymbolText(const std::string& typed, std::string& symbol);

// A purchase or sale date (its stored form, calendar_date.h) must lie on a day from kEarliestDate to
// `today` (a day number; TodayDayNumber() in the dialogs and the command line). 0 stands for "no date"
// and passes. Before the range: DateOutOfRange with the earliest date; after today: DateLaterThanToday.
EntryCheck CheckDateInRange(int64_t date, int64_t today, EntryField field);
// The day of a form without pages (a price set by hand, a corporate action): it must be given (0 fails as
// DateOutOfRange) and lie in the range above; the failure names no page.
EntryCheck CheckRequiredDay(int64_t date, int64_t today);

// Whether a sale on `saleDate` comes before the purchase on `purchaseDate`, compared as days (so a date
// stored by an older version at local midnight and one stored today compare right); false when either is
// not set.
bool SaleBeforePurchase(int64_t purchaseDate, int64_t saleDate);
