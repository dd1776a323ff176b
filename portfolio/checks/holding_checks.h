#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "portfolio/checks/entry_check.h"

class VLStockHoldingItem;
class VLCashHoldingItem;
class VLMarginHoldingItem;

// What was entered on the security page of the position dialog and its inner pages, as typed.
// A date is set only when its check box is ticked (seconds since 1970 UTC).
struct StockHoldingEntry {
  bool symbolFixed = false;  // an edited position: only "Change symbol" alters its symbol
  std::string symbol;
  std::string quantity;
  std::string comment;
  // The position's own currency code; empty: the currency of its exchange.
  std::string currency;
  // Purchase
  std::string buyPrice;
  std::optional<int64_t> buyDate;
  std::string buyCommission;
  // Targets
  std::string buyTarget;
  std::string sellTarget;
  std::string stopLossTarget;
  // Margin equity
  bool marginable = false;
  std::string marginPercent;
  std::string marginThreshold;
  // Sale (read only for a sold position)
  bool sold = false;
  std::string salePrice;
  std::optional<int64_t> saleDate;
  std::string saleCommission;
  // The exchange rates the broker charged, kept against `baseCurrency` (the portfolio's): a rate typed, or
  // empty for none. Not given (nullopt) leaves the position's rates as they are, as a portfolio without a
  // base currency does.
  std::string baseCurrency;
  std::optional<std::string> buyRate;
  std::optional<std::string> saleRate;
};

// The amount page of a cash position or a margin debt.
struct MoneyHoldingEntry {
  std::string amount;
  std::string description;
};

// Asks a Yes/No question by its string id; true means Yes.
using EntryQuestion = std::function<bool(StringId question)>;

// The largest quantity a position may be given, in whole shares (to 1e-8 share).
inline constexpr int64_t kMaxPositionQuantity = 1000000;

// Runs the checks of the security page in their order and stops at the first failure. On success the
// entered values are written into `holding` (its other fields stay); on failure `holding` is untouched.
// The currency must be empty, an accepted code (IsAcceptedCurrencyCode) or the one `holding` has already.
// A rate given must be empty or a rate (ParseFxRate), and needs a base currency to be kept against.
// `ask` is called only for the margin-equity question of a security that is not marginable.
EntryCheck CheckStockHolding(const StockHoldingEntry& entry, const EntryQuestion& ask,
                             VLStockHoldingItem& holding);

// The checks of the cash and margin pages; on success the description becomes the name and the amount
// is stored, on failure the holding is untouched.
EntryCheck CheckCashHolding(const MoneyHoldingEntry& entry, VLCashHoldingItem& holding);
EntryCheck CheckMarginHolding(const MoneyHoldingEntry& entry, VLMarginHoldingItem& holding);
