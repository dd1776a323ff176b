#pragma once
#include <string>
#include <string_view>

#include "portfolio/exchange/import_reading.h"

struct ExportData;

// Vellumar XML: the positions' own XML elements ("VLStock", "VLCash", "VLMargin", amounts in cents) inside
// one "Portfolio" element (name, comment) per portfolio, under "VellumarPortfolios" (version 1). Beyond
// what the elements always carried, a stock position has "buyCommission" (cents) and every position its
// "tag". Texts are written as stored; control characters (line breaks included) as character references,
// so that every text reads back exactly. Prices set by hand follow the portfolios as "Price" elements
// (symbol, date YYYY-MM-DD, price); a file that has any is of version 2, which earlier versions refuse as
// newer.
std::string WriteVellumarXml(const ExportData& data);

// Reads a Vellumar XML file into `reading` (as ReadVellumarCsv does).
void ReadVellumarXml(std::string_view bytes, const ImportOptions& options, ImportReading& reading);
