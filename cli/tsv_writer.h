#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "cli/output_record.h"

// Writes a header line of `columns`, then one line per record with its values in the same order,
// separated by tabs. Tabs and line breaks inside a value become spaces so every record stays one line.
// `headers`, when given, are printed in the header line instead of the field names.
void WriteTsv(std::ostream& out, const std::vector<std::string>& columns,
              const std::vector<OutputRecord>& records, const std::vector<std::string>& headers = {});
// The same in pieces: the header line, then each record's line.
void WriteTsvHeader(std::ostream& out, const std::vector<std::string>& columns,
                    const std::vector<std::string>& headers = {});
void WriteTsvLine(std::ostream& out, const std::vector<std::string>& columns, const OutputRecord& record);
