#include "portfolio/exchange/split_rows.h"

#include <algorithm>
#include <map>
#include <numeric>

#include "framework/text_util.h"
#include "portfolio/checks/typed_number.h"
#include "portfolio/exchange/file_values.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_stock_holding_item.h"

namespace {

// A count of shares of the file, to the places a quantity keeps; false when it is none.
bool ReadShares(std::string_view text, const NumberFormat& numbers, int64_t& units) {
  const FileNumber number = ReadFileNumber(text, numbers, FileNumberKind::Quantity);
  if (number.status != FileNumberStatus::Ok) return false;
  const TypedNumber read = ReadTypedDecimal(number.entryText, Quantity::kPlaces);
  if (!read.IsOk()) return false;
  units = read.value;
  return true;
}

// The shares of `symbol` the plan's trades hold at the start of `day` (a day number): bought before it,
// less sold before it, through the splits of the file before it. Purchases and sales without a day count.
Int128 HeldBefore(const ImportPlan& plan, const std::string& symbol, int64_t day) {
  struct Event {
    int64_t day;
    Int128 units;
    SplitRatio ratio;
  };
  std::vector<Event> events;
  for (const ImportStep& step : plan.steps) {
    if (step.kind == ImportStepKind::Sell && EqualNoCase(step.symbol, symbol)) {
      if (DayNumberOrZero(step.saleDate) < day)
        events.push_back({DayNumberOrZero(step.saleDate), -step.qty.Units(), {}});
    } else if (step.kind == ImportStepKind::Add && step.holding->GetKind() == kHoldingStock &&
               EqualNoCase(step.holding->name, symbol)) {
      const auto& stock = static_cast<const VLStockHoldingItem&>(*step.holding);
      if (DayNumberOrZero(stock.purchaseDate) >= day) continue;
      if (stock.IsSold() && stock.saleDate != 0 && DayNumberOrZero(stock.saleDate) < day) continue;
      events.push_back({DayNumberOrZero(stock.purchaseDate), stock.qty.Units(), {}});
    }
  }
  for (const ImportAction& action : plan.actions) {
    const int64_t exDay = DayNumberOrZero(action.action.exDate);
    if (action.IsReportedSplit() && EqualNoCase(action.action.name, symbol) && exDay < day)
      events.push_back({exDay, 0, {action.action.newShares, action.action.oldShares}});
  }
  // On one day, the split first: the trades of its day are in the new shares.
  std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
    if (a.day != b.day) return a.day < b.day;
    return a.ratio.newShares != 0 && b.ratio.newShares == 0;
  });
  Int128 held = 0;
  for (const Event& e : events) {
    if (e.ratio.newShares != 0) {
      held = held * e.ratio.newShares / e.ratio.oldShares;
    } else {
      held += e.units;
    }
  }
  return held;
}

}  // namespace

bool RatioOfShares(int64_t newUnits, int64_t oldUnits, SplitRatio& ratio) {
  if (newUnits <= 0 || oldUnits <= 0) return false;
  const int64_t common = std::gcd(newUnits, oldUnits);
  return MakeSplitRatio(newUnits / common, oldUnits / common, ratio);
}

bool ReadRatioText(std::string_view text, SplitRatio& ratio) {
  const std::string folded = AsciiLower(std::string(TrimBlanks(text)));
  for (const char* separator : {":", "/", "-for-", " for "}) {
    const size_t at = folded.find(separator);
    if (at == std::string::npos) continue;
    const std::string left(TrimBlanks(std::string_view(folded).substr(0, at)));
    const std::string right(
        TrimBlanks(std::string_view(folded).substr(at + std::string_view(separator).size())));
    return ParseSplitRatio(left + ":" + right, ratio);
  }
  return false;
}

ImportAction ReportedSplit(int line, const std::string& symbol, int64_t day, SplitRatio ratio,
                           std::string comment) {
  ImportAction reported;
  reported.line = line;
  reported.applies = true;
  VLCorporateActionItem& action = reported.action;
  action.name = AsciiUpper(symbol);
  action.exDate = StoredDateOfDay(day);
  action.kind = CorporateActionKind::Split;
  action.newShares = ratio.newShares;
  action.oldShares = ratio.oldShares;
  action.comment = std::move(comment);
  return reported;
}

