#pragma once
// A small record kind and its list, for exercising the framework without the portfolio domain.
#include <memory>

#include "framework/archive.h"
#include "framework/database.h"
#include "framework/item_list.h"

class TestItem : public Item {
 public:
  int32_t value = 0;

  std::string GetTypeName() const override { return "T"; }
  int32_t GetVersion() const override { return 1; }
  std::unique_ptr<Item> Clone() const override { return std::make_unique<TestItem>(*this); }
  SerializeResult Serialize(Archive* ar) override {
    if (SerializeResult rc = SerializeTypeHeader(ar, *this); rc != SerializeResult::Ok) return rc;
    if (SerializeResult rc = SerializeItemLevel(ar, true); rc != SerializeResult::Ok) return rc;
    ar->Io(value);
    return SerializeResult::Ok;
  }
};

class TestFactory : public IItemFactory {
 public:
  std::unique_ptr<Item> CreateItem(const std::string& key) const override {
    if (key == "T") return std::make_unique<TestItem>();
    return nullptr;
  }
};

class TestList : public ItemList {
 public:
  std::string GetTypeName() const override { return "TList"; }
  IItemFactory* GetItemFactory() const override {
    static TestFactory factory;
    return &factory;
  }
};

inline std::unique_ptr<Item> MakeItem(uint32_t id, const std::string& name, int32_t value = 0) {
  auto item = std::make_unique<TestItem>();
  item->id = id;
  item->name = name;
  item->value = value;
  return item;
}

// A store of one list, like the real database but with nothing of the portfolio domain.
class TestStore : public Database {
 public:
  TestList list;
  std::string GetTypeName() const override { return "TDB"; }
  int32_t GetVersion() const override { return 1; }
  SerializeResult Serialize(Archive* ar) override {
    if (SerializeResult rc = SerializeTypeHeader(ar, *this); rc != SerializeResult::Ok) return rc;
    return list.Serialize(ar);
  }
  void PrepareForLoad() override { list.RemoveAll(); }
};
