#pragma once
#include <string_view>

#include "portfolio/exchange/import_reading.h"

// Reads a CSV file through `options.mapping` into `reading`: each row one stock position (held, or sold
// when a sale field is given) of the target portfolio. `text` is UTF-8 already.
void ReadMappedCsv(std::string_view text, const ImportOptions& options, ImportReading& reading);
