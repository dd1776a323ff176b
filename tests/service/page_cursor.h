#pragma once

// The client's reading rules for the service's pages, written independently of the service from the
// same description: a text cursor with plain substring matches. The tests read every page with it, so
// a marker that drifts by one byte fails here before it fails in the application.

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

inline std::string LowerCopy(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

class PageCursor {
 public:
  explicit PageCursor(std::string text) : content(std::move(text)) {}

  bool IsAt(std::string_view s, bool noCase = false) const { return Find(s, noCase) == position; }
  bool SkipPast(std::string_view s, bool noCase = false) {
    const size_t at = Find(s, noCase);
    if (at == std::string::npos) return false;
    position = at + s.size();
    return true;
  }
  bool SkipBackTo(std::string_view s) {
    for (long p = static_cast<long>(position); p >= 0; --p) {
      if (content.compare(static_cast<size_t>(p), s.size(), s) == 0) {
        position = static_cast<size_t>(p);
        return true;
      }
    }
    return false;
  }
  bool ExtractUntil(std::string_view s, std::string& out, bool noCase = false) {
    if (content.empty() || position >= content.size() - 1) return false;
    const size_t at = Find(s, noCase);
    if (at == std::string::npos) return false;
    out = content.substr(position, at - position);
    position = at + s.size();
    return true;
  }
  void ExtractRest(std::string& out) const {
    if (!content.empty() && position < content.size() - 1) out = content.substr(position);
  }

  std::string content;
  size_t position = 0;

 private:
  size_t Find(std::string_view s, bool noCase) const {
    if (!noCase) return content.find(s, position);
    return LowerCopy(content).find(LowerCopy(s), position);
  }
};

inline std::string Trim(std::string s) {
  const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
  while (!s.empty() && blank(s.back())) s.pop_back();
  size_t i = 0;
  while (i < s.size() && blank(s[i])) ++i;
  return s.substr(i);
}

inline std::string FlattenLines(std::string s) {
  s = Trim(s);
  std::replace(s.begin(), s.end(), '\n', ' ');
  return s;
}

inline std::string StripTags(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '<') {
      const size_t close = s.find('>', i);
      if (close != std::string::npos) i = close;
      continue;
    }
    out += s[i];
  }
  for (auto [from, to] : {std::pair<std::string, std::string>{"&nbsp;", " "}, {"&amp;", "&"}}) {
    for (size_t at; (at = LowerCopy(out).find(from)) != std::string::npos;) out.replace(at, from.size(), to);
  }
  return out;
}

// One quote line read field by field with the quoted and plain readers; false where a read fails.
struct ReadQuote {
  std::vector<std::string> values;  // the 44 requested values in code order, l/c/k1/k2 as sent
  std::string lastTrade, lastTradeTime, change, percentChange, floatShares;
};

inline bool QuotedRead(PageCursor& c, std::string& value) {
  if (!c.SkipPast("\"", true) || !c.ExtractUntil("\"", value)) return false;
  value = StripTags(value);
  value.erase(std::remove(value.begin(), value.end(), '"'), value.end());
  value = FlattenLines(value);
  c.SkipPast(",", true);
  return true;
}

inline bool PlainRead(PageCursor& c, std::string& value) {
  if (!c.ExtractUntil(",", value)) return false;
  value = StripTags(value);
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
    value = value.substr(1, value.size() - 2);
  value = FlattenLines(value);
  return true;
}

inline bool ReadQuoteLine(PageCursor& c, ReadQuote& q) {
  static const char* kQuoted[] = {"s", "n", "x", "r1", "d1", "t7", "l", "c", "m", "k1", "k2", "m2"};
  static const char* kCodes[] = {"s",  "n",  "x",  "j1", "j3", "r5", "r",  "p5", "d",  "y",  "r1",
                                 "a2", "j",  "k",  "m3", "m7", "m8", "m4", "m5", "m6", "t8", "r6",
                                 "r7", "e9", "e8", "e7", "p",  "d1", "t7", "v",  "o",  "b3", "b2",
                                 "b6", "a5", "s7", "l",  "c",  "m",  "k1", "k2", "m2"};
  q.values.clear();
  for (const char* code : kCodes) {
    std::string v;
    const bool quoted = std::find_if(std::begin(kQuoted), std::end(kQuoted), [&](const char* k) {
                          return std::string_view(k) == code;
                        }) != std::end(kQuoted);
    if (!(quoted ? QuotedRead(c, v) : PlainRead(c, v))) return false;
    q.values.push_back(v);
  }
  const std::string& l = q.values[36];
  const size_t dash = l.rfind('-');
  if (dash != std::string::npos) {
    q.lastTrade = FlattenLines(l.substr(dash + 1));
    q.lastTradeTime = FlattenLines(l.substr(0, dash));
  }
  const std::string& ch = q.values[37];
  if (!ch.empty() && ch.find(' ') != std::string::npos) {
    q.change = FlattenLines(ch.substr(0, ch.find(' ')));
    q.percentChange = FlattenLines(ch.substr(ch.rfind(' ') + 1));
  }
  std::string f6;
  if (!c.ExtractUntil("\"", f6, true)) return false;
  if (!f6.empty() && f6.back() == ',') f6.back() = ' ';
  q.floatShares = FlattenLines(f6);
  // The trailing name: skip past the name just read, then past its closing quote.
  if (!c.SkipPast(q.values[1], true) || !c.SkipPast("\"", true)) return false;
  q.values.push_back(q.floatShares);
  q.values.push_back(q.values[1]);
  return true;
}
