#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/item.h"

// An ordered, owning list of records. Removing an item or destroying the list destroys the item.
class ItemList : public ISerializable {
 public:
  ItemList() = default;
  ItemList(const ItemList&) = delete;
  ItemList& operator=(const ItemList&) = delete;
  ~ItemList() override = default;

  std::string GetTypeName() const override { return "IList"; }
  int32_t GetVersion() const override { return 1; }
  // Stores name, version, count and every item (type key first); loading replaces the content.
  SerializeResult Serialize(Archive* ar) override;
  // The process-wide factory of the concrete list.
  virtual IItemFactory* GetItemFactory() const = 0;

  int GetCount() const { return static_cast<int>(items.size()); }
  int FindIndex(uint32_t id) const;  // -1 when none
  Item* GetAt(int index) const;      // null out of range; the list keeps ownership
  Item* FindById(uint32_t id) const { return GetAt(FindIndex(id)); }

  // Appends and takes ownership, unless `item` has a non-zero id already present: then returns false
  // and `item` keeps ownership.
  bool Add(std::unique_ptr<Item>&& item);
  // Inserts at `index` (clamped to 0..count) and takes ownership; no id check.
  void InsertAt(int index, std::unique_ptr<Item> item);
  // Removes the first item with that id and destroys it; false for 0 or an id not present.
  bool Remove(uint32_t id);
  // Removes and destroys every item `remove` answers true for, keeping the others in order; in one pass.
  template <typename Predicate>
  void RemoveIf(Predicate remove) {
    std::erase_if(items, [&](const std::unique_ptr<Item>& item) { return remove(*item); });
  }
  // Puts `item` in the place of the item at `index` (no id check) and hands that one back; out of range,
  // or for a null `item`, nothing changes and null comes back.
  std::unique_ptr<Item> ReplaceAt(int index, std::unique_ptr<Item> item);
  // Removes the item at `index` and hands it back; null out of range.
  std::unique_ptr<Item> RemoveAt(int index);
  void RemoveAll() { items.clear(); }
  // Hands every item to the caller, in list order; the list is left empty.
  std::vector<std::unique_ptr<Item>> ReleaseAll() { return std::exchange(items, {}); }

  // Exchange sort by `comparer` (see exchange_sort.h).
  void Sort(const IItemComparer& comparer);
  // Reorders so that the item now at order[k] ends up at k; `order` must be a permutation of 0..count-1.
  void ApplyOrder(const std::vector<int>& order);

  auto begin() const { return items.begin(); }
  auto end() const { return items.end(); }

 private:
  std::vector<std::unique_ptr<Item>> items;
};
