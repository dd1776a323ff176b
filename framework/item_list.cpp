#include "framework/item_list.h"

#include <algorithm>

#include "framework/archive.h"
#include "framework/exchange_sort.h"

namespace {
// The smallest stored item: a one-byte type key, then its key and version, then the Item level's key,
// version, id, tag and a one-byte name.
constexpr uint64_t kMinStoredItemBytes = 1 + 1 + 4 + 1 + 4 + 4 + 4 + 1;
}  // namespace

int ItemList::FindIndex(uint32_t id) const {
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i]->id == id) return static_cast<int>(i);
  }
  return -1;
}

Item* ItemList::GetAt(int index) const {
  if (index < 0 || index >= GetCount()) return nullptr;
  return items[static_cast<size_t>(index)].get();
}

bool ItemList::Add(std::unique_ptr<Item>&& item) {
  if (!item) return false;
  if (item->id != 0 && FindIndex(item->id) >= 0) return false;
  items.push_back(std::move(item));
  return true;
}

void ItemList::InsertAt(int index, std::unique_ptr<Item> item) {
  if (!item) return;
  index = std::clamp(index, 0, GetCount());
  items.insert(items.begin() + index, std::move(item));
}

bool ItemList::Remove(uint32_t id) {
  if (id == 0) return false;
  const int index = FindIndex(id);
  if (index < 0) return false;
  items.erase(items.begin() + index);
  return true;
}

std::unique_ptr<Item> ItemList::ReplaceAt(int index, std::unique_ptr<Item> item) {
  if (index < 0 || index >= GetCount() || !item) return nullptr;
  return std::exchange(items[static_cast<size_t>(index)], std::move(item));
}

std::unique_ptr<Item> ItemList::RemoveAt(int index) {
  if (index < 0 || index >= GetCount()) return nullptr;
  std::unique_ptr<Item> item = std::move(items[static_cast<size_t>(index)]);
  items.erase(items.begin() + index);
  return item;
}

void ItemList::Sort(const IItemComparer& comparer) {
  ExchangeSort(items, [&comparer](const std::unique_ptr<Item>& a, const std::unique_ptr<Item>& b) {
    return comparer.Compare(a.get(), b.get()) < 0;
  });
}

void ItemList::ApplyOrder(const std::vector<int>& order) {
  if (order.size() != items.size()) return;
  std::vector<bool> seen(items.size(), false);
  for (int from : order) {
    if (from < 0 || from >= GetCount() || seen[static_cast<size_t>(from)]) return;  // not a permutation
    seen[static_cast<size_t>(from)] = true;
  }
  std::vector<std::unique_ptr<Item>> reordered;
  reordered.reserve(items.size());
  for (int from : order) reordered.push_back(std::move(items[static_cast<size_t>(from)]));
  items = std::move(reordered);
}

SerializeResult ItemList::Serialize(Archive* ar) {
  if (!ar) return SerializeResult::Failed;
  if (ar->IsStoring()) {
    ar->WriteString(GetTypeName());
    ar->WriteInt32(GetVersion());
    ar->WriteUInt32(static_cast<uint32_t>(items.size()));
    for (const auto& item : items) {
      ar->WriteString(item->GetTypeName());
      if (SerializeResult rc = item->Serialize(ar); rc != SerializeResult::Ok) return rc;
    }
    return SerializeResult::Ok;
  }

  if (!ar->ReadStringIs(GetTypeName())) return SerializeResult::TypeMismatch;
  if (ar->ReadInt32() > GetVersion()) return SerializeResult::VersionTooNew;
  RemoveAll();
  const uint32_t count = ar->ReadUInt32();
  ar->CheckCount(count, kMinStoredItemBytes);
  IItemFactory* factory = GetItemFactory();
  if (!factory) return SerializeResult::Failed;
  std::vector<std::unique_ptr<Item>> loaded;
  loaded.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    std::unique_ptr<Item> item = factory->CreateItem(ar->ReadString());
    if (!item) return SerializeResult::TypeMismatch;
    if (SerializeResult rc = item->Serialize(ar); rc != SerializeResult::Ok) return rc;
    loaded.push_back(std::move(item));
  }
  items = std::move(loaded);
  return SerializeResult::Ok;
}
