#include "service/exchange_info.h"

#include <iterator>

#include "framework/text_util.h"

// Regular sessions only; lunch breaks and half days are not modelled.
static const ExchangeInfo kExchanges[] = {
    {"NYSE", "United States", "America/New_York", 9 * 60 + 30, 16 * 60, true},
    {"NASDAQ", "United States", "America/New_York", 9 * 60 + 30, 16 * 60, true},
    {"NYSE Arca", "United States", "America/New_York", 9 * 60 + 30, 16 * 60, true},
    {"Mutual Fund", "United States", "America/New_York", 9 * 60 + 30, 16 * 60, true},
    {"DJI", "United States", "America/New_York", 9 * 60 + 30, 16 * 60, true},
    {"SNP", "United States", "America/New_York", 9 * 60 + 30, 16 * 60, true},
    {"CME", "United States", "America/Chicago", 8 * 60 + 30, 15 * 60 + 15, true},
    {"CBOT", "United States", "America/Chicago", 8 * 60 + 30, 13 * 60 + 20, true},
    {"NYMEX", "United States", "America/New_York", 9 * 60, 14 * 60 + 30, true},
    {"COMEX", "United States", "America/New_York", 8 * 60 + 20, 13 * 60 + 30, true},
    {"TSX", "Canada", "America/Toronto", 9 * 60 + 30, 16 * 60, false},
    {"BMV", "Mexico", "America/Mexico_City", 8 * 60 + 30, 15 * 60, false},
    {"B3", "Brazil", "America/Sao_Paulo", 10 * 60, 17 * 60, false},
    {"BYMA", "Argentina", "America/Argentina/Buenos_Aires", 11 * 60, 17 * 60, false},
    {"LSE", "United Kingdom", "Europe/London", 8 * 60, 16 * 60 + 30, false, 100},
    {"XETRA", "Germany", "Europe/Berlin", 9 * 60, 17 * 60 + 30, false},
    {"Paris", "France", "Europe/Paris", 9 * 60, 17 * 60 + 30, false},
    {"Amsterdam", "Netherlands", "Europe/Amsterdam", 9 * 60, 17 * 60 + 30, false},
    {"Milan", "Italy", "Europe/Rome", 9 * 60, 17 * 60 + 30, false},
    {"Madrid", "Spain", "Europe/Madrid", 9 * 60, 17 * 60 + 30, false},
    {"Stockholm", "Sweden", "Europe/Stockholm", 9 * 60, 17 * 60 + 30, false},
    {"Oslo", "Norway", "Europe/Oslo", 9 * 60, 16 * 60 + 20, false},
    {"SIX Swiss", "Switzerland", "Europe/Zurich", 9 * 60, 17 * 60 + 30, false},
    {"ASX", "Australia", "Australia/Sydney", 10 * 60, 16 * 60, false},
    {"NZX", "New Zealand", "Pacific/Auckland", 10 * 60, 16 * 60 + 45, false},
    {"HKEX", "Hong Kong", "Asia/Hong_Kong", 9 * 60 + 30, 16 * 60, false},
    {"Tokyo", "Japan", "Asia/Tokyo", 9 * 60, 15 * 60, false},
    {"Shanghai", "China", "Asia/Shanghai", 9 * 60 + 30, 15 * 60, false},
    {"KRX", "South Korea", "Asia/Seoul", 9 * 60, 15 * 60 + 30, false},
    {"TWSE", "Taiwan", "Asia/Taipei", 9 * 60, 13 * 60 + 30, false},
    {"BSE", "India", "Asia/Kolkata", 9 * 60 + 15, 15 * 60 + 30, false},
    {"NSE", "India", "Asia/Kolkata", 9 * 60 + 15, 15 * 60 + 30, false},
    {"SGX", "Singapore", "Asia/Singapore", 9 * 60, 17 * 60, false},
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
