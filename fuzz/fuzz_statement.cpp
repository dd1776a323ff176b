// Feeds a statement's text to what reads it before libofx does: the bound on open elements and NUL, the
// plain scan of values and lines, and the reading of each trade's date and time. None may read past the text
// or take more than linear time; a text the bound accepts holds no NUL.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "portfolio/exchange/ofx_rules.h"
#include "portfolio/exchange/ofx_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  int line = 0;
  std::string problem;
  const bool bounded = CheckOfxBounds(text, line, problem);
  if (bounded && text.find('\0') != std::string_view::npos) std::abort();
  if (!bounded && (problem.empty() || line < 1)) std::abort();
  const OfxScan scan = ScanOfx(text);
  for (const OfxScannedTransaction& t : scan.transactions) {
    if (const auto time = ReadOfxTradeTime(t.Value("DTTRADE"))) {
      if (time->date.size() != 8) std::abort();
    }
  }
  return 0;
}
