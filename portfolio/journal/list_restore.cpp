#include "portfolio/journal/list_restore.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "framework/item_list.h"

namespace {

constexpr size_t kOneByOne = 8;

int InsertionPoint(const ItemList& list, uint32_t id) {
  int at = 0;
  for (const auto& item : list) {
    if (item->id > id) return at;
    ++at;
  }
  return at;
}

void OneByOne(ItemList& list, std::vector<std::unique_ptr<Item>> records,
              const std::vector<uint32_t>& removed) {
  for (uint32_t id : removed) (void)list.Remove(id);
  for (auto& record : records) {
    const int index = list.FindIndex(record->id);
    if (index >= 0) {
      (void)list.ReplaceAt(index, std::move(record));
    } else {
      const int at = InsertionPoint(list, record->id);
      list.InsertAt(at, std::move(record));
    }
  }
}

}  // namespace

void RestoreRecords(ItemList& list, std::vector<std::unique_ptr<Item>> records,
                    const std::vector<uint32_t>& removed) {
  if (records.size() + removed.size() <= kOneByOne) {
    OneByOne(list, std::move(records), removed);
    return;
  }
  std::unordered_map<uint32_t, std::unique_ptr<Item>> replacing;
  replacing.reserve(records.size());
  for (auto& record : records) {
    const uint32_t id = record->id;
    replacing[id] = std::move(record);
  }
  const std::unordered_set<uint32_t> leaving(removed.begin(), removed.end());
  std::vector<std::unique_ptr<Item>> kept = list.ReleaseAll();
  std::vector<std::unique_ptr<Item>> merged;
  merged.reserve(kept.size() + replacing.size());
  for (auto& item : kept) {
    if (leaving.count(item->id)) continue;
    if (auto found = replacing.find(item->id); found != replacing.end()) {
      item = std::move(found->second);
      replacing.erase(found);
    }
    merged.push_back(std::move(item));
  }
  // What is left are new to the list: each before the first record of a larger id, in the list's order.
  std::vector<std::unique_ptr<Item>> inserted;
  inserted.reserve(replacing.size());
  for (auto& [id, record] : replacing) inserted.push_back(std::move(record));
  std::sort(inserted.begin(), inserted.end(), [](const auto& a, const auto& b) { return a->id < b->id; });
  size_t next = 0;
  for (auto& item : merged) {
    while (next < inserted.size() && inserted[next]->id < item->id)
      list.InsertAt(list.GetCount(), std::move(inserted[next++]));
    list.InsertAt(list.GetCount(), std::move(item));
  }
  while (next < inserted.size()) list.InsertAt(list.GetCount(), std::move(inserted[next++]));
}
