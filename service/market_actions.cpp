// The market's dividends, splits and symbol changes, and the history download they shape.
#include "service/market.h"

#include "framework/text_util.h"
#include "service/dividend_history.h"
#include "service/exchange_info.h"
#include "service/security_files.h"
#include "service/text_file.h"
#include "service/text_format.h"
#include "service/traded_history.h"

#include <algorithm>
#include <filesystem>
#include <limits>

static constexpr std::uintmax_t kMaxDividendFileBytes = 4u << 20;
static constexpr std::uintmax_t kMaxRatesFileBytes = 64u << 20;

void Market::LoadDividendFolder(const std::string& folder, std::vector<std::string>& messages) {
  ForEachSecurityFile(
      folder, securities, messages,
      [&](const auto& entry, const std::string& symbol, const Security& security) {
        const std::string path = entry.path().string();
        std::error_code ec;
        std::string text, error;
        std::vector<DividendPayment> rows;
        if (entry.file_size(ec) > kMaxDividendFileBytes || !ReadTextFile(path, text) ||
            !ParseDividendCsv(text, security.exchange->currency, rows, error)) {
          messages.push_back(path + ": " + (error.empty() ? "cannot be read" : error) + "; file ignored");
          return;
        }
        messages.push_back(path + ": " + std::to_string(rows.size()) + " dividends of " + symbol);
        dividendFiles[security.symbol] = std::move(rows);
      });
}

std::vector<DividendPayment> Market::Dividends(const Security& security, int fromDay, int toDay) const {
  auto file = dividendFiles.find(security.symbol);
  if (file != dividendFiles.end()) {
    std::vector<DividendPayment> out;
    for (const DividendPayment& p : file->second) {
      if (p.exDay >= fromDay && p.exDay <= toDay) out.push_back(p);
    }
    return out;
  }
  if (RealHistory(security)) return {};  // real prices with simulated dividends would disagree
  return SimulatedDividends(model, security, corporateActions.Splits(security.symbol), fromDay, toDay);
}

DividendOutlook Market::Outlook(const Security& security, int quoteDay) const {
  DividendOutlook outlook;
  const auto& splits = corporateActions.Splits(security.symbol);
  const bool fromFile = dividendFiles.count(security.symbol) > 0;
  if (!fromFile && RealHistory(security)) {
    // No schedule is known for real prices: the list's annual figure is all there is.
    if (security.dividend > 0) outlook.annualMicros = std::llround(security.dividend * 1e6);
    return outlook;
  }
  const auto next = Dividends(security, quoteDay, quoteDay + 120);
  if (!next.empty()) {
    outlook.nextExDay = next.front().exDay;
    outlook.nextPayDay = next.front().payDay;
  }
  if (!fromFile) {
    int year, month, dayOfMonth;
    SplitDay(quoteDay, year, month, dayOfMonth);
    int64_t n = 1, d = 1;
    SplitFactor(splits, quoteDay, std::numeric_limits<int>::max(), n, d);
    const int64_t quarter = QuarterlyDividendMicros(model, security, year);
    if (quarter > 0) outlook.annualMicros = ScaleMicros(4 * quarter, n, d);
    return outlook;
  }
  // A file's dividends of the last twelve months, each in the quote day's shares.
  int64_t sum = 0;
  for (const DividendPayment& p : Dividends(security, quoteDay - 364, quoteDay)) {
    int64_t n = 1, d = 1;
    SplitFactor(splits, p.exDay, quoteDay, n, d);
    sum += ScaleMicros(p.amountMicros, d, n);
  }
  if (sum > 0) outlook.annualMicros = sum;
  return outlook;
}

void Market::LoadRatesFile(const std::string& path, std::vector<std::string>& messages) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return;
  std::string text, error;
  auto table = std::make_shared<RateTable>();
  if (std::filesystem::file_size(path, ec) > kMaxRatesFileBytes || !ReadTextFile(path, text) ||
      !ParseRateTableCsv(text, *table, error)) {
    messages.push_back(path + ": " + (error.empty() ? "cannot be read" : error) +
                       "; the exchange rates stay simulated");
    return;
  }
  messages.push_back(path + ": reference rates of " + std::to_string(table->currencies.size()) +
                     " currencies on " + std::to_string(table->days.size()) + " days");
  SetRealRates(std::move(table));
}

const Security* Market::FindFormer(std::string_view symbol, int& lastDay) const {
  const SymbolChange* change = corporateActions.ChangeFrom(AsciiUpper(symbol));
  if (change == nullptr) return nullptr;
  const int retired = change->day - 1;
  // A symbol changed again later still leads to the security that trades now.
  for (int hops = 0; hops < 8; ++hops) {
    if (const Security* s = securities.Find(change->newSymbol)) {
      lastDay = retired;
      return s;
    }
    change = corporateActions.ChangeFrom(change->newSymbol);
    if (change == nullptr) return nullptr;
  }
  return nullptr;
}

SecuritySnapshot Market::TradedHistory(const Security& security, int fromDay, SysSeconds now) const {
  SecuritySnapshot snap = RawSnapshot(security, fromDay, now);
  const auto& splits = corporateActions.Splits(security.symbol);
  if (!snap.realHistory) ToTradedPrices(splits, snap.bars);
  // A real file from a source with an adjusted column keeps its own figures.
  bool ownAdjusted = false;
  if (const History real = snap.realHistory ? RealHistory(security) : nullptr) {
    ownAdjusted =
        std::any_of(real->begin(), real->end(), [](const DailyBar& b) { return b.adjClose != b.close; });
  }
  if (!ownAdjusted && !snap.bars.empty())
    SetAdjustedCloses(splits, Dividends(security, snap.bars.front().day, snap.bars.back().day), snap.bars);
  return snap;
}
