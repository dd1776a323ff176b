#include "portfolio/columns/column_catalog.h"

#include <array>

namespace {
enum SortKind { kSortNone, kSortText, kSortNumberAscending, kSortNumberDescending };

struct ColumnInfo {
  const char* header;
  const char* description;
  int width;
  ColumnAlignment alignment;
  SortKind sort;
};

// Indexed by column id. Header and description texts are shown to the user exactly as written here
// ("Trade " keeps its trailing blank).
constexpr std::array<ColumnInfo, kColumnCount> kColumns{{
    {"Symbol", "Security's ticker symbol", 50, kAlignLeft, kSortText},
    {"Name", "Name of security", 107, kAlignLeft, kSortText},
    {"Time", "Time of last trade", 50, kAlignCentre, kSortNone},
    {"Trade ", "Last trade value", 45, kAlignRight, kSortNumberAscending},
    {"Change", "Change in trade value from last close", 60, kAlignCentre, kSortNumberDescending},
    {"P/E", "Price to earnings ratio", 45, kAlignRight, kSortNumberAscending},
    {"P/S", "Price to sales ratio", 40, kAlignRight, kSortNumberAscending},
    {"PEG", "Price to earnings growth ratio", 40, kAlignRight, kSortNumberAscending},
    {"Qty", "Number of shares owned", 30, kAlignRight, kSortNumberAscending},
    {"Curr Value", "Current total value of held position (less buy commision)", 75, kAlignRight,
     kSortNumberAscending},
    {"Value Change", "Change in position's total value since last close", 80, kAlignRight,
     kSortNumberAscending},
    {"Date Bought", "Date position was purchased", 65, kAlignLeft, kSortNumberAscending},
    {"Buy Price", "Price paid per share", 50, kAlignRight, kSortNumberAscending},
    {"Price Chg", "Difference between last trade and price paid per share", 60, kAlignRight,
     kSortNumberAscending},
    {"Total Paid", "Total cost of position", 60, kAlignRight, kSortNumberAscending},
    {"Gain", "Gain realized for this position", 50, kAlignRight, kSortNumberDescending},
    {"% Gain", "Percentage gain realized for this position", 50, kAlignRight, kSortNumberDescending},
    {"Buy Tgt", "Target per-share buy price", 50, kAlignRight, kSortNumberAscending},
    {"Buy Dist", "Distance of last trade from target per-share buy price", 60, kAlignRight,
     kSortNumberAscending},
    {"Mkt Cap", "Market capitalization", 60, kAlignRight, kSortNumberAscending},
    {"Div/Shr", "Dividend paid per share", 50, kAlignRight, kSortNone},
    {"Yield", "Dividend yield", 45, kAlignRight, kSortNone},
    {"Div Date", "Dividend pay date", 60, kAlignLeft, kSortNone},
    {"Avg Volume", "Average daily volume", 75, kAlignRight, kSortNumberAscending},
    {"52-wk Range", "52 week range", 65, kAlignCentre, kSortNone},
    {"1-yr Est", "1 year estimated per-share price", 50, kAlignRight, kSortNumberAscending},
    {"Volume", "Volume traded", 75, kAlignRight, kSortNumberAscending},
    {"Open", "Open price", 50, kAlignRight, kSortNumberAscending},
    {"Bid", "Bid price", 50, kAlignRight, kSortNumberAscending},
    {"Ask", "Ask price", 50, kAlignRight, kSortNumberAscending},
    {"Day Range", "Day range", 60, kAlignCentre, kSortNone},
    {"Held", "Duration held", 60, kAlignRight, kSortNumberAscending},
    {"Comment", "Comment", 60, kAlignLeft, kSortText},
    {"Shares Floated", "Number of shares floated", 60, kAlignRight, kSortNumberAscending},
    {"Exchange", "Exchange on which security is listed", 50, kAlignLeft, kSortText},
    {"CAGR", "Compound annual growth rate", 45, kAlignRight, kSortNumberDescending},
    {"1-yr Est Gain", "1 year estimated percentage gain in per-share price", 45, kAlignRight,
     kSortNumberDescending},
    {"Sell Tgt", "Target per-share sell price", 50, kAlignRight, kSortNumberAscending},
    {"Sell Dist", "Distance of last trade from target per-share sell price", 60, kAlignRight,
     kSortNumberAscending},
    {"Stop Loss Tgt", "Target per-share stop loss price", 50, kAlignRight, kSortNumberAscending},
    {"Stop Loss Dist", "Distance of last trade from target per-share stop loss price", 60, kAlignRight,
     kSortNumberAscending},
    {"Alert", "Buy/sell recommendation", 40, kAlignLeft, kSortText},
    {"Est P/E (this yr)", "Estimated P/E ratio (this year)", 50, kAlignRight, kSortNumberAscending},
    {"Est P/E (next yr)", "Estimated P/E ratio (next year)", 50, kAlignRight, kSortNumberAscending},
    {"Est EPS (this qtr)", "Estimated earnings per share (next quarter)", 50, kAlignRight,
     kSortNumberAscending},
    {"Est EPS (this yr)", "Estimated earnings per share (this year)", 50, kAlignRight, kSortNumberAscending},
    {"Est EPS (next yr)", "Estimated earnings per share (next year)", 50, kAlignRight, kSortNumberAscending},
    {"Prev Close", "Previous close price", 50, kAlignRight, kSortNumberAscending},
    {"MAvg 50", "50 day moving average", 50, kAlignRight, kSortNumberAscending},
    {"MAvg 50 Chg", "Change in 50 day moving average", 50, kAlignRight, kSortNumberAscending},
    {"% MAvg 50 Chg", "Percentage change in 50 day moving average", 50, kAlignRight, kSortNumberAscending},
    {"MAvg 200", "200 day moving average", 50, kAlignRight, kSortNumberAscending},
    {"MAvg 200 Chg", "Change in 200 day moving average", 50, kAlignRight, kSortNumberAscending},
    {"% MAvg 200 Chg", "Percentage change in 200 day moving average", 50, kAlignRight, kSortNumberAscending},
    {"52-wk Low", "52 week low", 50, kAlignRight, kSortNumberAscending},
    {"52-wk High", "52 week high", 50, kAlignRight, kSortNumberAscending},
    {"Dist 52-wk Low", "Distance of last trade from 52-week low", 50, kAlignRight, kSortNumberAscending},
    {"Dist 52-wk High", "Distance of last trade from 52-week high", 50, kAlignRight, kSortNumberAscending},
    {"% Avg Vol", "Volume traded as percentage of average daily volume", 50, kAlignRight,
     kSortNumberDescending},
    {"% Sell Dist", "Distance (absolute & %age) of last trade from target per-share sell price", 50,
     kAlignCentre, kSortNumberAscending},
    {"% Buy Dist", "Distance (absolute & %age) of last trade from target per-share buy price", 50,
     kAlignCentre, kSortNumberAscending},
    {"Held (yrs)", "Duration held (in years)", 50, kAlignRight, kSortNumberAscending},
    {"Bid Size", "Bid size", 45, kAlignRight, kSortNumberAscending},
    {"Ask Size", "Ask size", 45, kAlignRight, kSortNumberAscending},
    {"Short Ratio", "Short ratio (short interest / avg daily volume)", 45, kAlignRight, kSortNumberAscending},
    {"Date Sold", "Date position was sold", 65, kAlignLeft, kSortNumberAscending},
    {"Sale Price", "Per-share sale price", 60, kAlignRight, kSortNumberAscending},
    {"Sale Comm", "Commision paid on sale", 60, kAlignRight, kSortNumberAscending},
    {"Buy Comm", "Commision paid on purchase", 60, kAlignRight, kSortNumberAscending},
    {"Sale Age", "Time elapsed since sale", 60, kAlignRight, kSortNumberAscending},
    {"Sale Age (yrs)", "Time elapsed since sale (in years)", 50, kAlignRight, kSortNumberAscending},
    {"Post-Sale Price Chg", "Difference between last trade and per-share sale price", 60, kAlignRight,
     kSortNumberAscending},
    {"Post-Sale Gain", "Post-sale gain realized for this position", 50, kAlignRight, kSortNumberAscending},
    {"Sale Value", "Total value of sold position (less sales commission)", 50, kAlignRight,
     kSortNumberAscending},
    {"Currency", "Currency the security is quoted in (GBp: pence)", 55, kAlignLeft, kSortText},
    {"Income", "Net income the position was entitled to (dividends and other payments)", 60, kAlignRight,
     kSortNumberDescending},
    {"Total Return", "Gain plus income", 70, kAlignRight, kSortNumberDescending},
    {"% Total Return", "Gain plus income as a percentage of the total cost", 70, kAlignRight,
     kSortNumberDescending},
    {"Yield on Cost", "Net income of the last 365 days as a percentage of the total cost", 60, kAlignRight,
     kSortNumberDescending},
    {"Cost Basis", "Total cost less the position's share of returns of capital", 70, kAlignRight,
     kSortNumberAscending},
    {"Value (base)", "Value in the portfolio's base currency, at the rate of the day valued", 70, kAlignRight,
     kSortNumberAscending},
    {"Total Paid (base)", "Total cost in the portfolio's base currency, at the purchase day's rate", 70,
     kAlignRight, kSortNumberAscending},
    {"Gain (base)", "Value less total cost in the portfolio's base currency", 70, kAlignRight,
     kSortNumberDescending},
    {"Price Gain (base)", "The part of the base gain the price made, at the purchase day's rate", 70,
     kAlignRight, kSortNumberDescending},
    {"FX Gain (base)", "The part of the base gain the exchange rate made", 70, kAlignRight,
     kSortNumberDescending},
}};

struct Category {
  const char* name;
  std::vector<int> ids;
};

const std::array<Category, kCategoryCount - 1>& Categories() {
  static const std::array<Category, kCategoryCount - 1> categories{{
      {"Basic Information", {0, 1, 34, 74}},
      {"Fundamentals", {33, 19, 5, 7, 6, 20, 22, 21, 23}},
      {"Performance", {54, 55, 24, 48, 49, 50, 51, 52, 53}},
      {"Forecast", {25, 36, 42, 43, 44, 45, 46}},
      {"Trading Activity", {2, 3, 4, 26, 27, 47, 28, 29, 30, 62, 63, 64}},
      {"User Supplied Information", {32, 8, 12, 11, 17, 37, 39, 65, 66, 67, 68}},
      {"Computed Columns", {35, 9,  10, 14, 13, 15, 16, 18, 60, 38, 59, 40, 41, 31, 61, 58,
                            69, 70, 71, 72, 73, 75, 76, 77, 78, 79, 80, 81, 82, 83, 84}},
  }};
  return categories;
}

const ColumnInfo* Find(int column) {
  return IsValidColumn(column) ? &kColumns[static_cast<size_t>(column)] : nullptr;
}
}  // namespace

