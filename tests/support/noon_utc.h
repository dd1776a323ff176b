#pragma once
#include <cstdint>
#include <ctime>

// Noon UTC of a calendar day, computed by the C library rather than by the code under test.
inline int64_t NoonUtc(int year, int month, int day) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = 12;
  return static_cast<int64_t>(timegm(&tm));
}
