#pragma once
#include <string>

#include "portfolio/exchange/import_reading.h"
#include "portfolio/records/vl_corporate_action_item.h"

// The splits and symbol changes in Vellumar's XML: a "CorporateAction" element with the symbol, the day
// (YYYY-MM-DD), the action ("split" with a ratio N:D and an optional cash-in-lieu price, or "symbol-change"
// with the new symbol) and a comment. The positions of such a file are in the shares of their day already: an
// import records the actions, it does not apply them again.
inline constexpr const char* kActionElement = "CorporateAction";

struct ActionTexts {
  std::string symbol;
  std::string date;
  std::string action;
  std::string ratio;
  std::string cashInLieu;
  std::string newSymbol;
  std::string comment;
};

// Checks one action as Record Split checks what is typed and adds it to the reading's plan, or adds the
// problem with its line.
void ReadActionRow(int line, const ActionTexts& texts, ImportReading& reading);

// The texts an action is written with.
ActionTexts ActionTextsOf(const VLCorporateActionItem& action);
