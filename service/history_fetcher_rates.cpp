// The reference-rate half of the fetcher: every currency's rates per euro at once, from the rates sources.
#include "service/ecb_csv.h"
#include "service/history_fetcher.h"
#include "service/history_store.h"
#include "service/market.h"
#include "service/rate_table.h"
#include "service/reference_calendar.h"
#include "service/text_file.h"
#include "service/text_format.h"
#include "service/upstream_http.h"

#include <algorithm>
#include <filesystem>
#include <memory>

static constexpr std::uintmax_t kMaxRatesFileBytes = 64u << 20;

// The stored rates; a missing file is an empty table, a file that does not parse is false with `error`, so
// that a fetch never overwrites a file the user may want to repair.
static bool ReadRatesFile(const std::string& path, RateTable& table, std::string& error) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return true;
  std::string text;
  if (std::filesystem::file_size(path, ec) > kMaxRatesFileBytes || !ReadTextFile(path, text) ||
      !ParseRateTableCsv(text, table, error)) {
    error =
        path + ": " + (error.empty() ? "cannot be read" : error) + "; repair or remove it before fetching";
    return false;
  }
  return true;
}

FetchReport HistoryFetcher::FetchRates(const std::string& symbol, Clock::time_point deadline,
                                       std::chrono::milliseconds budget) {
  FetchReport report;
  report.symbol = symbol;
  if (SourceCountFor(symbol) == 0) {
    report.message = symbol + ": no rates sources are set up (see sources.ini)";
    return report;
  }
  std::unique_lock<std::mutex> lock(mutex);
  RateTable table;
  if (!ReadRatesFile(ratesFile, table, report.message)) return report;
  const int today = market.Rates().Today(market.Now());
  std::string causes;
  for (size_t i = 0; i < sources.size(); ++i) {
    const UpstreamSource& source = sources[i];
    if (source.kind != UpstreamSource::Kind::Rates) continue;
    if (!WaitForTurn(i, lock)) {
      report.message = symbol + ": stopped";
      return report;
    }
    if (!causes.empty()) causes += "; ";
    UpstreamLimits limits;
    if (!RequestLimits(i, deadline, budget, limits)) {
      causes += source.name + ": not asked, the time for this fetch was spent";
      continue;
    }
    const int start = table.Empty()
                          ? ReferenceCalendar::FirstDay()
                          : std::max(ReferenceCalendar::FirstDay(), table.days.back() - source.lookbackDays);
    const UpstreamReply reply = UpstreamGet(RatesUrl(source, start, today), limits);
    lastRequest[i] = Clock::now();
    const RateAnswer answer = reply.ok ? ParseEcbCsv(reply.body) : RateAnswer{};
    if (!reply.ok || !answer.ok) {
      causes += source.name + ": " + (reply.ok ? answer.error : reply.error);
      continue;
    }
    const RateMerge merge = MergeRates(table, answer.observations);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(ratesFile).parent_path(), ec);
    std::string error;
    if (!WriteFileAtomically(ratesFile, FormatRateTableCsv(table), error)) {
      report.message = symbol + ": " + error;
      return report;
    }
    report.ok = true;
    report.source = source.name;
    report.added = merge.added;
    report.replaced = merge.replaced;
    report.lastDay = table.days.back();
    report.message = symbol + ": reference rates of " + std::to_string(table.currencies.size()) +
                     " currencies, " + std::to_string(merge.added) + " new, " +
                     std::to_string(merge.replaced) + " corrected, last " + FormatIsoDay(report.lastDay) +
                     " (" + source.name + ")";
    market.SetRealRates(std::make_shared<const RateTable>(std::move(table)));
    return report;
  }
  report.message = symbol + ": no source gave reference rates (" + causes + ")";
  return report;
}
