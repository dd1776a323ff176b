#pragma once
#include <string_view>

#include "portfolio/exchange/import_reading.h"

class VLHoldingItem;

// The fields of a position as Vellumar's files write them: amounts as "1234.56", shares with the decimals
// they have ("12", "1.6531"), prices per share with 2 to 6 decimals ("84.2637"), dates as YYYY-MM-DD (empty
// for none), "yes" or "no" for marginable, the kind as "stock", "cash" or "margin". Sale fields stay empty
// for a held position that has none; targets, threshold and margin equity stay empty when 0, the currency
// when the position takes its exchange's.
RowTexts HoldingTexts(const VLHoldingItem& position);

// The kind of a row without a position, which only names a portfolio.
inline constexpr const char* kPortfolioKindName = "portfolio";
// "stock", "cash", "margin" or "portfolio" (any letter case, blanks around) as the row it stands for.
[[nodiscard]] bool HoldingKindOfName(std::string_view name, RowKind& kind);
