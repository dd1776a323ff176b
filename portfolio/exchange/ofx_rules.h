#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Checks of a statement's text that come before any parser: how deep its elements are left open, and what
// a trade's date and time say.

// An SGML statement closes every aggregate and leaves only the values inside the aggregate being read
// open, a few dozen at most; a crafted file with thousands of open elements costs the SGML parser minutes.
inline constexpr size_t kMaxOfxOpenElements = 256;

// False with `line` and `problem` set when the statement holds a NUL character or leaves more than
// kMaxOfxOpenElements elements open at once (an end tag closes its element and everything opened after it).
[[nodiscard]] bool CheckOfxBounds(std::string_view text, int& line, std::string& problem);

// A trade's DTTRADE: YYYYMMDD, optionally followed by HHMM or HHMMSS, optionally by ".XXX" milliseconds
// and by a time zone "[-5:EST]". The date as YYYYMMDD text for the rows, and the time of day in seconds
// (UTC when the zone is given) when one is, for ordering the trades of one day.
struct OfxTradeTime {
  std::string date;
  std::optional<int64_t> secondsOfDay;
};
// nullopt when the text is empty or not of that form.
std::optional<OfxTradeTime> ReadOfxTradeTime(std::string_view text);
