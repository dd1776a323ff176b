#include "portfolio/exchange/ofx_rules.h"

#include <vector>

namespace {

bool AllDigits(std::string_view text) {
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return !text.empty();
}

int64_t Number(std::string_view digits) {
  int64_t value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

// "[-5:EST]", "[+5.5]", "[0:GMT]": the offset from UTC in seconds.
std::optional<int64_t> ZoneOffset(std::string_view zone) {
  if (zone.size() < 3 || zone.front() != '[' || zone.back() != ']') return std::nullopt;
  zone = zone.substr(1, zone.size() - 2);
  zone = zone.substr(0, zone.find(':'));
  bool negative = false;
  if (!zone.empty() && (zone[0] == '-' || zone[0] == '+')) {
    negative = zone[0] == '-';
    zone.remove_prefix(1);
  }
  const size_t dot = zone.find('.');
  const std::string_view hours = zone.substr(0, dot);
  const std::string_view fraction = dot == std::string_view::npos ? std::string_view() : zone.substr(dot + 1);
  if (!AllDigits(hours) || hours.size() > 2 || (dot != std::string_view::npos && !AllDigits(fraction)) ||
      fraction.size() > 2 || Number(hours) > 14)
    return std::nullopt;
  int64_t seconds = Number(hours) * 3600;
  if (!fraction.empty()) seconds += Number(fraction) * 36 * (fraction.size() == 1 ? 10 : 1);
  return negative ? -seconds : seconds;
}

}  // namespace

std::optional<OfxTradeTime> ReadOfxTradeTime(std::string_view text) {
  const size_t bracket = text.find('[');
  const std::string_view zone = bracket == std::string_view::npos ? std::string_view() : text.substr(bracket);
  std::string_view stamp = text.substr(0, bracket);
  const size_t dot = stamp.find('.');
  if (dot != std::string_view::npos) {
    const std::string_view millis = stamp.substr(dot + 1);
    if (!AllDigits(millis) || millis.size() > 3) return std::nullopt;
    stamp = stamp.substr(0, dot);
  }
  if (!AllDigits(stamp) || (stamp.size() != 8 && stamp.size() != 12 && stamp.size() != 14))
    return std::nullopt;
  if (dot != std::string_view::npos && stamp.size() != 14) return std::nullopt;
  OfxTradeTime time{std::string(stamp.substr(0, 8)), std::nullopt};
  if (stamp.size() > 8) {
    const int64_t hours = Number(stamp.substr(8, 2));
    const int64_t minutes = Number(stamp.substr(10, 2));
    const int64_t seconds = stamp.size() == 14 ? Number(stamp.substr(12, 2)) : 0;
    if (hours > 23 || minutes > 59 || seconds > 60) return std::nullopt;
    time.secondsOfDay = hours * 3600 + minutes * 60 + seconds;
  }
  if (!zone.empty()) {
    const std::optional<int64_t> offset = ZoneOffset(zone);
    if (!offset) return std::nullopt;
    if (time.secondsOfDay) *time.secondsOfDay -= *offset;
  }
  return time;
}

bool CheckOfxBounds(std::string_view text, int& line, std::string& problem) {
  line = 1;
  std::vector<std::string_view> open;
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\0') {
      problem = "the statement holds a NUL character";
      return false;
    }
    if (c == '\n' || (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) ++line;
    if (c != '<') {
      ++i;
      continue;
    }
    size_t end = i + 1;
    while (end < text.size() && text[end] != '>' && text[end] != '<' && text[end] != '\0') ++end;
    const std::string_view tag = text.substr(i + 1, end - i - 1);
    i = end;
    if (tag.empty() || tag[0] == '?' || tag[0] == '!') continue;
    if (tag[0] == '/') {
      // Closes its element and every value opened inside it; an end tag without a start closes nothing.
      for (size_t k = open.size(); k > 0; --k) {
        if (open[k - 1] == tag.substr(1)) {
          open.resize(k - 1);
          break;
        }
      }
      continue;
    }
    open.push_back(tag.substr(0, tag.find_first_of(" \t\r\n/")));
    if (open.size() > kMaxOfxOpenElements) {
      problem =
          "the statement leaves more than " + std::to_string(kMaxOfxOpenElements) + " elements open at once";
      return false;
    }
  }
  return true;
}
