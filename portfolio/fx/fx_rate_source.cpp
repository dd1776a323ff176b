#include "portfolio/fx/fx_rate_source.h"

#include "marketdata/historical_price.h"
#include "marketdata/historical_price_provider.h"
#include "portfolio/performance/history_close_source.h"
#include "portfolio/records/calendar_date.h"

CloseRequestResult ServiceFxRateSource::GetFixings(const std::string& pairSymbol, int64_t firstDay,
                                                   int64_t lastDay, std::vector<FxFixing>& fixings) {
  fixings.clear();
  const CalendarDate first = DateOfDayNumber(firstDay);
  const CalendarDate last = DateOfDayNumber(lastDay);
  HistoricalPriceProvider provider;
  HistoricalPriceProvider::Results rows;
  provider.Fetch(pairSymbol, first.month, first.year, last.month, last.year, &rows);
  if (provider.HasError()) {
    CloseRequestResult result;
    result.errorText = provider.GetErrorText();
    result.failure = provider.GetFailure();
    result.status = result.failure.noAnswer ? CloseRequestStatus::Unreachable
                    : !result.failure.IsSet() || result.failure.cause == "HTTP status 404"
                        ? CloseRequestStatus::NoHistory
                        : CloseRequestStatus::Failed;
    return result;
  }
  fixings.reserve(rows.size());
  for (const auto& row : rows) {
    FxFixing fixing;
    // A row whose day or rate cannot be read is left out, as a day without a fixing.
    if (ParseDayText(row->dateText, &fixing.day) && ParseFxRate(row->close, fixing.rate))
      fixings.push_back(fixing);
  }
  return {};
}

std::shared_ptr<FxRateBook> FetchRateBook(IFxRateSource& source, const std::vector<FxRateRequest>& needs,
                                          std::vector<std::string>& errors) {
  auto book = std::make_shared<FxRateBook>();
  for (const FxRateRequest& need : needs) {
    std::vector<FxFixing> fixings;
    const CloseRequestResult result = source.GetFixings(
        FxPairSymbol(need.base, need.quote), need.firstDay - kRateLookBackDays, need.lastDay, fixings);
    const std::string pair = FxPairName(need.base, need.quote);
    switch (result.status) {
      case CloseRequestStatus::Ok:
        book->Add(need.base, need.quote, std::move(fixings));
        continue;
      case CloseRequestStatus::NoHistory:
        // An answer all the same: the pair has no rate on any day.
        book->Add(need.base, need.quote, {});
        errors.push_back(pair + ": the market-data service has no rates of this pair");
        continue;
      case CloseRequestStatus::Unreachable:
        errors.push_back(pair + ": the market-data service could not be reached");
        continue;
      case CloseRequestStatus::Failed:
        errors.push_back(pair + ": " +
                         (result.errorText.empty() ? "the rates could not be read" : result.errorText));
        continue;
    }
  }
  return book;
}
