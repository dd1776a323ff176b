#pragma once
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/output_record.h"

// Writes a header line of `columns`, then one line per record with its values in the same order,
// separated by tabs. Every control character inside a value, tabs and line breaks included, is escaped
// (TerminalText), so every record stays one line of its columns. `headers`, when given, are printed in the
// header line instead of the field names. Text from the database or a server made safe to print on a
// terminal: control characters (C0 and DEL) as \xNN, the C1 controls of UTF-8 (U+0080 to U+009F) and the
// bidirectional formatting characters as \uNNNN (VisibleText), so that no escape sequence or reversal in a
// name or comment reaches the terminal; everything else, non-ASCII letters included, stays as it is.
std::string TerminalText(std::string_view text);

void WriteTsv(std::ostream& out, const std::vector<std::string>& columns,
              const std::vector<OutputRecord>& records, const std::vector<std::string>& headers = {});
// The same in pieces: the header line, then each record's line.
void WriteTsvHeader(std::ostream& out, const std::vector<std::string>& columns,
                    const std::vector<std::string>& headers = {});
void WriteTsvLine(std::ostream& out, const std::vector<std::string>& columns, const OutputRecord& record);
