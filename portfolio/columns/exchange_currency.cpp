#include "portfolio/columns/exchange_currency.h"

#include "framework/text_util.h"

namespace {

struct ExchangeCurrencyEntry {
  const char* exchange;
  const char* currency;
};

constexpr ExchangeCurrencyEntry kCurrencies[] = {
    // The United States, with the names the classic quote service used for its markets.
    {"NYSE", "USD"},
    {"NASDAQ", "USD"},
    {"NYSE Arca", "USD"},
    {"Mutual Fund", "USD"},
    {"DJI", "USD"},
    {"SNP", "USD"},
    {"CME", "USD"},
    {"CBOT", "USD"},
    {"NYMEX", "USD"},
    {"COMEX", "USD"},
    {"NasdaqNM", "USD"},
    {"NasdaqGS", "USD"},
    {"NasdaqGM", "USD"},
    {"NasdaqCM", "USD"},
    {"AMEX", "USD"},
    {"PCX", "USD"},
    {"NYSEArca", "USD"},
    {"OTC BB", "USD"},
    {"Other OTC", "USD"},
    {"PNK", "USD"},
    // The Americas.
    {"TSX", "CAD"},
    {"BMV", "MXN"},
    {"B3", "BRL"},
    {"BYMA", "ARS"},
    // Europe; London quotes its prices in pence.
    {"LSE", "GBp"},
    {"XETRA", "EUR"},
    {"Paris", "EUR"},
    {"Amsterdam", "EUR"},
    {"Milan", "EUR"},
    {"Madrid", "EUR"},
    {"Stockholm", "SEK"},
    {"Oslo", "NOK"},
    {"SIX Swiss", "CHF"},
    // Asia and the Pacific.
    {"ASX", "AUD"},
    {"NZX", "NZD"},
    {"HKEX", "HKD"},
    {"Tokyo", "JPY"},
    {"Shanghai", "CNY"},
    {"KRX", "KRW"},
    {"TWSE", "TWD"},
    {"BSE", "INR"},
    {"NSE", "INR"},
    {"SGX", "SGD"},
};

}  // namespace

std::string ExchangeCurrency(const std::string& exchange) {
  for (const ExchangeCurrencyEntry& entry : kCurrencies) {
    if (EqualNoCase(entry.exchange, exchange)) return entry.currency;
  }
  return {};
}
