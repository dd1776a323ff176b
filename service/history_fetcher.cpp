#include "service/history_fetcher.h"

#include "framework/text_util.h"
#include "service/history_store.h"
#include "service/market.h"
#include "service/source_csv.h"
#include "service/text_format.h"
#include "service/traded_history.h"
#include "service/upstream_http.h"

#include <algorithm>
#include <filesystem>

HistoryFetcher::HistoryFetcher(std::vector<UpstreamSource> sources, std::string historyFolder, Market& market)
    : sources(std::move(sources)),
      historyFolder(std::move(historyFolder)),
      ratesFile((std::filesystem::path(this->historyFolder).parent_path() / "rates" / "EUR.csv").string()),
      market(market),
      lastRequest(this->sources.size(), Clock::time_point{}) {}

void HistoryFetcher::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex);
    stopping = true;
  }
  stopped.notify_all();
}

bool HistoryFetcher::WaitForTurn(size_t source, std::unique_lock<std::mutex>& lock) {
  const auto due = lastRequest[source] + std::chrono::milliseconds(sources[source].minIntervalMs);
  stopped.wait_until(lock, due, [this] { return stopping; });
  return !stopping;
}

size_t HistoryFetcher::SourceCountFor(std::string_view symbol) const {
  const auto kind =
      market.Rates().IsPair(symbol) ? UpstreamSource::Kind::Rates : UpstreamSource::Kind::Prices;
  return static_cast<size_t>(std::count_if(sources.begin(), sources.end(),
                                           [kind](const UpstreamSource& s) { return s.kind == kind; }));
}

bool HistoryFetcher::RequestLimits(size_t i, Clock::time_point deadline, std::chrono::milliseconds budget,
                                   UpstreamLimits& limits) const {
  const UpstreamSource& source = sources[i];
  limits = {source.timeoutSeconds, source.lowSpeedBytes, source.lowSpeedSeconds,
            size_t(source.maxKilobytes) * 1024};
  if (budget.count() <= 0) return true;
  const auto left = std::chrono::duration_cast<std::chrono::seconds>(deadline - Clock::now()).count();
  if (left < 1) return false;
  limits.timeoutSeconds = std::min(limits.timeoutSeconds, static_cast<int>(left));
  limits.lowSpeedSeconds = std::min(limits.lowSpeedSeconds, limits.timeoutSeconds);
  return true;
}

// A symbol becomes a file name, so only what a symbol of the securities list can hold is let through.
static bool SafeFileStem(std::string_view symbol) {
  if (symbol.empty() || symbol.size() > 32 || symbol[0] == '.') return false;
  for (char c : symbol) {
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
                    c == '-' || c == '^' || c == '_' || c == '=';
    if (!ok) return false;
  }
  return true;
}

FetchReport HistoryFetcher::Fetch(std::string_view symbol, std::chrono::milliseconds budget) {
  const Clock::time_point deadline = Clock::now() + budget;
  FetchReport report;
  report.symbol = AsciiUpper(symbol);
  if (market.Rates().IsPair(report.symbol)) return FetchRates(report.symbol, deadline, budget);
  const Security* security = market.Securities().Find(symbol);
  if (security == nullptr || !SafeFileStem(security->symbol)) {
    report.message = report.symbol + ": not in the securities list";
    return report;
  }
  return FetchPrices(*security, deadline, budget);
}

void HistoryFetcher::ToStoredForm(const UpstreamSource& source, const Security& security,
                                  std::vector<DailyBar>& rows) const {
  if (!source.splitAdjusted) return;
  // The file keeps prices as traded. A source's own adjusted column already takes out everything and stays;
  // without one the adjusted close is left to the service, which knows the splits and the dividends.
  std::vector<double> adjusted;
  for (const DailyBar& row : rows) adjusted.push_back(row.adjClose);
  ToTradedPrices(market.Actions().Splits(security.symbol), rows);
  for (size_t i = 0; i < rows.size(); ++i)
    rows[i].adjClose = source.adjCloseColumn.empty() ? rows[i].close : adjusted[i];
}

FetchReport HistoryFetcher::FetchPrices(const Security& security, Clock::time_point deadline,
                                        std::chrono::milliseconds budget) {
  FetchReport report;
  report.symbol = security.symbol;
  if (SourceCountFor(security.symbol) == 0) {
    report.message = report.symbol + ": no sources are set up (see sources.ini)";
    return report;
  }
  std::unique_lock<std::mutex> lock(mutex);
  const std::string path = historyFolder + "/" + security.symbol + ".csv";
  std::vector<DailyBar> stored;
  if (!ReadHistoryFile(path, stored, report.message)) return report;

  const int today =
      static_cast<int>(std::chrono::floor<std::chrono::days>(market.Now()).time_since_epoch().count());
  std::string causes;
  for (size_t i = 0; i < sources.size(); ++i) {
    const UpstreamSource& source = sources[i];
    if (source.kind != UpstreamSource::Kind::Prices) continue;
    if (!WaitForTurn(i, lock)) {
      report.message = report.symbol + ": stopped";
      return report;
    }
    if (!causes.empty()) causes += "; ";
    UpstreamLimits limits;
    if (!RequestLimits(i, deadline, budget, limits)) {
      causes += source.name + ": not asked, the time for this fetch was spent";
      continue;
    }
    int start = 0;
    (void)MakeDay(1990, 1, 1, start);  // cannot fail: a valid constant date
    if (!stored.empty()) start = std::max(start, stored.back().day - source.lookbackDays);
    // The lock stays held: fetches are serialised so the one-request-a-second rule holds across threads.
    const UpstreamReply reply = UpstreamGet(UpstreamUrl(source, security, start, today), limits);
    lastRequest[i] = Clock::now();
    SourceAnswer answer = reply.ok ? ParseSourceAnswer(source, reply.body) : SourceAnswer{};
    if (!reply.ok || answer.kind != SourceAnswer::Kind::Rows) {
      causes += source.name + ": " + (reply.ok ? answer.error : reply.error);
      continue;
    }
    ToStoredForm(source, security, answer.rows);
    MergedHistory merged = MergeHistory(stored, answer.rows);
    std::error_code ec;
    std::filesystem::create_directories(historyFolder, ec);
    std::string error;
    if (!WriteFileAtomically(path, FormatHistoryCsv(merged.rows), error)) {
      report.message = report.symbol + ": " + error;
      return report;
    }
    report.ok = true;
    report.source = source.name;
    report.added = merged.added;
    report.replaced = merged.replaced;
    report.lastDay = merged.rows.back().day;
    report.message = report.symbol + ": " + std::to_string(merged.added) + " new days, " +
                     std::to_string(merged.replaced) + " corrected, last " + FormatIsoDay(report.lastDay) +
                     " (" + source.name + ")";
    market.SetRealHistory(security.symbol, std::move(merged.rows));
    return report;
  }
  report.message = report.symbol + ": no source gave prices (" + causes + ")";
  return report;
}

std::vector<std::string> HistoryFetcher::StoredSymbols() const {
  std::vector<std::string> symbols;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(historyFolder, ec)) {
    const std::filesystem::path& p = entry.path();
    if (p.extension() != ".csv") continue;
    if (const Security* s = market.Securities().Find(p.stem().string())) symbols.push_back(s->symbol);
  }
  std::sort(symbols.begin(), symbols.end());
  if (std::filesystem::exists(ratesFile, ec)) symbols.push_back("EURUSD=X");
  return symbols;
}
