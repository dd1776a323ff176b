#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class Archive;
class Item;

// Which list of the store a journaled record belongs to.
enum class JournalRecordKind : uint8_t {
  Portfolio = 0,
  Position = 1,
  ManualPrice = 2,
  CorporateAction = 3,
  Income = 4,
};
// The last kind an entry may name; a later number is damage.
inline constexpr JournalRecordKind kLastJournalRecordKind = JournalRecordKind::Income;

// The journal's form of a portfolio, position, price set by hand or corporate action, its "image": the
// record's type key, then what the record's Serialize writes into the database file, every field included,
// except that a stock position's quote id is written as 0. The symbol (the position's name) is what binds it
// to a cached quote, so an image re-creates its record alone, in this store or another, and two stores that
// hold the same records give the same images.
class RecordImager {
 public:
  RecordImager();
  ~RecordImager();
  RecordImager(const RecordImager&) = delete;
  RecordImager& operator=(const RecordImager&) = delete;

  // The image of `item`, a record of `kind`; the bytes stay valid until the next call. Records of this store
  // always write. A stock position's quote id is set to 0 while it is written and put back after.
  std::string_view Image(JournalRecordKind kind, Item& item);

 private:
  class Sink;
  std::unique_ptr<Sink> sink;
  std::unique_ptr<Archive> archive;
};

// The record an image holds, when it is a whole record of `kind` (a portfolio, a stock, cash or margin
// position, a price set by hand or a corporate action) and nothing more; null for anything else. Never trusts
// the bytes: a damaged image gives null.
std::unique_ptr<Item> RestoreRecord(JournalRecordKind kind, std::string_view image);
