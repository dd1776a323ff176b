#pragma once

#include <string>
#include <string_view>
#include <vector>

class Market;
struct QuoteFigures;
struct ServiceResponse;

// Field codes the service knows, in the order of the codes string the quote client sends.
inline constexpr char kQuoteFieldCodes[] =
    "snxj1j3r5rp5dyr1a2jkm3m7m8m4m5m6t8r6r7e9e8e7pd1t7vob3b2b6a5s7lcmk1k2m2f6n";
inline constexpr size_t kMaxQuoteSymbols = 1000;

struct QuoteField;

// Splits a field-code string ("snl1") into its fields; false on a code the service does not know, which
// goes to `unknown` (empty when the string holds no code at all).
[[nodiscard]] bool SplitQuoteFieldCodes(std::string_view codes, std::vector<const QuoteField*>& out,
                                        std::string& unknown);
// Appends one CSV line (with its line ending) of the given fields; texts the client reads as quoted
// go in quotes.
void AppendQuoteLine(const QuoteFigures& quote, const std::vector<const QuoteField*>& fields,
                     std::string& out);

// GET /d/quotes.csv?s=A+B&f=codes : one line per symbol, in the order asked; symbols may also be separated
// by commas or blanks.
ServiceResponse QuotesCsvPage(const Market& market, std::string_view rawQuery);
