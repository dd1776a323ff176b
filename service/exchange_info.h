#pragma once

#include <string_view>

// Trading venue of a security: where its clock runs and when its regular session is open.
struct ExchangeInfo {
  const char* name;      // as written in the securities file and sent in quotes
  const char* country;   // as listed in the exchange index list
  const char* timeZone;  // IANA zone of the system's time-zone database
  int openMinute;        // session open, minutes after local midnight
  int closeMinute;       // session close, minutes after local midnight
  bool us;               // part of the U.S. markets of a look-up
  const char* currency;  // of its prices and dividends, as in the currency table ("GBp": pence)
  int priceDivisor = 1;  // 100 where prices are quoted in pence: market values are in pounds
};

// The exchange of that name (case-insensitive), or null when it is not in the table.
const ExchangeInfo* FindExchange(std::string_view name);

// Every known exchange, for validation and tests; count written to `count`.
const ExchangeInfo* AllExchanges(int& count);
