#pragma once
#include <string>
#include <string_view>

#include "portfolio/exchange/import_reading.h"

struct ExportData;

// Vellumar CSV: one row per position with every field, under a header row; UTF-8 (the texts are written as
// stored), RFC 4180 quoting, CR LF line ends, dates YYYY-MM-DD, amounts with '.' and no grouping. A
// portfolio without positions in the export has one row of kind "portfolio", so it comes back too.

// The header row's column names, in order; a file with a position of its own currency adds "Currency" after
// them, and a file without that column is read as positions of their exchanges' currencies.
const std::vector<std::string>& VellumarCsvHeader();
// Whether the first record of `text` is the Vellumar CSV header.
bool IsVellumarCsv(std::string_view text);

std::string WriteVellumarCsv(const ExportData& data);

// Reads the rows of a Vellumar CSV file (UTF-8 text) into `reading`: its plan (into the portfolios the file
// names, or all into `targetPortfolio` when that is given), its problems and the preview.
void ReadVellumarCsv(std::string_view text, const ImportOptions& options, ImportReading& reading);