void AddSplitRows(const std::vector<SplitRow>& rows, const NumberFormat& numbers,
                  const std::string& datePattern, ImportReading& reading) {
  struct Read {
    const SplitRow* row;
    int64_t day;
  };
  // Rows without a ratio, by symbol and day, in the file's order.
  std::map<std::pair<std::string, int64_t>, std::vector<Read>> byShares;
  std::vector<ImportAction> found;
  for (const SplitRow& row : rows) {
    const std::string symbol = AsciiUpper(std::string(TrimBlanks(row.symbol)));
    CalendarDate date;
    if (symbol.empty()) {
      reading.problems.push_back({row.line, ImportField::Symbol, "the split has no symbol"});
      continue;
    }
    if (!ReadFileDate(row.date, datePattern, date)) {
      reading.problems.push_back({row.line, ImportField::Date,
                                  "the date '" + std::string(TrimBlanks(row.date)) +
                                      "' of the split is not a date of the form " + datePattern});
      continue;
    }
    SplitRatio ratio;
    if (ReadRatioText(row.quantity, ratio)) {
      found.push_back(ReportedSplit(row.line, symbol, DayNumberOf(date), ratio, {}));
      continue;
    }
    byShares[{symbol, DayNumberOf(date)}].push_back({&row, DayNumberOf(date)});
  }
  // Splits of a stated ratio first: a row of shares added is read against the shares after them.
  for (ImportAction& action : found) reading.plan.actions.push_back(std::move(action));
  for (const auto& [key, group] : byShares) {
    const auto& [symbol, day] = key;
    const SplitRow& first = *group.front().row;
    const auto refuse = [&reading](const SplitRow& row, const std::string& why) {
      reading.problems.push_back({row.line, ImportField::Quantity,
                                  why + "; write the split's ratio as NEW:OLD (10:1) in its quantity"});
    };
    int64_t shares[2] = {0, 0};
    bool read = group.size() <= 2;
    for (size_t i = 0; read && i < group.size(); ++i) {
      std::string text(TrimBlanks(group[i].row->quantity));
      const bool negative = DropSign(text);
      read = ReadShares(text, numbers, shares[i]);
      if (negative) shares[i] = -shares[i];
    }
    if (group.size() > 2) {
      refuse(*group[2].row, "a third split row of " + symbol + " on the same day");
      continue;
    }
    if (!read) {
      refuse(first, "the split's quantity '" + std::string(TrimBlanks(first.quantity)) +
                        "' is neither a ratio nor a count of shares");
      continue;
    }
    SplitRatio ratio;
    if (group.size() == 2) {
      // The shares before the split, then after it (a closing and an opening row).
      if (!RatioOfShares(std::abs(shares[1]), std::abs(shares[0]), ratio)) {
        refuse(*group[1].row, "the split rows of " + symbol + " give no ratio of shares after to before");
        continue;
      }
    } else {
      const Int128 held = HeldBefore(reading.plan, symbol, day);
      const Int128 after = held + shares[0];
      if (held <= 0) {
        // Nothing of the file is changed by it; a split of shares held elsewhere is for the user to record.
        SkippedRow skipped;
        skipped.line = first.line;
        skipped.kind = "split";
        skipped.symbol = symbol;
        skipped.date = TrimBlanks(first.date);
        skipped.amount = TrimBlanks(first.quantity);
        skipped.reason = "the file's trades hold no shares of " + symbol +
                         " before it, so its ratio is not known: record it with its ratio (split " + symbol +
                         " NEW:OLD) where it applies";
        reading.skipped.push_back(std::move(skipped));
        continue;
      }
      if (after <= 0 || held > INT64_MAX || after > INT64_MAX ||
          !RatioOfShares(static_cast<int64_t>(after), static_cast<int64_t>(held), ratio)) {
        refuse(first,
               "the file's trades hold " +
                   DecimalText(Quantity::FromUnits(static_cast<int64_t>(std::min<Int128>(held, INT64_MAX)))) +
                   " shares of " + symbol + " before the split, to which it adds " +
                   std::string(TrimBlanks(first.quantity)));
        continue;
      }
    }
    reading.plan.actions.push_back(ReportedSplit(first.line, symbol, day, ratio, {}));
  }
}
