#pragma once

#include <string_view>

class Market;
struct ServiceResponse;

// GET /table.csv?s=SYM&a=M0&b=D0&c=Y0&d=M1&e=D1&f=Y1&g=d : daily rows from the start to the end date
// (months 0-based), newest first: prices as traded, the adjusted close without later splits and dividends.
// g=v : the dividends of the span instead, "Date,Dividends" (ex-date, amount as paid), newest first.
// An unknown symbol gets the 404 error page, without the CSV header; a currency pair ("EURUSD=X") gets its
// daily reference rates.
ServiceResponse HistoryCsvPage(const Market& market, std::string_view rawQuery);

// GET /vellumar/events.csv?s=SYM[&a..f as above] : the dividends, splits and symbol changes of the span,
// newest first, one line each: "Date,Event,Value,Pay Date,Currency" with the events
//   dividend       the amount per share as paid on the ex-date, the pay date (empty when not known), the
//   currency split          N:D, new shares for old ones symbol-change  OLD->NEW
ServiceResponse EventsCsvPage(const Market& market, std::string_view rawQuery);
