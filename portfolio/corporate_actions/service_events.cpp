#include "portfolio/corporate_actions/service_events.h"

#include "portfolio/records/calendar_date.h"

namespace {

MarketDay MarketDayOf(int64_t day) {
  const CalendarDate date = DateOfDayNumber(day);
  return {date.year, date.month, date.day};
}

}  // namespace

bool FetchServiceEvents(const std::string& symbol, int64_t firstDay, int64_t lastDay,
                        std::vector<CorporateEvent>& events, std::string& error, FetchFailure& failure) {
  events.clear();
  CorporateEventsProvider provider;
  provider.Fetch(symbol, MarketDayOf(firstDay), MarketDayOf(lastDay), &events);
  if (!provider.HasError()) return true;
  error = provider.GetErrorText();
  failure = provider.GetFailure();
  return false;
}
