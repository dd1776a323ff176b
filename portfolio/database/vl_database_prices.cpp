// Prices set by hand: one per symbol and day, each a change of its own or part of an import.
#include <algorithm>
#include <limits>

#include "framework/text_util.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/records/calendar_date.h"

namespace {

bool SameDay(int64_t a, int64_t b) {
  return DayNumberOfStoredDate(a) == DayNumberOfStoredDate(b);
}

}  // namespace

VLStoreRecords::ManualPriceIndex VLStoreRecords::IndexManualPrices() const {
  ManualPriceIndex index;
  for (const auto& item : manualPrices) {
    auto* kept = static_cast<VLManualPriceItem*>(item.get());
    index.try_emplace({kept->name, DayNumberOfStoredDate(kept->date)}, kept);
  }
  return index;
}

VLManualPriceItem* VLStoreRecords::FindManualPrice(const std::string& symbol, int64_t date,
                                                   const ManualPriceIndex* index) const {
  if (index) {
    const auto found = index->find({symbol, DayNumberOfStoredDate(date)});
    return found == index->end() ? nullptr : found->second;
  }
  for (const auto& item : manualPrices) {
    auto* kept = static_cast<VLManualPriceItem*>(item.get());
    if (kept->name == symbol && SameDay(kept->date, date)) return kept;
  }
  return nullptr;
}

VLManualPriceItem VLStoreRecords::ManualPriceFields(const std::string& symbol, int64_t date,
                                                    UnitPrice price) {
  VLManualPriceItem fields;
  fields.name = AsciiUpper(symbol);
  // A day always in today's stored form, whatever form it came in.
  fields.date = date == 0 ? 0 : StoredDateOfDay(DayNumberOfStoredDate(date));
  fields.price = price;
  return fields;
}

VLResult VLDatabase::StoreManualPrice(ChangeRecorder& record, const VLManualPriceItem& fields, bool& changed,
                                      ManualPriceIndex* index) {
  changed = false;
  VLManualPriceItem* same = FindManualPrice(fields.name, fields.date, index);
  if (same && same->price == fields.price) return VLResult::Ok;
  if (same) {
    record.ManualPrice(*same);
    same->date = fields.date;
    same->price = fields.price;
  } else {
    if (lastManualPriceId == std::numeric_limits<uint32_t>::max()) return VLResult::StoreFull;
    record.ManualPrice(lastManualPriceId + 1);
    auto added = std::make_unique<VLManualPriceItem>();
    (void)added->CopyFrom(&fields);  // cannot fail: not null
    added->id = ++lastManualPriceId;
    if (index) index->try_emplace({added->name, DayNumberOfStoredDate(added->date)}, added.get());
    manualPrices.InsertAt(manualPrices.GetCount(), std::move(added));  // a new id: no other has it
  }
  changed = true;
  return VLResult::Ok;
}

VLResult VLDatabase::GetManualPrices(VLDatabaseConn* conn, std::vector<VLManualPriceItem>& prices) {
  std::lock_guard guard(lock);
  if (!IsConnected(conn)) return VLResult::Failed;
  prices.clear();
  prices.reserve(static_cast<size_t>(manualPrices.GetCount()));
  for (const auto& item : manualPrices) {
    VLManualPriceItem& copy = prices.emplace_back();
    (void)copy.CopyFrom(static_cast<const VLManualPriceItem*>(item.get()));  // cannot fail: not null
  }
  std::sort(prices.begin(), prices.end(), [](const VLManualPriceItem& a, const VLManualPriceItem& b) {
    return a.name != b.name ? a.name < b.name : a.date < b.date;
  });
  return VLResult::Ok;
}

VLResult VLDatabase::SetManualPrice(VLDatabaseConn* conn, const std::string& symbol, int64_t date,
                                    UnitPrice price) {
  const VLManualPriceItem fields = ManualPriceFields(symbol, date, price);
  if (!fields.FitsRecord()) return VLResult::Failed;
  return RunChange(conn, NoticeKind::Positions, [&](Change& change) -> VLResult {
    bool changed = false;
    if (VLResult rc = StoreManualPrice(change.record, fields, changed); rc != VLResult::Ok) return rc;
    if (!changed) {
      change.unchanged = true;
      return VLResult::Ok;
    }
    change.record.SetText("Set the price of " + fields.name + " on " + StoredDayText(fields.date) + " to " +
                          PriceText(price));
    change.events.emplace_back(0, 0, VLDatabaseEvent::kQuotesRefreshed);
    return VLResult::Ok;
  });
}

VLResult VLDatabase::RemoveManualPrices(VLDatabaseConn* conn, const std::string& symbol, int64_t date) {
  const std::string name = AsciiUpper(symbol);
  return RunChange(conn, NoticeKind::Positions, [&](Change& change) -> VLResult {
    const auto matches = [&](const Item& item) {
      const auto& kept = static_cast<const VLManualPriceItem&>(item);
      return kept.name == name && (date == 0 || SameDay(kept.date, date));
    };
    size_t removed = 0;
    for (const auto& item : manualPrices) {
      if (!matches(*item)) continue;
      change.record.ManualPrice(*item);
      ++removed;
    }
    if (removed == 0) return VLResult::NotFound;
    manualPrices.RemoveIf(matches);
    change.record.SetText(date == 0 ? "Remove the prices of " + name + " set by hand"
                                    : "Remove the price of " + name + " on " + StoredDayText(date));
    change.events.emplace_back(0, 0, VLDatabaseEvent::kQuotesRefreshed);
    return VLResult::Ok;
  });
}
