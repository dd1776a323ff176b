// Income: payments recorded per portfolio and symbol, each add, change and removal one change.
#include <algorithm>
#include <limits>
#include <set>
#include <tuple>

#include "framework/text_util.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/exchange/import_plan.h"
#include "portfolio/income/income_entitlement.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_portfolio_item.h"

namespace {

// "KO dividend 50.00 paid 2025-04-01".
std::string IncomeText(const VLIncomeItem& income) {
  return income.name + " " + IncomeKindName(income.kind) + " " + DecimalUnitsText(income.gross, 2, 2) +
         " paid " + StoredDayText(income.payDate);
}

// `fields` as a record keeps them: the symbol in upper case.
VLIncomeItem StoredForm(const VLIncomeItem& fields) {
  VLIncomeItem stored;
  (void)stored.CopyFrom(&fields);
  stored.name = AsciiUpper(fields.name);
  return stored;
}

// What makes two payments the same for an import: portfolio, symbol, kind, pay day and gross.
using IncomeKey = std::tuple<uint32_t, std::string, IncomeKind, int64_t, int64_t>;
IncomeKey KeyOf(uint32_t portfolioId, const VLIncomeItem& income) {
  return {portfolioId, AsciiUpper(income.name), income.kind, DayNumberOfStoredDate(income.payDate),
          income.gross};
}

}  // namespace

std::vector<size_t> VLDatabase::ImportedIncome(const ImportPlan& plan,
                                               const std::vector<uint32_t>& portfolioIds) const {
  std::set<IncomeKey> known;
  if (!plan.allowDuplicates) {
    for (const auto& item : incomes) {
      const auto* income = static_cast<const VLIncomeItem*>(item.get());
      known.insert(KeyOf(income->portfolioId, *income));
    }
  }
  std::vector<size_t> kept;
  for (size_t i = 0; i < plan.incomes.size(); ++i) {
    const ImportIncome& row = plan.incomes[i];
    const uint32_t portfolioId = portfolioIds[row.portfolio];
    // A portfolio the import creates has no records yet: only the file's own rows can repeat each other.
    const IncomeKey key = KeyOf(
        portfolioId != 0 ? portfolioId : 0xFFFFFFFFu - static_cast<uint32_t>(row.portfolio), row.income);
    if (plan.allowDuplicates || known.insert(key).second) kept.push_back(i);
  }
  return kept;
}

VLResult VLDatabase::GetIncome(VLDatabaseConn* conn, uint32_t portfolioId, std::vector<VLIncomeItem>& list) {
  std::lock_guard guard(lock);
  if (!IsConnected(conn)) return VLResult::Failed;
  list.clear();
  for (const auto& item : incomes) {
    const auto* income = static_cast<const VLIncomeItem*>(item.get());
    if (portfolioId == 0 || income->portfolioId == portfolioId) (void)list.emplace_back().CopyFrom(income);
  }
  // Newest payment first; of one day, the later record first.
  std::stable_sort(list.begin(), list.end(), [](const VLIncomeItem& a, const VLIncomeItem& b) {
    const int64_t dayA = DayNumberOfStoredDate(a.payDate);
    const int64_t dayB = DayNumberOfStoredDate(b.payDate);
    return dayA != dayB ? dayA > dayB : a.id > b.id;
  });
  return VLResult::Ok;
}

VLResult VLDatabase::InsertIncome(Change& change, const VLIncomeItem& stored, uint32_t& id,
                                  Quantity* entitled) {
  if (!FindPortfolio(stored.portfolioId)) return VLResult::NotFound;
  if (lastIncomeId == std::numeric_limits<uint32_t>::max()) return VLResult::StoreFull;
  if (entitled)
    *entitled = EntitledShares(positions, stored.portfolioId, stored.name, EntitlementDay(stored));
  change.record.Record(JournalRecordKind::Income, lastIncomeId + 1);
  auto income = std::make_unique<VLIncomeItem>();
  (void)income->CopyFrom(&stored);  // cannot fail: not null
  income->id = id = ++lastIncomeId;
  incomes.InsertAt(incomes.GetCount(), std::move(income));  // a new id: no other has it
  change.record.Portfolio(stored.portfolioId);
  Touch(stored.portfolioId);
  change.events.emplace_back(stored.portfolioId, 0, VLDatabaseEvent::kPositionChanged);
  return VLResult::Ok;
}

VLResult VLDatabase::AddIncome(VLDatabaseConn* conn, const VLIncomeItem& fields, uint32_t& id,
                               Quantity* entitled) {
  id = 0;
  const VLIncomeItem stored = StoredForm(fields);
  if (!stored.FitsRecord()) return VLResult::Failed;
  return RunChange(conn, NoticeKind::Positions, [&](Change& change) -> VLResult {
    if (VLResult rc = InsertIncome(change, stored, id, entitled); rc != VLResult::Ok) return rc;
    change.record.SetText("Add income: " + IncomeText(stored) + " in " + PortfolioName(stored.portfolioId));
    return VLResult::Ok;
  });
}

