#pragma once
#include <string>
#include <string_view>

// `text` without leading and trailing blanks: spaces, tabs, line breaks, form feeds and vertical tabs.
inline std::string_view TrimBlanks(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n\f\v";
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// Upper case as EqualNoCase compares: ASCII letters only, whatever the locale (std::toupper follows the
// locale the window sets). Every layer folds case through these.
inline char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
inline std::string AsciiUpper(std::string_view text) {
  std::string s(text);
  for (char& c : s) c = AsciiUpper(c);
  return s;
}

// Lower case likewise.
inline char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
inline std::string AsciiLower(std::string_view text) {
  std::string s(text);
  for (char& c : s) c = AsciiLower(c);
  return s;
}

// Whether two texts are the same but for the case of ASCII letters; other bytes must match exactly, so the
// answer does not depend on the locale. Header-only, so every layer and the service can use it.
inline bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}
