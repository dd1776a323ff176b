#pragma once
#include <string>
#include <string_view>

#include "portfolio/exchange/import_reading.h"

// Reads an OFX or QFX investment statement (SGML 1.x or XML 2.x) through libofx into `reading`, all into
// the target portfolio: purchases of stock and funds (BUYSTOCK, BUYMF) become stock positions with the
// ticker of the statement's security list, the units, the unit price, the commission and fees, and the
// trade date; sales (SELLSTOCK, SELLMF) sell the portfolio's held shares of the symbol, oldest purchase
// first; the available cash becomes a cash position (a negative one a margin debt) named after the account,
// whose amount a later statement sets. Other transactions are counted as ignored. `bytes` is the file at
// `path`, which libofx reads itself.
//
// Every problem names the line of the transaction it concerns: libofx identifies a transaction by its FITID,
// which is looked up in the file's text; libofx's own complaints about the file's structure are given with
// the line of the file they concern.
void ReadOfxStatement(const std::string& path, std::string_view bytes, const ImportOptions& options,
                      ImportReading& reading);
