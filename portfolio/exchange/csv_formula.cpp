#include "portfolio/exchange/csv_formula.h"

namespace {

constexpr char kMark = '\'';

bool StartsFormula(char c) {
  return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r';
}

// Whether the reader takes a leading mark off `text`.
bool HasMark(std::string_view text) {
  return text.size() >= 2 && text[0] == kMark && (StartsFormula(text[1]) || text[1] == kMark);
}

}  // namespace

std::string NeutralizeFormula(std::string_view text) {
  if (text.empty() || !(StartsFormula(text[0]) || HasMark(text))) return std::string(text);
  std::string marked(1, kMark);
  marked += text;
  return marked;
}

std::string RestoreFormula(std::string_view text) {
  return std::string(HasMark(text) ? text.substr(1) : text);
}
