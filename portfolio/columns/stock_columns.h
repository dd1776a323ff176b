#pragma once
#include <cstdint>
#include <string>

#include "portfolio/records/exact_decimal.h"

class VLCurrency;
class VLStockHoldingItem;

// The cell text and the sort value of every list column (column_catalog.h) for a stock position.
// Nothing is cached: each call computes from the position's fields, its quote, the installed clock and
// the installed number format.
std::string StockColumnText(const VLStockHoldingItem& holding, int column);
double StockColumnValue(const VLStockHoldingItem& holding, int column);

// The alerts behind column 41 (and the colour rules): the trade is at or below the buy target, at or
// above the sell target, at or below the stop-loss target. Each needs its target set.
bool HasBuyAlert(const VLStockHoldingItem& holding);
bool HasSellAlert(const VLStockHoldingItem& holding);
bool HasStopLossAlert(const VLStockHoldingItem& holding);

// Pieces both the texts and the values use.
// How long the position was held, in seconds of whole days: from the purchase day to the sale day when it is
// sold, else to today; 0 without a purchase date or when the end is not after it.
int64_t HeldSeconds(const VLStockHoldingItem& holding);
// What the position ends at for growth figures: the sale value when sold, else the current value.
VLCurrency EndValue(const VLStockHoldingItem& holding);
// The trade price in cents, rounded, whether or not the quote service knows the symbol.
int64_t TradeCents(const VLStockHoldingItem& holding);
// The distance of the trade from a stored price per share, in `places` decimals: in whole cents (from
// `tradeCents`, the trade rounded to the cent) when the stored price is whole cents, as the lists always
// showed it; else in the price's own units, the trade read to 1e-6.
struct PriceDistance {
  int64_t units = 0;
  int places = 2;
};
PriceDistance TradeDistance(const VLStockHoldingItem& holding, UnitPrice stored, int64_t tradeCents);
// "-0.05", "0.125"; with a "+" before a distance above 0 in the signed form.
std::string PriceDistanceText(const PriceDistance& distance);
std::string SignedPriceDistanceText(const PriceDistance& distance);
std::string LocalePriceDistance(const PriceDistance& distance);
// The distance as a percentage of the target.
double TargetPercentValue(const PriceDistance& distance, UnitPrice target);
// Gain (the sale or current value less Total Paid) plus the position's net income, in cents.
int64_t TotalReturnCents(const VLStockHoldingItem& holding);
// Total Paid less the position's share of returns of capital, never below 0, in cents.
int64_t CostBasisCents(const VLStockHoldingItem& holding);
// The default sort value of a cell text: "%" and digit grouping removed, then the number when what is
// left is numeric, else 0.
double NumberOfCellText(const std::string& text);
bool IsNumericCellText(const std::string& text);
