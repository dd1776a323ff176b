// The shared text rules of the cells.
#include "portfolio/columns/cell_format.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

#include "holding_fixtures.h"

TEST(DurationText, CountsYearsMonthsThenWeeksOrDays) {
  // Leftover days are not shown (20 days: "2 wks"); weeks only without years and months (385 days).
  const std::pair<int64_t, const char*> cases[] = {
      {0, ""},
      {-5 * kDay, ""},
      {kDay - 1, ""},
      {1 * kDay, "1 day"},
      {3 * kDay, "3 days"},
      {7 * kDay, "1 wk"},
      {20 * kDay, "2 wks"},
      {31 * kDay, "1 mon"},
      {45 * kDay, "1 mon"},
      {364 * kDay, "11 mos"},
      {365 * kDay, "1 yr"},
      {400 * kDay, "1 yr, 1 mon"},
      {365 * kDay + 20 * kDay, "1 yr"},
      {3 * 365 * kDay + 70 * kDay, "3 yrs, 2 mos"},
  };
  for (const auto& [seconds, text] : cases) EXPECT_EQ(DurationText(seconds), text) << seconds << " s";
}

TEST(CentsText, PrintsUnsignedAndSignedAmounts) {
  EXPECT_EQ(CentsText(1234), "12.34");
  EXPECT_EQ(CentsText(5), "0.05");
  EXPECT_EQ(CentsText(0), "0.00");
  EXPECT_EQ(SignedCentsText(-5), "-0.05");
  EXPECT_EQ(SignedCentsText(250), "+2.50");
  EXPECT_EQ(SignedCentsText(-250), "-2.50");
  EXPECT_EQ(SignedCentsText(0), "0.00");
  EXPECT_EQ(CentsDifferenceText(250), "2.50");
  EXPECT_EQ(CentsDifferenceText(-99), "-0.99");
}

TEST(LocaleNumber, GroupsAndRoundsDecimalTexts) {
  FixedEnvironment env;
  EXPECT_EQ(LocaleNumber("1234.5"), "1,234.50");
  EXPECT_EQ(LocaleNumber("1234567"), "1,234,567.00");
  EXPECT_EQ(LocaleNumber("999.995"), "1,000.00");
  EXPECT_EQ(LocaleNumber("-1234.504"), "-1,234.50");
  EXPECT_EQ(LocaleNumber(".5"), "0.50");
  EXPECT_EQ(LocaleNumber("-0.001"), "0.00");
  for (const char* bad : {"", "N/A", "+1", "1.2.3", "12a", "-", "."}) EXPECT_EQ(LocaleNumber(bad), "") << bad;
  EXPECT_EQ(LocaleWholeNumber(1500), "1,500");
  EXPECT_EQ(LocaleWholeNumber(7), "7");
}

TEST(LocaleNumber, FollowsTheInstalledFormat) {
  NumberFormat german;
  german.decimalPoint = ",";
  german.thousandsSeparator = ".";
  ScopedNumberFormat scope(german);
  EXPECT_EQ(LocaleNumber("1234567.891"), "1.234.567,89");
  NumberFormat indian;
  indian.grouping = "\3\2";
  EXPECT_EQ(FormatLocaleNumber("12345678", indian), "1,23,45,678.00");
  NumberFormat none;
  none.grouping = "";
  EXPECT_EQ(FormatLocaleNumber("12345678", none), "12345678.00");
}

TEST(DateText, ShowsTheCalendarDayWhateverTheClocksTimeZone) {
  for (int32_t offset : {0, -11 * 3600, 13 * 3600}) {
    FixedEnvironment zone(offset);
    EXPECT_EQ(DateText(kTestNow), "05-Mar-2007") << offset;
    EXPECT_DOUBLE_EQ(DateSortValue(kTestNow), 20070305000000.0) << offset;
  }
}

TEST(NumberTexts, ReadLeadingNumbersAndJudgeNumericTexts) {
  EXPECT_DOUBLE_EQ(ReadLeadingNumber("97.10"), 97.10);
  EXPECT_DOUBLE_EQ(ReadLeadingNumber("+0.32"), 0.32);
  EXPECT_DOUBLE_EQ(ReadLeadingNumber("-1.5abc"), -1.5);
  EXPECT_DOUBLE_EQ(ReadLeadingNumber(".5"), 0.5);
  for (const char* zero : {"N/A", "", "abc", "0x10", "inf", "nan", "-"})
    EXPECT_EQ(ReadLeadingNumber(zero), 0.0) << zero;
  EXPECT_TRUE(IsNumericText("+2.10"));
  EXPECT_TRUE(IsNumericText("123"));
  EXPECT_FALSE(IsNumericText(""));
  EXPECT_FALSE(IsNumericText("1-2"));
  EXPECT_FALSE(IsNumericText("1 K"));
  EXPECT_FALSE(IsNumericText("N/A"));
}

TEST(LocaleNumber, TakesSeparatorsFromALocale) {
  const NumberFormat classic = NumberFormat::FromLocale(std::locale::classic());
  EXPECT_EQ(classic.decimalPoint, ".");
  EXPECT_EQ(classic.decimals, 2);
  EXPECT_EQ(FormatLocaleNumber("1234567.5", classic), "1234567.50");  // the C locale does not group
}

TEST(LocaleNumber, AnUnusableUserLocaleFallsBackToEnglish) {
  const char* saved = std::getenv("LC_ALL");
  const std::string savedValue = saved ? saved : "";
  setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);
  const NumberFormat format = NumberFormat::FromUserLocale();
  if (saved) {
    setenv("LC_ALL", savedValue.c_str(), 1);
  } else {
    unsetenv("LC_ALL");
  }
  EXPECT_EQ(FormatLocaleNumber("1234.5", format), "1,234.50");
}
