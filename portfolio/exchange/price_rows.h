#pragma once
#include <string>
#include <vector>

#include "portfolio/exchange/import_reading.h"
#include "portfolio/records/vl_manual_price_item.h"

// The prices set by hand in Vellumar's own files: a "Price" element in Vellumar XML, a row of kind "price" in
// Vellumar CSV. Each is symbol, day (YYYY-MM-DD) and price per share (a plain decimal of up to 6 places).
inline constexpr const char* kPriceKindName = "price";

// Checks one price as the Set Price dialog does and adds it to the reading's plan, or adds the problem.
void ReadPriceRow(int line, const std::string& symbol, const std::string& date, const std::string& price,
                  ImportReading& reading);

// The texts a price is written with: the day and the price.
std::string PriceDayText(const VLManualPriceItem& price);
std::string PriceValueText(const VLManualPriceItem& price);
