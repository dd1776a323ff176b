#include "portfolio/records/currency_units.h"

#include <iterator>

namespace {

// London quotes in pence, Johannesburg in cents, Tel Aviv in agorot.
constexpr CurrencyUnit kMinorUnits[] = {
    {"GBp", "GBP", 100},
    {"ZAc", "ZAR", 100},
    {"ILA", "ILS", 100},
};

const CurrencyUnit* FindMinorUnit(std::string_view code) {
  for (const CurrencyUnit& unit : kMinorUnits) {
    if (code == unit.code) return &unit;
  }
  return nullptr;
}

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsIsoCode(std::string_view code) {
  if (code.size() != 3) return false;
  for (char c : code) {
    if (c < 'A' || c > 'Z') return false;
  }
  return true;
}

}  // namespace

bool IsCurrencyCodeForm(std::string_view code) {
  if (code.empty()) return true;
  if (code.size() != 3) return false;
  for (char c : code) {
    if (!IsLetter(c)) return false;
  }
  return true;
}

bool IsAcceptedCurrencyCode(std::string_view code) {
  return FindMinorUnit(code) != nullptr || IsIsoCode(code);
}

bool IsBaseCurrencyForm(std::string_view code) {
  return IsIsoCode(code) && FindMinorUnit(code) == nullptr;
}

std::string MajorCurrency(std::string_view code) {
  if (const CurrencyUnit* unit = FindMinorUnit(code)) return unit->major;
  return IsIsoCode(code) ? std::string(code) : std::string();
}

int CurrencyDivisor(std::string_view code) {
  if (const CurrencyUnit* unit = FindMinorUnit(code)) return unit->divisor;
  return IsIsoCode(code) ? 1 : 0;
}

std::string MinorCurrencyUnitsText() {
  std::string text;
  const size_t count = std::size(kMinorUnits);
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) text += i + 1 == count ? " or " : ", ";
    text += kMinorUnits[i].code;
  }
  return text;
}
