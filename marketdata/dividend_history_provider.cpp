#include "marketdata/dividend_history_provider.h"

#include "marketdata/csv_page.h"
#include "marketdata/market_date.h"
#include "marketdata/text_helpers.h"
#include "marketdata/url_encode.h"

void DividendHistoryProvider::Fetch(const std::string& requestSymbol, int fromMonth, int fromYear,
                                    int toMonth, int toYear, std::vector<DividendRow>* resultList) {
  SetError(kErrorParse);
  if (resultList) resultList->clear();
  symbol = Trim(requestSymbol);
  if (symbol.empty() || DaysInMonth(fromMonth, fromYear) == 0 || DaysInMonth(toMonth, toYear) == 0) return;
  if (fromYear > toYear || (fromYear == toYear && fromMonth > toMonth)) return;
  startMonth = fromMonth;
  startYear = fromYear;
  endMonth = toMonth;
  endYear = toYear;
  results = resultList;
  Run();
}

void DividendHistoryProvider::GetUrl(std::string& out) {
  out = MakeUrl(hosts.historicalHost,
                "/table.csv?s=" + EncodeUrlValue(symbol) +
                    SpanQuery(startYear, startMonth, 1, endYear, endMonth, DaysInMonth(endMonth, endYear)) +
                    "&g=v&ignore=.csv");
}

void DividendHistoryProvider::ParseContent() {
  if (HasError()) return;  // the fetch failed; its error stands
  std::vector<std::vector<std::string>> rows;
  std::string why;
  std::vector<DividendRow> read;
  if (GetLinesDropped() > 0) {
    why = "lines too long to read";
  } else if (ReadCsvPage(GetContent(), "Date,Dividends", &rows, &why)) {
    for (size_t i = 0; i < rows.size() && why.empty(); ++i) {
      DividendRow row;
      if (!ParseMarketDay(rows[i][0], &row.exDate)) {
        why = "line " + std::to_string(i + 2) + ": bad date";
      } else if (!ParseExactDecimal(rows[i][1], &row.amount) || !row.amount.ToUnits(6, &row.amountMicros)) {
        why = "line " + std::to_string(i + 2) + ": bad amount";
      }
      read.push_back(row);
    }
  }
  if (!why.empty()) {
    SetError(std::string(kErrorParse) + ": " + why);
    return;
  }
  if (results) *results = std::move(read);
}
