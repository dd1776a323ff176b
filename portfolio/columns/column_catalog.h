#pragma once
#include <string>
#include <vector>

// The list columns: a fixed id from 0 to 84 is what preferences store, what the column chooser edits and
// what a position is asked about. Everything here is a pure function of the id; ids outside 0 to 84 have
// empty texts, width and alignment 0, and cannot be sorted.
enum ColumnId : int {
  kColSymbol = 0,
  kColName = 1,
  kColTime = 2,
  kColTrade = 3,
  kColChange = 4,
  kColPE = 5,
  kColPS = 6,
  kColPEG = 7,
  kColQty = 8,
  kColCurrValue = 9,
  kColValueChange = 10,
  kColDateBought = 11,
  kColBuyPrice = 12,
  kColPriceChg = 13,
  kColTotalPaid = 14,
  kColGain = 15,
  kColPctGain = 16,
  kColBuyTgt = 17,
  kColBuyDist = 18,
  kColMktCap = 19,
  kColDivShr = 20,
  kColYield = 21,
  kColDivDate = 22,
  kColAvgVolume = 23,
  kColRange52Wk = 24,
  kColEst1Yr = 25,
  kColVolume = 26,
  kColOpen = 27,
  kColBid = 28,
  kColAsk = 29,
  kColDayRange = 30,
  kColHeld = 31,
  kColComment = 32,
  kColSharesFloated = 33,
  kColExchange = 34,
  kColCagr = 35,
  kColEstGain1Yr = 36,
  kColSellTgt = 37,
  kColSellDist = 38,
  kColStopLossTgt = 39,
  kColStopLossDist = 40,
  kColAlert = 41,
  kColEstPEThisYr = 42,
  kColEstPENextYr = 43,
  kColEstEpsThisQtr = 44,
  kColEstEpsThisYr = 45,
  kColEstEpsNextYr = 46,
  kColPrevClose = 47,
  kColMAvg50 = 48,
  kColMAvg50Chg = 49,
  kColPctMAvg50Chg = 50,
  kColMAvg200 = 51,
  kColMAvg200Chg = 52,
  kColPctMAvg200Chg = 53,
  kColLow52Wk = 54,
  kColHigh52Wk = 55,
  kColDistLow52Wk = 56,
  kColDistHigh52Wk = 57,
  kColPctAvgVol = 58,
  kColPctSellDist = 59,
  kColPctBuyDist = 60,
  kColHeldYears = 61,
  kColBidSize = 62,
  kColAskSize = 63,
  kColShortRatio = 64,
  kColDateSold = 65,
  kColSalePrice = 66,
  kColSaleComm = 67,
  kColBuyComm = 68,
  kColSaleAge = 69,
  kColSaleAgeYears = 70,
  kColPostSalePriceChg = 71,
  kColPostSaleGain = 72,
  kColSaleValue = 73,
  kColCurrency = 74,  // added after the classic 74: files that never name it read as before
  // Income (appended, so that saved column lists stay valid).
  kColIncome = 75,
  kColTotalReturn = 76,
  kColPctTotalReturn = 77,
  kColYieldOnCost = 78,
  kColCostBasis = 79,
  kColValueBase = 80,
  kColTotalPaidBase = 81,
  kColGainBase = 82,
  kColPriceGainBase = 83,
  kColFxGainBase = 84,
  kColumnCount = 85,
};

// Alignment, in the list control's own numbering.
enum ColumnAlignment : int { kAlignLeft = 0, kAlignRight = 1, kAlignCentre = 2 };

constexpr int kCategoryCount = 8;  // the last one, "All Columns", holds every id

std::string GetColumnHeader(int column);
std::string GetColumnDescription(int column);
int GetColumnWidth(int column);  // pixels
int GetColumnAlignment(int column);
bool IsValidColumn(int column);
bool IsSortableColumn(int column);
bool IsTextColumn(int column);  // compared by cell text rather than sort value
bool SortsAscendingFirst(int column);

// The chooser's categories in the order it lists them; empty outside 0 to 7.
std::string GetCategoryName(int index);
// Empties `ids`, then fills it with the category's ids in listed order.
void FillCategory(int index, std::vector<int>& ids);

// The XML element name of a position kind: "VLStock", "VLCash", "VLMargin" for 0, 1, 2; empty otherwise.
std::string GetKindName(int kind);

// The column sets of the held and sold views before the user chooses any.
const std::vector<int>& GetDefaultHeldColumns();
const std::vector<int>& GetDefaultSoldColumns();
