#include "portfolio/exchange/action_rows.h"

#include "portfolio/checks/corporate_action_checks.h"
#include "portfolio/columns/clock.h"
#include "portfolio/records/calendar_date.h"

namespace {

constexpr const char* kSplitName = "split";
constexpr const char* kSymbolChangeName = "symbol-change";

// What a refused action of a file is told as, by the field the check points at.
std::string ActionProblem(const EntryCheck& check, const ActionTexts& t) {
  switch (check.field) {
    case EntryField::Symbol:
      return "the symbol '" + t.symbol + "' of a corporate action is missing or not a symbol";
    case EntryField::NewSymbol:
      return "the new symbol '" + t.newSymbol +
             "' of a symbol change is missing, not a symbol or the old one";
    case EntryField::SplitRatio:
      return "the split ratio '" + t.ratio + "' is not new for old shares in whole numbers, such as 3:1";
    case EntryField::CashInLieu:
      return "the cash-in-lieu price '" + t.cashInLieu +
             "' is not an amount above 0 of at most 6 decimal places and at most 42949672.95";
    case EntryField::Comment:
      return "the comment of a corporate action is too long or holds characters that cannot be stored";
    default:
      return "the day '" + t.date + "' of a corporate action is not a day from " +
             IsoDateText(kEarliestDate) + " to today";
  }
}

}  // namespace

void ReadActionRow(int line, const ActionTexts& t, ImportReading& reading) {
  CalendarDate day;
  const int64_t date = ParseIsoDate(t.date, &day) ? StoredDateOf(day) : 0;
  VLCorporateActionItem action;
  EntryCheck check;
  if (t.action == kSplitName) {
    SplitRequest request;
    check = CheckSplit({t.symbol, t.ratio, t.cashInLieu, t.comment, date}, TodayDayNumber(), request);
    action.name = request.symbol;
    action.exDate = request.exDate;
    action.newShares = request.ratio.newShares;
    action.oldShares = request.ratio.oldShares;
    action.cashInLieu = request.cashInLieu;
    action.comment = request.comment;
  } else if (t.action == kSymbolChangeName) {
    SymbolChangeEntry change;
    check = CheckSymbolChange({t.symbol, t.newSymbol, t.comment, date}, TodayDayNumber(), change);
    action.kind = CorporateActionKind::SymbolChange;
    action.name = change.oldSymbol;
    action.newSymbol = change.newSymbol;
    action.exDate = change.date;
    action.comment = change.comment;
  } else {
    reading.problems.push_back(
        {line, ImportField::None,
         "the corporate action '" + t.action + "' is neither split nor symbol-change"});
    return;
  }
  if (!check.Ok()) {
    reading.problems.push_back({line, ImportField::None, ActionProblem(check, t)});
    return;
  }
  reading.plan.actions.push_back({line, std::move(action)});
}

ActionTexts ActionTextsOf(const VLCorporateActionItem& a) {
  ActionTexts t;
  t.symbol = a.name;
  t.date = StoredDayText(a.exDate);
  t.comment = a.comment;
  if (a.kind == CorporateActionKind::Split) {
    t.action = kSplitName;
    t.ratio = SplitRatioText({a.newShares, a.oldShares});
    if (!a.cashInLieu.IsZero()) t.cashInLieu = DecimalText(a.cashInLieu);
  } else {
    t.action = kSymbolChangeName;
    t.newSymbol = a.newSymbol;
  }
  return t;
}
