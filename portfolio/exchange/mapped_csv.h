#pragma once
#include <string_view>

#include "portfolio/exchange/import_reading.h"

// Reads a CSV file through `options.mapping` into `reading`: each row a purchase (a stock position, held,
// or sold when a sale field is given) or a sale of the target portfolio's shares, or, for a transaction of
// another kind, a row listed as skipped. `text` is UTF-8 already.
void ReadMappedCsv(std::string_view text, const ImportOptions& options, ImportReading& reading);
