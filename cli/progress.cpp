#include "cli/progress.h"

std::string ProgressText(const std::string& command, const std::string& unit, int done, int total,
                         const std::string& detail) {
  std::string text = command + ": " + unit + " " + std::to_string(done);
  if (total > 0) text += " of " + std::to_string(total);
  if (!detail.empty()) text += ", " + detail;
  return text;
}

// "\r" back to the line's start, "ESC [K" clears the rest of a longer earlier text.
void ProgressLine::Show(const std::string& text) {
  if (!terminal) return;
  *terminal << '\r' << text << "\33[K" << std::flush;
  shown = true;
}

void ProgressLine::Finish() {
  if (!terminal || !shown) return;
  *terminal << "\r\33[K" << std::flush;
  shown = false;
}

bool ProgressQuoteSource::FetchQuotes(const std::vector<StockInfo*>& quotes, std::string& error) {
  ++done;
  line.Show(ProgressText("update", "batch", done, batches));
  const bool ok = inner->FetchQuotes(quotes, error);
  if (done >= batches || !ok) line.Finish();
  return ok;
}
