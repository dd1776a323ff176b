#include "portfolio/checks/typed_number.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

int64_t Cents(std::string_view text, const NumberFormat& format = NumberFormat::English()) {
  const TypedNumber number = ReadTypedAmount(text, format);
  EXPECT_TRUE(number.IsOk()) << text;
  return number.value;
}

TypedNumberStatus AmountStatus(std::string_view text, const NumberFormat& format = NumberFormat::English()) {
  return ReadTypedAmount(text, format).status;
}

NumberFormat German() {
  NumberFormat format;
  format.decimalPoint = ",";
  format.thousandsSeparator = ".";
  return format;
}

TEST(TypedAmount, ReadsDigitsWithUpToTwoDecimalsAsCents) {
  const std::pair<const char*, int64_t> cases[] = {
      {"12", 1200},   {"12.5", 1250},  {"12.05", 1205}, {".5", 50}, {"7.", 700},
      {"  0.01 ", 1}, {"-3.10", -310}, {"+3", 300},     {"-0", 0},
  };
  for (const auto& [typed, cents] : cases) EXPECT_EQ(Cents(typed), cents) << "'" << typed << "'";
}

TEST(TypedAmount, AcceptsThousandsSeparatorsOnlyWhereTheGroupingPutsThem) {
  EXPECT_EQ(Cents("1,234.56"), 123456);
  EXPECT_EQ(Cents("12,345,678"), 1234567800);
  for (const char* typed : {"12,34", "1,2345", ",123", "1,,234", "1234,"})
    EXPECT_EQ(AmountStatus(typed), TypedNumberStatus::NotANumber) << typed;

  // The user's locale decides which mark is which.
  EXPECT_EQ(Cents("1.234,5", German()), 123450);
  EXPECT_EQ(AmountStatus("1,234.50", German()), TypedNumberStatus::NotANumber);

  // A locale without grouping (the C locale: separator "," and no grouping) takes "," between groups of
  // three as typed out of habit, and only there; one whose decimal mark is "," takes no separator at all.
  NumberFormat ungrouped = NumberFormat::English();
  ungrouped.grouping.clear();
  EXPECT_EQ(Cents("5,000.00", ungrouped), 500000);
  EXPECT_EQ(Cents("1,234,567", ungrouped), 123456700);
  EXPECT_EQ(Cents("1234", ungrouped), 123400);
  EXPECT_EQ(AmountStatus("1,2345", ungrouped), TypedNumberStatus::NotANumber);
  EXPECT_EQ(AmountStatus("12,34", ungrouped), TypedNumberStatus::NotANumber);
  ungrouped.thousandsSeparator.clear();
  EXPECT_EQ(Cents("5,000", ungrouped), 500000);
  NumberFormat ungroupedComma = German();
  ungroupedComma.grouping.clear();
  EXPECT_EQ(AmountStatus("1.234", ungroupedComma), TypedNumberStatus::NotANumber);
  EXPECT_EQ(Cents("1234,5", ungroupedComma), 123450);
}

TEST(TypedAmount, RefusesAnythingElseInsteadOfTruncating) {
  EXPECT_EQ(AmountStatus(""), TypedNumberStatus::Empty);
  EXPECT_EQ(AmountStatus("   "), TypedNumberStatus::Empty);
  for (const char* text :
       {"12.5.0", "$12", "12$", "1 000", "abc", "-", ".", "+-1", "1e3", "0x10", "--1", "1.2x"}) {
    EXPECT_EQ(AmountStatus(text), TypedNumberStatus::NotANumber) << text;
  }
  // More decimals than cents are said as such, unless they are zeros, which do not count.
  EXPECT_EQ(AmountStatus("1.234"), TypedNumberStatus::TooManyDecimals);
  EXPECT_EQ(Cents("1.2300000"), 123);
  EXPECT_EQ(Cents("42949672.95"), 4294967295);
  EXPECT_EQ(AmountStatus("42949672.96"), TypedNumberStatus::TooLarge);
  EXPECT_EQ(AmountStatus("-99999999999999999999"), TypedNumberStatus::TooLarge);
}

