#include "marketdata/historical_price_provider.h"

#include "marketdata/historical_price.h"
#include "marketdata/market_date.h"
#include "marketdata/text_helpers.h"
#include "marketdata/url_encode.h"

static constexpr const char* kCsvHeader = "Date,Open,High,Low,Close,Volume,Adj Close";
// A date text this long is not a date.
static constexpr size_t kMaxDateChars = 32;

void HistoricalPriceProvider::Fetch(const std::string& requestSymbol, int fromMonth, int fromYear,
                                    int toMonth, int toYear, Results* resultList) {
  SetError(kErrorParse);
  std::string trimmed = Trim(requestSymbol);
  if (trimmed.empty()) return;
  if (fromYear > toYear || (fromYear == toYear && fromMonth > toMonth)) return;
  symbol = trimmed;
  startMonth = fromMonth;
  startYear = fromYear;
  endMonth = toMonth;
  endYear = toYear;
  results = resultList;
  Run();
}

void HistoricalPriceProvider::GetUrl(std::string& out) {
  // Months go out 0-based; the span ends on the last day of the end month.
  out = MakeUrl(hosts.historicalHost,
                "/table.csv?s=" + EncodeUrlValue(symbol) +
                    SpanQuery(startYear, startMonth, 1, endYear, endMonth, DaysInMonth(endMonth, endYear)) +
                    "&g=d&ignore=.csv");
}

bool HistoricalPriceProvider::ReadRow() {
  std::string dateText;
  if (!ExtractUntilNoCase(",", dateText)) return false;
  dateText = FlattenLines(dateText);
  if (dateText.size() >= kMaxDateChars) return false;
  std::string numbers = dateText;
  for (char& c : numbers) {
    if (c == '-' || c == '/' || c == '.') c = ' ';
  }
  int ymd[3] = {};
  if (!ScanInts(numbers, 3, ymd)) return false;

  std::string values[6];  // open, high, low, close, volume, adjusted close
  for (int i = 0; i < 5; ++i) {
    if (!ExtractUntilNoCase(",", values[i])) return false;
  }
  if (!ExtractUntilNoCase("\n", values[5])) return false;
  int64_t date = 0;
  if (!LocalMidnight(ymd[0], ymd[1], ymd[2], &date)) return false;

  auto row = std::make_unique<HistoricalPrice>();
  row->symbol = symbol;
  row->date = date;
  row->dateText = FormatDayText(date);
  row->open = FlattenLines(values[0]);
  row->high = FlattenLines(values[1]);
  row->low = FlattenLines(values[2]);
  row->close = FlattenLines(values[3]);
  row->adjClose = FlattenLines(values[5]);
  if (results) results->push_back(std::move(row));
  return true;
}

void HistoricalPriceProvider::ParseContent() {
  SetError(kErrorParse);
  if (!SkipPastNoCase(kCsvHeader)) return;
  int rows = 0;
  while (ReadRow()) ++rows;
  if (rows > 0) ClearError();
}
