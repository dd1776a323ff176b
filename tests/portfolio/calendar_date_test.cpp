#include "portfolio/records/calendar_date.h"

#include <gtest/gtest.h>

#include <ctime>

#include "tests/support/noon_utc.h"

namespace {

// Local midnight of a day in a zone `offsetHours` east of UTC, as files written before kept it.
int64_t LocalMidnight(int year, int month, int day, int offsetHours) {
  return NoonUtc(year, month, day) - 12 * 3600 - offsetHours * 3600;
}

TEST(CalendarDate, DayNumbersMatchTheCLibraryAcrossCenturiesAndLeapDays) {
  const CalendarDate dates[] = {{1970, 1, 1}, {1969, 12, 31}, {1900, 3, 1},   {2000, 2, 29}, {2024, 2, 29},
                                {2100, 3, 1}, {1601, 1, 1},   {9999, 12, 31}, {2026, 12, 7}};
  for (const CalendarDate& date : dates) {
    const int64_t day = DayNumberOf(date);
    EXPECT_EQ(day * 86400 + 43200, NoonUtc(date.year, date.month, date.day))
        << date.year << "-" << date.month;
    EXPECT_EQ(DateOfDayNumber(day), date);
    EXPECT_EQ(DateOfStoredDate(StoredDateOf(date)), date);
  }
  EXPECT_EQ(DayNumberOf({1970, 1, 1}), 0);
  EXPECT_NE(StoredDateOf({1970, 1, 1}), 0) << "the first day of 1970 must not collide with 'no date'";
}

TEST(CalendarDate, DatesWrittenAsLocalMidnightReadAsTheTypedDayFromUtcMinus12ToPlus11) {
  for (int offset = -12; offset <= 14; ++offset) {
    const CalendarDate read = DateOfStoredDate(LocalMidnight(2024, 3, 10, offset));
    if (offset <= 11) {
      EXPECT_EQ(read, (CalendarDate{2024, 3, 10})) << "UTC" << offset;
    } else {
      EXPECT_EQ(read, (CalendarDate{2024, 3, 9})) << "UTC+" << offset << " is the documented limit";
    }
  }
}

}  // namespace

namespace {

TEST(CalendarDate, IsoTextReadsOnlyRealDaysWrittenInFull) {
  CalendarDate date;
  ASSERT_TRUE(ParseIsoDate("2024-02-29", &date));
  EXPECT_EQ(date, (CalendarDate{2024, 2, 29}));
  EXPECT_EQ(IsoDateText(date), "2024-02-29");
  ASSERT_TRUE(ParseIsoDate("0001-01-01", &date));
  EXPECT_EQ(IsoDateText(date), "0001-01-01");
  for (const char* bad : {"2023-02-29", "2024-04-31", "2024-13-01", "2024-00-10", "0000-01-01", "2024-3-15",
                          "2024-03-15 ", "2024/03/15", "+024-03-15", "2024-03-1x", ""}) {
    EXPECT_FALSE(ParseIsoDate(bad, &date)) << bad;
  }
}

}  // namespace
