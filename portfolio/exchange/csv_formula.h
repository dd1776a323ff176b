#pragma once
#include <string>
#include <string_view>

// Spreadsheets run a cell that begins with '=', '+', '-' or '@' (or a tab or CR before one) as a formula,
// so a comment such as "=HYPERLINK(...)" in an exported file would run when the file is opened. The writer
// puts a "'" in front of such a text, which spreadsheets show as plain text and the Vellumar CSV reader
// takes off again. A text that already begins with "'" and one of those characters (or a second "'") gets
// one too, so every text reads back exactly as it was written.
std::string NeutralizeFormula(std::string_view text);
// The text as stored: one leading "'" taken off where NeutralizeFormula would have put it.
std::string RestoreFormula(std::string_view text);
