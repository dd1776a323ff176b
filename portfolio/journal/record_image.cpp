#include "portfolio/journal/record_image.h"

#include <iterator>
#include <utility>

#include "framework/archive.h"
#include "framework/archive_stream.h"
#include "portfolio/records/vl_holding_item.h"
#include "portfolio/records/vl_item_factory.h"
#include "portfolio/records/vl_stock_holding_item.h"

// Collects what the archive writes, and is emptied before each record.
class RecordImager::Sink : public ArchiveStream {
 public:
  size_t Read(void*, size_t) override { throw ArchiveError("an image is only written here"); }
  void Write(const void* src, size_t n) override { bytes.append(static_cast<const char*>(src), n); }
  uint64_t Remaining() const override { return 0; }
  std::string bytes;
};

namespace {

// Reads an image; it is never written through.
class ImageStream : public ArchiveStream {
 public:
  explicit ImageStream(std::string_view bytes) : bytes(bytes) {}
  size_t Read(void* dst, size_t n) override {
    const size_t take = std::min(n, bytes.size() - at);
    bytes.copy(static_cast<char*>(dst), take, at);
    at += take;
    return take;
  }
  void Write(const void*, size_t) override { throw ArchiveError("an image is only read here"); }
  uint64_t Remaining() const override { return bytes.size() - at; }

 private:
  std::string_view bytes;
  size_t at = 0;
};

// A record is small; the buffer only has to hold one at a time.
constexpr size_t kImageBufferSize = 1024;

}  // namespace

RecordImager::RecordImager()
    : sink(std::make_unique<Sink>()),
      archive(std::make_unique<Archive>(*sink, Archive::Mode::Store, kImageBufferSize)) {}

RecordImager::~RecordImager() = default;

std::string_view RecordImager::Image(JournalRecordKind kind, Item& item) {
  sink->bytes.clear();
  VLStockHoldingItem* stock = nullptr;
  if (kind == JournalRecordKind::Position && static_cast<VLHoldingItem&>(item).GetKind() == kHoldingStock) {
    stock = static_cast<VLStockHoldingItem*>(&item);
  }
  const uint32_t quoteId = stock ? std::exchange(stock->quoteId, 0u) : 0;
  archive->WriteString(item.GetTypeName());
  // Records of this store always write themselves; a failure would leave a shorter image, which no
  // restore accepts.
  (void)item.Serialize(archive.get());
  archive->Flush();
  if (stock) stock->quoteId = quoteId;
  return sink->bytes;
}

std::unique_ptr<Item> RestoreRecord(JournalRecordKind kind, std::string_view image) {
  // Each kind's factory, in the order of JournalRecordKind.
  static const VLItemFactory factories[] = {
      VLItemFactory(VLItemFactory::kPortfolios), VLItemFactory(VLItemFactory::kPositions),
      VLItemFactory(VLItemFactory::kManualPrices), VLItemFactory(VLItemFactory::kCorporateActions),
      VLItemFactory(VLItemFactory::kIncome)};
  static_assert(std::size(factories) == static_cast<size_t>(kLastJournalRecordKind) + 1);
  const auto slot = static_cast<size_t>(kind);
  if (slot >= std::size(factories)) return nullptr;
  const VLItemFactory* factory = &factories[slot];
  try {
    ImageStream stream(image);
    Archive ar(stream, Archive::Mode::Load, kImageBufferSize);
    std::unique_ptr<Item> item = factory->CreateItem(ar.ReadString());
    if (!item || item->Serialize(&ar) != SerializeResult::Ok || ar.Remaining() != 0 || item->id == 0)
      return nullptr;
    return item;
  } catch (const ArchiveError&) {
    return nullptr;
  }
}
