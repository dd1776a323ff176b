#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "portfolio/checks/entry_check.h"
#include "portfolio/records/exact_decimal.h"

// What was typed into the sell dialog.
struct SellEntry {
  std::string quantity;
  std::string salePrice;
  std::optional<int64_t> saleDate;  // set when "Sale date" is ticked
  std::string saleCommission;
};

// The sale the database is asked for once the entry passes.
struct SellResult {
  Quantity soldQty;
  UnitPrice salePrice;
  int64_t saleDate = 0;  // 0 = no date
  uint32_t saleCommission = 0;
};

// Checks a sale of up to `heldQty` shares (any part of them, to 1e-8 share) in order; the first failure is
// returned and `result` is only written when every check passes.
EntryCheck CheckSell(const SellEntry& entry, Quantity heldQty, SellResult& result);

// The Change Symbol dialog: the new symbol must not be empty. `symbol` receives the text as typed.
EntryCheck CheckNewSymbol(const std::string& typed, std::string& symbol);

// What the position dialog makes of a symbol chosen with "Change symbol": the trimmed text when it differs
// from `current`, nothing when it is the same symbol.
std::optional<std::string> ChangedSymbol(const std::string& chosen, const std::string& current);
