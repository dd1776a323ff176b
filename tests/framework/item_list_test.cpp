#include "framework/item_list.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "framework/archive_stream.h"
#include "test_records.h"
#include "tests/support/record_bytes.h"

namespace {

class ByName : public IItemComparer {
 public:
  mutable int calls = 0;
  int32_t Compare(const Item* a, const Item* b) const override {
    ++calls;
    return a->name.compare(b->name);
  }
};

// Writes a list header by hand, so tests can give it any name, version and count.
std::vector<uint8_t> ListHeader(const std::string& name, int32_t version, uint32_t count) {
  MemoryStream stream;
  Archive ar(stream, Archive::Mode::Store);
  ar.WriteString(name);
  ar.WriteInt32(version);
  ar.WriteUInt32(count);
  ar.Flush();
  return stream.Bytes();
}

}  // namespace

TEST(ItemListOwnership, AddRefusesADuplicateIdAndLeavesTheItemWithTheCaller) {
  TestList list;
  EXPECT_TRUE(list.Add(MakeItem(0, "a")));
  EXPECT_TRUE(list.Add(MakeItem(0, "b")));  // id 0 may repeat
  EXPECT_TRUE(list.Add(MakeItem(7, "c")));
  auto dup = MakeItem(7, "d");
  EXPECT_FALSE(list.Add(std::move(dup)));
  ASSERT_NE(dup, nullptr);  // still ours
  EXPECT_EQ(dup->name, "d");
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list.GetAt(2)->name, "c");
}

TEST(ItemListOwnership, LookupsAndRemovalsAtTheEdges) {
  TestList list;
  EXPECT_EQ(list.FindIndex(1), -1);
  EXPECT_EQ(list.GetAt(0), nullptr);
  list.Add(MakeItem(1, "a"));
  list.Add(MakeItem(2, "b"));
  EXPECT_EQ(list.GetAt(-1), nullptr);
  EXPECT_EQ(list.GetAt(2), nullptr);
  EXPECT_EQ(list.FindIndex(2), 1);
  EXPECT_FALSE(list.Remove(0));
  EXPECT_FALSE(list.Remove(9));
  EXPECT_TRUE(list.Remove(1));
  EXPECT_EQ(list.GetCount(), 1);
  EXPECT_EQ(list.GetAt(0)->name, "b");
  auto taken = list.RemoveAt(0);
  EXPECT_EQ(taken->name, "b");
  EXPECT_EQ(list.GetCount(), 0);
}

TEST(ItemListSort, ExchangeSortIsNotStableAndComparesEveryPair) {
  TestList list;
  list.Add(MakeItem(1, "b"));
  list.Add(MakeItem(2, "b"));  // b'
  list.Add(MakeItem(3, "a"));
  ByName byName;
  list.Sort(byName);
  EXPECT_EQ(list.GetAt(0)->id, 3u);
  EXPECT_EQ(list.GetAt(1)->id, 2u);  // b' now before b
  EXPECT_EQ(list.GetAt(2)->id, 1u);
  EXPECT_EQ(byName.calls, 3);

  TestList big;
  for (int i = 0; i < 20; ++i) big.Add(MakeItem(0, std::string(1, static_cast<char>('z' - i))));
  byName.calls = 0;
  big.Sort(byName);
  EXPECT_EQ(byName.calls, 20 * 19 / 2);
  for (int i = 1; i < 20; ++i) EXPECT_LE(big.GetAt(i - 1)->name, big.GetAt(i)->name);
}

TEST(ItemListSort, ApplyOrderMovesItemsByPermutationAndIgnoresAnythingElse) {
  TestList list;
  for (uint32_t id = 1; id <= 3; ++id) list.Add(MakeItem(id, "x"));
  list.ApplyOrder({2, 0, 1});
  EXPECT_EQ(list.GetAt(0)->id, 3u);
  EXPECT_EQ(list.GetAt(1)->id, 1u);
  list.ApplyOrder({0, 0, 1});  // not a permutation: nothing may be lost
  EXPECT_EQ(list.GetCount(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_NE(list.GetAt(i), nullptr);
}

TEST(ItemListSerialize, RoundTripKeepsOrderFieldsAndTypeKeys) {
  TestList list;
  list.Add(MakeItem(4, "first", -3));
  list.Add(MakeItem(9, "second", 12));
  const auto bytes = StoreRecord(list);

  TestList loaded;
  loaded.Add(MakeItem(1, "stale"));
  ASSERT_EQ(LoadRecord(loaded, bytes), SerializeResult::Ok);
  ASSERT_EQ(loaded.GetCount(), 2);
  auto* second = static_cast<TestItem*>(loaded.GetAt(1));
  EXPECT_EQ(second->id, 9u);
  EXPECT_EQ(second->name, "second");
  EXPECT_EQ(second->value, 12);

  TestList empty;
  TestList fromEmpty;
  fromEmpty.Add(MakeItem(1, "x"));
  EXPECT_EQ(LoadRecord(fromEmpty, StoreRecord(empty)), SerializeResult::Ok);
  EXPECT_EQ(fromEmpty.GetCount(), 0);
}

TEST(ItemListSerialize, RefusalCodes) {
  TestList list;
  EXPECT_EQ(LoadRecord(list, ListHeader("TList", 2, 0)), SerializeResult::VersionTooNew);
  EXPECT_EQ(LoadRecord(list, ListHeader("Other", 1, 0)), SerializeResult::TypeMismatch);

  auto unknownKey = ListHeader("TList", 1, 1);
  unknownKey.insert(unknownKey.end(), {1, 'Q'});
  unknownKey.resize(unknownKey.size() + 40);  // room for a record, so only the key decides
  EXPECT_EQ(LoadRecord(list, unknownKey), SerializeResult::TypeMismatch);

  TestList one;
  one.Add(MakeItem(1, "abc"));
  auto cut = StoreRecord(one);
  cut.resize(cut.size() - 2);
  EXPECT_THROW((void)LoadRecord(list, cut), ArchiveError);  // the database turns this into Failed

  // A count far beyond the bytes present is refused before anything is allocated.
  EXPECT_THROW((void)LoadRecord(list, ListHeader("TList", 1, 0x7FFFFFFF)), ArchiveError);
}

TEST(ItemListSerialize, AFailingItemDiscardsTheWholeList) {
  TestList list;
  list.Add(MakeItem(1, "a"));
  list.Add(MakeItem(2, "b"));
  auto bytes = StoreRecord(list);
  // Each record holds its key and version twice ("T", 1): the third such pair is the second record's own.
  const std::vector<uint8_t> marker{1, 'T', 1, 0, 0, 0};
  auto at = bytes.begin();
  for (int n = 0; n < 3; ++n) {
    at = std::search(n == 0 ? at : at + 1, bytes.end(), marker.begin(), marker.end());
    ASSERT_NE(at, bytes.end());
  }
  at[2] = 2;
  TestList loaded;
  EXPECT_EQ(LoadRecord(loaded, bytes), SerializeResult::VersionTooNew);
  EXPECT_EQ(loaded.GetCount(), 0);
}
