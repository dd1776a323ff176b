// Loads arbitrary bytes as a database file. A load must end in a result code, never a crash; a store that
// loads must save again, and that saved form must load and save to the very same bytes.
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <vector>

#include "framework/archive.h"
#include "framework/archive_stream.h"
#include "portfolio/database/vl_database.h"

// Loads the way Database::Open does, from memory instead of a file.
static SerializeResult LoadFrom(VLDatabase& db, MemoryStream& stream) {
  try {
    Archive ar(stream, Archive::Mode::Load);
    db.PrepareForLoad();
    return db.Serialize(&ar);
  } catch (const std::exception&) {
    return SerializeResult::Failed;
  }
}

static std::vector<uint8_t> StoreOf(VLDatabase& db) {
  MemoryStream out;
  Archive ar(out, Archive::Mode::Store);
  if (db.Serialize(&ar) != SerializeResult::Ok) std::abort();
  ar.Flush();
  return out.Bytes();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  VLDatabase db;
  MemoryStream in(data, size);
  if (LoadFrom(db, in) != SerializeResult::Ok) return 0;

  const std::vector<uint8_t> saved = StoreOf(db);
  VLDatabase again;
  MemoryStream savedStream(saved);
  if (LoadFrom(again, savedStream) != SerializeResult::Ok)
    std::abort();  // the code cannot read what it wrote
  if (again.GetQuoteCount() != db.GetQuoteCount() || again.GetPortfolioCount() != db.GetPortfolioCount() ||
      again.GetPositionCount() != db.GetPositionCount() || StoreOf(again) != saved) {
    std::abort();  // a load and save changed the store
  }
  return 0;
}
