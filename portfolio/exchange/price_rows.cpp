#include "portfolio/exchange/price_rows.h"

#include "portfolio/checks/manual_price_checks.h"
#include "portfolio/columns/clock.h"
#include "portfolio/records/calendar_date.h"

namespace {

// What a refused price of a file is told as, by the field the check points at.
std::string PriceProblem(const EntryCheck& check, const std::string& symbol, const std::string& date,
                         const std::string& price) {
  switch (check.field) {
    case EntryField::Symbol:
      return "the symbol '" + symbol + "' of a price set by hand is missing or not a symbol";
    case EntryField::ManualPrice:
      return "the price set by hand '" + price +
             "' is not an amount above 0 of at most 6 decimal places and at most 42949672.95";
    default:
      return "the day '" + date + "' of a price set by hand is not a day from " + IsoDateText(kEarliestDate) +
             " to today";
  }
}

}  // namespace

void ReadPriceRow(int line, const std::string& symbol, const std::string& date, const std::string& price,
                  ImportReading& reading) {
  CalendarDate day;
  ManualPriceEntry entry{symbol, price, 0};
  if (ParseIsoDate(date, &day)) entry.date = StoredDateOf(day);
  ManualPriceResult result;
  const EntryCheck check = CheckManualPrice(entry, TodayDayNumber(), result);
  if (!check.Ok()) {
    reading.problems.push_back({line, ImportField::None, PriceProblem(check, symbol, date, price)});
    return;
  }
  reading.plan.prices.push_back({line, result.symbol, result.date, result.price});
}

std::string PriceDayText(const VLManualPriceItem& price) {
  return IsoDateText(DateOfStoredDate(price.date));
}

std::string PriceValueText(const VLManualPriceItem& price) {
  return DecimalText(price.price);
}
