#include "service/currency_table.h"

#include <iterator>

// Levels are those of late 2025. Pegged currencies move by a hair around their anchor; the euro itself is
// quoted against the dollar and every other rate follows through it.
static const CurrencyInfo kCurrencies[] = {
    // code, name, minor unit of, anchor, level, drift, volatility
    {"USD", "US Dollar", nullptr, "USD", 1.0, 0.0, 0.0},
    {"EUR", "Euro", nullptr, "USD", 0.862, 0.0, 0.08},
    {"GBP", "British Pound", nullptr, "USD", 0.752, 0.005, 0.08},
    {"CHF", "Swiss Franc", nullptr, "USD", 0.801, -0.02, 0.09},
    {"JPY", "Japanese Yen", nullptr, "USD", 155.2, 0.01, 0.10},
    {"CAD", "Canadian Dollar", nullptr, "USD", 1.401, 0.0, 0.07},
    {"AUD", "Australian Dollar", nullptr, "USD", 1.531, 0.005, 0.10},
    {"NZD", "New Zealand Dollar", nullptr, "USD", 1.748, 0.005, 0.11},
    {"SEK", "Swedish Krona", nullptr, "USD", 9.452, 0.01, 0.10},
    {"NOK", "Norwegian Krone", nullptr, "USD", 10.12, 0.01, 0.11},
    {"DKK", "Danish Krone", nullptr, "EUR", 7.4605, 0.0, 0.002},
    {"HKD", "Hong Kong Dollar", nullptr, "USD", 7.781, 0.0, 0.003},
    {"SGD", "Singapore Dollar", nullptr, "USD", 1.302, -0.005, 0.05},
    {"CNY", "Chinese Yuan", nullptr, "USD", 7.105, 0.0, 0.04},
    {"KRW", "South Korean Won", nullptr, "USD", 1462.0, 0.01, 0.09},
    {"TWD", "New Taiwan Dollar", nullptr, "USD", 31.05, 0.0, 0.05},
    {"INR", "Indian Rupee", nullptr, "USD", 89.12, 0.025, 0.06},
    {"MXN", "Mexican Peso", nullptr, "USD", 18.41, 0.03, 0.12},
    {"BRL", "Brazilian Real", nullptr, "USD", 5.352, 0.04, 0.15},
    {"ARS", "Argentine Peso", nullptr, "USD", 1452.0, 0.28, 0.25},
    {"ZAR", "South African Rand", nullptr, "USD", 17.31, 0.04, 0.14},
    {"ILS", "Israeli New Shekel", nullptr, "USD", 3.251, -0.005, 0.08},
    {"PLN", "Polish Zloty", nullptr, "EUR", 4.231, 0.01, 0.06},
    {"CZK", "Czech Koruna", nullptr, "EUR", 24.31, -0.005, 0.05},
    {"HUF", "Hungarian Forint", nullptr, "EUR", 384.6, 0.02, 0.08},
    {"RON", "Romanian Leu", nullptr, "EUR", 5.092, 0.03, 0.04},
    {"ISK", "Icelandic Krona", nullptr, "EUR", 147.8, 0.01, 0.10},
    {"TRY", "Turkish Lira", nullptr, "USD", 42.48, 0.18, 0.15},
    {"IDR", "Indonesian Rupiah", nullptr, "USD", 16652.0, 0.03, 0.09},
    {"MYR", "Malaysian Ringgit", nullptr, "USD", 4.148, 0.01, 0.07},
    {"PHP", "Philippine Peso", nullptr, "USD", 58.81, 0.015, 0.07},
    {"THB", "Thai Baht", nullptr, "USD", 32.31, 0.0, 0.07},
    // Minor units: London quotes in pence, Johannesburg in cents, Tel Aviv in agorot.
    {"GBp", "British Penny", "GBP", nullptr, 0, 0, 0},
    {"ZAc", "South African Cent", "ZAR", nullptr, 0, 0, 0},
    {"ILA", "Israeli Agora", "ILS", nullptr, 0, 0, 0},
};

const CurrencyInfo* FindCurrency(std::string_view code) {
  for (const CurrencyInfo& c : kCurrencies) {
    if (code == c.code) return &c;
  }
  return nullptr;
}

const CurrencyInfo* FindMajorCurrency(std::string_view code) {
  const CurrencyInfo* c = FindCurrency(code);
  return c != nullptr && !c->IsMinorUnit() ? c : nullptr;
}

const CurrencyInfo* AllCurrencies(int& count) {
  count = static_cast<int>(std::size(kCurrencies));
  return kCurrencies;
}
