#pragma once
// A record stored into bytes and loaded back from them, as the store's files hold it.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "framework/archive.h"
#include "framework/archive_stream.h"

template <typename Record>
std::vector<uint8_t> StoreRecord(Record& record) {
  MemoryStream stream;
  Archive ar(stream, Archive::Mode::Store);
  EXPECT_EQ(record.Serialize(&ar), SerializeResult::Ok);
  ar.Flush();
  return stream.Bytes();
}

// The record's own code; a read past the end of `bytes` throws ArchiveError.
template <typename Record>
SerializeResult LoadRecord(Record& record, const std::vector<uint8_t>& bytes) {
  MemoryStream stream(bytes);
  Archive ar(stream, Archive::Mode::Load);
  return record.Serialize(&ar);
}
