#pragma once
#include <locale>
#include <string>
#include <string_view>

// How the locale number of the cells groups digits and marks the decimals. The application installs the
// user's locale at start; tests install English() so their texts do not depend on the machine.
struct NumberFormat {
  std::string decimalPoint = ".";
  std::string thousandsSeparator = ",";
  std::string grouping = "\3";  // std::numpunct form: sizes from the right, the last one repeats
  int decimals = 2;

  static NumberFormat English();
  // Grouping and separators of `locale`, two decimals.
  static NumberFormat FromLocale(const std::locale& locale);
  // The user's locale from the environment; English() when the environment names no usable locale.
  static NumberFormat FromUserLocale();
};

// The format used by LocaleNumber; English() until something else is installed.
const NumberFormat& GetNumberFormat();
void SetNumberFormat(const NumberFormat& format);

// A decimal text ("-" allowed first, digits, at most one ".") grouped and rounded (half up) to the
// format's decimals: "1234.5" gives "1,234.50". Anything else, "N/A" or "" included, gives "".
// A result that rounds to zero carries no minus sign.
std::string FormatLocaleNumber(std::string_view text, const NumberFormat& format);

// Installs a format for the life of the guard and puts the previous one back afterwards.
class ScopedNumberFormat {
 public:
  explicit ScopedNumberFormat(const NumberFormat& format);
  ~ScopedNumberFormat();
  ScopedNumberFormat(const ScopedNumberFormat&) = delete;
  ScopedNumberFormat& operator=(const ScopedNumberFormat&) = delete;

 private:
  NumberFormat previous;
};
