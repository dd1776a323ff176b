// Feeds a file to the import's readers: the first byte picks the form and the mapping's options, the rest is
// the file. A reading either refuses with problems or gives a plan whose every step names a portfolio of the
// plan and carries what its kind needs; nothing a reader does may depend on the bytes being sane.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "portfolio/exchange/import_formats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t choice = data[0];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  // Every form read from its text (a statement is read from its file: fuzz_statement).
  static const std::vector<ExchangeFormat> kFormats = [] {
    std::vector<ExchangeFormat> formats;
    for (const ImportFormatInfo& info : ImportFormatTable()) {
      if (!info.readsFromFile) formats.push_back(info.format);
    }
    return formats;
  }();
  static const char kDelimiters[] = {',', ';', '\t', ','};
  static const char* const kDateFormats[] = {"YYYY-MM-DD", "DD.MM.YYYY", "M/D/YYYY", "YYYYMMDD"};
  static const TextEncoding kEncodings[] = {TextEncoding::Detect, TextEncoding::Utf8, TextEncoding::Latin1,
                                            TextEncoding::Detect};
  ImportOptions options;
  options.format = kFormats[(choice & 3) % kFormats.size()];
  std::string error;
  const bool header = (choice & 0x80) != 0;
  // With a header, a list of transactions: a kind column and the columns of its other rows.
  (void)ParseMappingText(header
                             ? "symbol=Symbol,quantity=Quantity,price=Price,date=Date,commission=Fee,"
                               "comment=Note,sale-price=Sold at,sale-date=Sold,sale-commission=Sale fee,"
                               "kind=Kind,amount=Amount,fees=Fees,withholding=Tax,currency=Currency,name=Name"
                             : "symbol=#1,quantity=#2,price=#3,date=#4,commission=#5,comment=#6,"
                               "sale-price=#7,sale-date=#8,sale-commission=#9",
                         options.mapping, error);
  for (const char* kind : {"buy=Buy|Kauf*", "sell=Sell|Verkauf*", "dividend=Div*", "skip=Transfer"})
    (void)options.mapping.kinds.Add(kind, error);
  options.mapping.sellWhenNegative = !header && (choice & 0x08) != 0;
  options.mapping.delimiter = kDelimiters[(choice >> 2) & 3];
  options.mapping.decimalComma = (choice & 0x10) != 0;
  options.mapping.dateFormat = kDateFormats[(choice >> 5) & 3];
  options.mapping.encoding = kEncodings[(choice >> 3) & 3];
  options.mapping.skipRows = (choice >> 6) & 1;
  if (ImportFormatInfoOf(options.format).needsTarget || (choice & 0x40)) options.targetPortfolio = "Fuzz";
  const ImportReading reading = ReadImportText(text, "fuzz.csv", options);
  if (reading.Refused()) {
    if (reading.problems.empty() && !reading.cancelled) std::abort();
    return 0;
  }
  for (const ImportStep& step : reading.plan.steps) {
    if (step.portfolio >= reading.plan.portfolios.size()) std::abort();
    const bool needsHolding = step.kind != ImportStepKind::Sell;
    if (needsHolding != (step.holding != nullptr)) std::abort();
    if (step.kind == ImportStepKind::Sell && (step.symbol.empty() || step.qty.IsZero())) std::abort();
  }
  // Every row the reading did not take is listed with its line.
  for (const SkippedRow& row : reading.skipped) {
    if (row.line <= 0 || row.reason.empty()) std::abort();
  }
  return 0;
}
