#include "service/exchange_info.h"

#include <iterator>

#include "framework/text_util.h"

// Regular sessions only; lunch breaks and half days are not modelled. London quotes in pence.
static const ExchangeInfo kExchanges[] = {
    {"NYSE", "United States", "America/New_York", 9 * 60 + 30, 16 * 60, true, "USD"},
    {"NASDAQ", "United States", "America/New_York", 9 * 60 + 30, 16 * 60, true, "USD"},
    {"NYSE Arca", "United States", "America/New_York", 9 * 60 + 30, 16 * 60, true, "USD"},
    {"Mutual Fund", "United States", "America/New_York", 9 * 60 + 30, 16 * 60, true, "USD"},
    {"DJI", "United States", "America/New_York", 9 * 60 + 30, 16 * 60, true, "USD"},
    {"SNP", "United States", "America/New_York", 9 * 60 + 30, 16 * 60, true, "USD"},
    {"CME", "United States", "America/Chicago", 8 * 60 + 30, 15 * 60 + 15, true, "USD"},
    {"CBOT", "United States", "America/Chicago", 8 * 60 + 30, 13 * 60 + 20, true, "USD"},
    {"NYMEX", "United States", "America/New_York", 9 * 60, 14 * 60 + 30, true, "USD"},
    {"COMEX", "United States", "America/New_York", 8 * 60 + 20, 13 * 60 + 30, true, "USD"},
    {"TSX", "Canada", "America/Toronto", 9 * 60 + 30, 16 * 60, false, "CAD"},
    {"BMV", "Mexico", "America/Mexico_City", 8 * 60 + 30, 15 * 60, false, "MXN"},
    {"B3", "Brazil", "America/Sao_Paulo", 10 * 60, 17 * 60, false, "BRL"},
    {"BYMA", "Argentina", "America/Argentina/Buenos_Aires", 11 * 60, 17 * 60, false, "ARS"},
    {"LSE", "United Kingdom", "Europe/London", 8 * 60, 16 * 60 + 30, false, "GBp", 100},
    {"XETRA", "Germany", "Europe/Berlin", 9 * 60, 17 * 60 + 30, false, "EUR"},
    {"Paris", "France", "Europe/Paris", 9 * 60, 17 * 60 + 30, false, "EUR"},
    {"Amsterdam", "Netherlands", "Europe/Amsterdam", 9 * 60, 17 * 60 + 30, false, "EUR"},
    {"Milan", "Italy", "Europe/Rome", 9 * 60, 17 * 60 + 30, false, "EUR"},
    {"Madrid", "Spain", "Europe/Madrid", 9 * 60, 17 * 60 + 30, false, "EUR"},
    {"Stockholm", "Sweden", "Europe/Stockholm", 9 * 60, 17 * 60 + 30, false, "SEK"},
    {"Oslo", "Norway", "Europe/Oslo", 9 * 60, 16 * 60 + 20, false, "NOK"},
    {"SIX Swiss", "Switzerland", "Europe/Zurich", 9 * 60, 17 * 60 + 30, false, "CHF"},
    {"ASX", "Australia", "Australia/Sydney", 10 * 60, 16 * 60, false, "AUD"},
    {"NZX", "New Zealand", "Pacific/Auckland", 10 * 60, 16 * 60 + 45, false, "NZD"},
    {"HKEX", "Hong Kong", "Asia/Hong_Kong", 9 * 60 + 30, 16 * 60, false, "HKD"},
    {"Tokyo", "Japan", "Asia/Tokyo", 9 * 60, 15 * 60, false, "JPY"},
    {"Shanghai", "China", "Asia/Shanghai", 9 * 60 + 30, 15 * 60, false, "CNY"},
    {"KRX", "South Korea", "Asia/Seoul", 9 * 60, 15 * 60 + 30, false, "KRW"},
    {"TWSE", "Taiwan", "Asia/Taipei", 9 * 60, 13 * 60 + 30, false, "TWD"},
    {"BSE", "India", "Asia/Kolkata", 9 * 60 + 15, 15 * 60 + 30, false, "INR"},
    {"NSE", "India", "Asia/Kolkata", 9 * 60 + 15, 15 * 60 + 30, false, "INR"},
    {"SGX", "Singapore", "Asia/Singapore", 9 * 60, 17 * 60, false, "SGD"},
};

const ExchangeInfo* FindExchange(std::string_view name) {
  for (const ExchangeInfo& e : kExchanges) {
    if (EqualNoCase(e.name, name)) return &e;
  }
  return nullptr;
}

const ExchangeInfo* AllExchanges(int& count) {
  count = static_cast<int>(std::size(kExchanges));
  return kExchanges;
}
