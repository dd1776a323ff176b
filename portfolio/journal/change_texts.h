#pragma once
#include <cstdint>
#include <string>

#include "portfolio/records/exact_decimal.h"

class VLHoldingItem;

// The words of the journal's texts, the same in every locale (the file is read by every program):
// "position 3 (MSFT, 100 shares)", "cash position 8 (Broker cash, 2500.00)",
// "margin debt 9 (Margin loan, 1000.00)".
std::string PositionWords(const VLHoldingItem& position);
// "1 share", "40 shares", "1.6531 shares".
std::string SharesWords(Quantity qty);
// "Delete portfolio Alpha", with " and its 1 position" or " and its N positions" when it held any.
std::string PortfolioDeletionText(const std::string& name, size_t positions);