// Shares to 8 decimals and prices to 6, in the user's format, grouped or not; a trailing zero is no decimal.
TEST(TypedDecimal, KeepsItsPlacesAndSaysWhenThereAreMore) {
  const NumberFormat english = NumberFormat::English();
  const struct {
    const char* typed;
    int places;
    bool german;
    TypedNumberStatus status;
    int64_t value;
  } cases[] = {
      {"1.6531", 8, false, TypedNumberStatus::Ok, 165310000},
      {"1,6531", 8, true, TypedNumberStatus::Ok, 165310000},
      {"0.0290530000", 6, false, TypedNumberStatus::Ok, 29053},
      {"1,000,000.00000001", 8, false, TypedNumberStatus::Ok, 100000000000001},
      {"1.000.000,5", 8, true, TypedNumberStatus::Ok, 100000050000000},
      {"0.00000001", 8, false, TypedNumberStatus::Ok, 1},
      {"1.123456789", 8, false, TypedNumberStatus::TooManyDecimals, 0},
      {"84.2637001", 6, false, TypedNumberStatus::TooManyDecimals, 0},
      {"1.5", 8, true, TypedNumberStatus::NotANumber, 0},  // a German "1.5" is no number
      {"1,5", 8, false, TypedNumberStatus::NotANumber, 0},
      {"99999999999999", 8, false, TypedNumberStatus::TooLarge, 1},
      {"  ", 8, false, TypedNumberStatus::Empty, 0},
  };
  for (const auto& c : cases) {
    const TypedNumber read = ReadTypedDecimal(c.typed, c.places, c.german ? German() : english);
    EXPECT_EQ(read.status, c.status) << c.typed;
    EXPECT_EQ(read.value, c.value) << c.typed;
  }
}

TEST(TypedWholeNumber, ReadsWholeNumbersAndRefusesFractions) {
  const NumberFormat english = NumberFormat::English();
  EXPECT_EQ(ReadTypedWholeNumber("1000000", english).value, 1000000);
  EXPECT_EQ(ReadTypedWholeNumber("1,000,001", english).value, 1000001);
  EXPECT_EQ(ReadTypedWholeNumber(" -5 ", english).value, -5);
  EXPECT_TRUE(ReadTypedWholeNumber("", english).IsEmpty());
  for (const char* text : {"1.5", "1.", "10,00", "ten", "-", "5 shares"}) {
    EXPECT_EQ(ReadTypedWholeNumber(text, english).status, TypedNumberStatus::NotANumber) << text;
  }
  EXPECT_EQ(ReadTypedWholeNumber("4294967296", english).status, TypedNumberStatus::TooLarge);
}

TEST(TypedRange, EachRefusalHasItsOwnReason) {
  const NumberFormat english = NumberFormat::English();
  const struct {
    const char* typed;
    int64_t minimum, maximum;
    TypedNumberStatus status;
  } cases[] = {
      {"-5", 0, 100, TypedNumberStatus::Negative},
      {"-99999999999", 1, 100, TypedNumberStatus::Negative},  // too large, but first of all negative
      {"0", 1, 100, TypedNumberStatus::BelowMinimum},
      {"101", 1, 100, TypedNumberStatus::TooLarge},
      {"99999999999", 1, 100, TypedNumberStatus::TooLarge},
      {"10,0", 1, 100, TypedNumberStatus::NotANumber},
      {"", 1, 100, TypedNumberStatus::Empty},
      {"-5", -10, 100, TypedNumberStatus::Ok},
      {"100", 1, 100, TypedNumberStatus::Ok},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(InTypedRange(ReadTypedWholeNumber(c.typed, english), c.minimum, c.maximum).status, c.status)
        << c.typed;
  }
}

TEST(TrimBlanks, DropsBlanksAtBothEnds) {
  EXPECT_EQ(TrimBlanks(" \tIBM \n"), "IBM");
  EXPECT_EQ(TrimBlanks("A B"), "A B");
  EXPECT_EQ(TrimBlanks(" \t "), "");
}

}  // namespace
