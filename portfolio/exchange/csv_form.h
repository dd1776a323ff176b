#pragma once
#include <string_view>

#include "portfolio/exchange/csv_mapping.h"

// What the first lines of a CSV file tell of how it is written, so that a file chosen in the window reads
// right without the user setting the delimiter and the decimal comma first.

struct CsvForm {
  char delimiter = ',';
  bool decimalComma = false;
};

// The delimiter (',', ';' or a tab) that splits the first line into the most fields; a decimal comma when,
// with another delimiter than ',', more of the first rows' numbers are written "1234,56" than "1234.56".
CsvForm DetectCsvForm(std::string_view head);

// Whether `mapping` (a profile's) reads a file beginning with `head`: it names its columns by header, and
// the header row it would read (after its rows to skip, split at its delimiter) has every one of them.
bool MappingFitsFile(const CsvMapping& mapping, std::string_view head);