bool IsValidColumn(int column) {
  return column >= 0 && column < kColumnCount;
}

std::string GetColumnHeader(int column) {
  const ColumnInfo* c = Find(column);
  return c ? c->header : "";
}

std::string GetColumnDescription(int column) {
  const ColumnInfo* c = Find(column);
  return c ? c->description : "";
}

int GetColumnWidth(int column) {
  const ColumnInfo* c = Find(column);
  return c ? c->width : 0;
}

int GetColumnAlignment(int column) {
  const ColumnInfo* c = Find(column);
  return c ? c->alignment : 0;
}

bool IsSortableColumn(int column) {
  const ColumnInfo* c = Find(column);
  return c && c->sort != kSortNone;
}

bool IsTextColumn(int column) {
  const ColumnInfo* c = Find(column);
  return c && c->sort == kSortText;
}

bool SortsAscendingFirst(int column) {
  const ColumnInfo* c = Find(column);
  return c && c->sort != kSortNone && c->sort != kSortNumberDescending;
}

std::string GetCategoryName(int index) {
  if (index == kCategoryCount - 1) return "All Columns";
  if (index < 0 || index >= kCategoryCount) return "";
  return Categories()[static_cast<size_t>(index)].name;
}

void FillCategory(int index, std::vector<int>& ids) {
  ids.clear();
  if (index == kCategoryCount - 1) {
    for (int id = 0; id < kColumnCount; ++id) ids.push_back(id);
    return;
  }
  if (index < 0 || index >= kCategoryCount) return;
  ids = Categories()[static_cast<size_t>(index)].ids;
}

std::string GetKindName(int kind) {
  static const char* const kNames[] = {"VLStock", "VLCash", "VLMargin"};
  if (kind < 0 || kind > 2) return "";
  return kNames[kind];
}

const std::vector<int>& GetDefaultHeldColumns() {
  static const std::vector<int> ids{0, 1, 3, 4, 8, 9, 14, 15};
  return ids;
}

const std::vector<int>& GetDefaultSoldColumns() {
  static const std::vector<int> ids{0, 1, 8, 14, 11, 73, 65, 15, 31};
  return ids;
}