VLResult VLDatabase::AddIncomes(VLDatabaseConn* conn, const std::vector<VLIncomeItem>& fields,
                                std::vector<uint32_t>& ids) {
  ids.clear();
  std::vector<VLIncomeItem> stored;
  for (const VLIncomeItem& f : fields) {
    stored.push_back(StoredForm(f));
    if (!stored.back().FitsRecord()) return VLResult::Failed;
  }
  if (stored.empty()) return VLResult::Ok;
  return RunChange(conn, NoticeKind::Positions, [&](Change& change) -> VLResult {
    for (const VLIncomeItem& income : stored) {
      if (!FindPortfolio(income.portfolioId)) return VLResult::NotFound;
    }
    if (stored.size() > std::numeric_limits<uint32_t>::max() - lastIncomeId) return VLResult::StoreFull;
    std::set<uint32_t> portfolioIds;
    for (const VLIncomeItem& income : stored) {
      uint32_t id = 0;
      (void)InsertIncome(change, income, id, nullptr);  // cannot fail: checked above
      ids.push_back(id);
      portfolioIds.insert(income.portfolioId);
    }
    std::string names;
    for (uint32_t p : portfolioIds) names += (names.empty() ? "" : ", ") + PortfolioName(p);
    change.record.SetText(stored.size() == 1
                              ? "Add income: " + IncomeText(stored[0]) + " in " + names
                              : "Add " + std::to_string(stored.size()) + " income records in " + names);
    return VLResult::Ok;
  });
}

VLResult VLDatabase::AddReinvestedIncome(VLDatabaseConn* conn, const VLIncomeItem& fields,
                                         const VLStockHoldingItem& purchase, uint32_t& id,
                                         uint32_t& positionId, Quantity* entitled) {
  id = positionId = 0;
  VLIncomeItem stored = StoredForm(fields);
  VLStockHoldingItem bought;
  (void)bought.CopyFrom(&purchase);
  bought.name = stored.name;
  if (!stored.FitsRecord() || bought.IsSold() || bought.qty.IsZero() || !bought.FitsRecord())
    return VLResult::Failed;
  return RunChange(conn, NoticeKind::Positions, [&](Change& change) -> VLResult {
    if (!FindPortfolio(stored.portfolioId)) return VLResult::NotFound;
    if (lastIncomeId == std::numeric_limits<uint32_t>::max()) return VLResult::StoreFull;
    // The entitlement is the holding's before the purchase, which the payment made.
    if (entitled)
      *entitled = EntitledShares(positions, stored.portfolioId, stored.name, EntitlementDay(stored));
    if (VLResult rc = InsertStock(change.record, stored.portfolioId, bought, positionId); rc != VLResult::Ok)
      return rc;
    stored.reinvestPositionId = positionId;
    if (VLResult rc = InsertIncome(change, stored, id, nullptr); rc != VLResult::Ok) return rc;
    change.events.emplace_back(stored.portfolioId, positionId, VLDatabaseEvent::kPositionAdded);
    change.record.SetText("Add income: " + IncomeText(stored) + " reinvested in " + DecimalText(bought.qty) +
                          " " + stored.name + " in " + PortfolioName(stored.portfolioId));
    return VLResult::Ok;
  });
}

VLResult VLDatabase::ModifyIncome(VLDatabaseConn* conn, const VLIncomeItem& fields) {
  const VLIncomeItem wanted = StoredForm(fields);
  if (!wanted.FitsRecord()) return VLResult::Failed;
  return RunChange(conn, NoticeKind::Positions, [&](Change& change) -> VLResult {
    auto* income = static_cast<VLIncomeItem*>(incomes.FindById(fields.id));
    if (!income || !FindPortfolio(wanted.portfolioId)) return VLResult::NotFound;
    change.record.Record(JournalRecordKind::Income, income->id);
    const uint32_t before = income->portfolioId;
    (void)wanted.CopyTo(income);  // keeps the id: CopyTo copies it, and it is the same
    change.record.Portfolio(before);
    change.record.Portfolio(income->portfolioId);
    Touch(before);
    Touch(income->portfolioId);
    change.record.SetText("Change income: " + IncomeText(*income) + " in " +
                          PortfolioName(income->portfolioId));
    change.events.emplace_back(before, 0, VLDatabaseEvent::kPositionChanged);
    if (before != income->portfolioId)
      change.events.emplace_back(income->portfolioId, 0, VLDatabaseEvent::kPositionChanged);
    return VLResult::Ok;
  });
}

VLResult VLDatabase::DeleteIncome(VLDatabaseConn* conn, uint32_t id) {
  return RunChange(conn, NoticeKind::Positions, [&](Change& change) -> VLResult {
    const auto* income = static_cast<const VLIncomeItem*>(incomes.FindById(id));
    if (!income) return VLResult::NotFound;
    const uint32_t portfolioId = income->portfolioId;
    change.record.Record(JournalRecordKind::Income, id);
    change.record.SetText("Delete income: " + IncomeText(*income) + " in " + PortfolioName(portfolioId));
    incomes.Remove(id);
    change.record.Portfolio(portfolioId);
    Touch(portfolioId);
    change.events.emplace_back(portfolioId, 0, VLDatabaseEvent::kPositionChanged);
    return VLResult::Ok;
  });
}
