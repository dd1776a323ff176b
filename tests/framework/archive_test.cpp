#include "framework/archive.h"

#include <gtest/gtest.h>

#include <functional>

#include "framework/archive_stream.h"

namespace {

std::vector<uint8_t> Store(const std::function<void(Archive&)>& write) {
  MemoryStream stream;
  Archive ar(stream, Archive::Mode::Store);
  write(ar);
  ar.Flush();
  return stream.Bytes();
}

}  // namespace

TEST(ArchiveEncoding, StringPrefixesUseOneThreeOrSevenBytes) {
  auto shortBytes = Store([](Archive& ar) { ar.WriteString(std::string(254, 'a')); });
  ASSERT_EQ(shortBytes.size(), 255u);
  EXPECT_EQ(shortBytes[0], 254);

  auto b255 = Store([](Archive& ar) { ar.WriteString(std::string(255, 'a')); });
  ASSERT_EQ(b255.size(), 258u);
  EXPECT_EQ(b255[0], 0xFF);
  EXPECT_EQ(b255[1], 0xFF);
  EXPECT_EQ(b255[2], 0x00);

  auto below = Store([](Archive& ar) { ar.WriteString(std::string(0xFFFD, 'a')); });
  EXPECT_EQ(below[0], 0xFF);
  EXPECT_EQ(below[1], 0xFD);
  EXPECT_EQ(below[2], 0xFF);
  EXPECT_EQ(below.size(), 3u + 0xFFFD);

  auto longBytes = Store([](Archive& ar) { ar.WriteString(std::string(0xFFFE, 'a')); });
  ASSERT_EQ(longBytes.size(), 7u + 0xFFFE);
  const std::vector<uint8_t> prefix{0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00};
  EXPECT_TRUE(std::equal(prefix.begin(), prefix.end(), longBytes.begin()));

  for (size_t len : {0u, 1u, 254u, 255u, 0xFFFDu, 0xFFFEu, 0x12345u}) {
    MemoryStream stream(Store([&](Archive& ar) { ar.WriteString(std::string(len, 'x')); }));
    Archive ar(stream, Archive::Mode::Load);
    EXPECT_EQ(ar.ReadString().size(), len);
  }
}

TEST(ArchiveEncoding, TimeStampsCarryAMarkerAndReadTheOlderForm) {
  auto zero = Store([](Archive& ar) { ar.WriteTime(0); });
  EXPECT_EQ(zero, (std::vector<uint8_t>{0x0A, 0, 0, 0x80, 0, 0, 0, 0, 0, 0, 0, 0}));

  MemoryStream bare(Store([](Archive& ar) {
    ar.WriteUInt32(1000);
    ar.WriteTime(-86400);
    ar.WriteTime(4102444800LL);  // beyond 32 bits
  }));
  Archive ar(bare, Archive::Mode::Load);
  EXPECT_EQ(ar.ReadTime(), 1000);
  EXPECT_EQ(ar.ReadTime(), -86400);
  EXPECT_EQ(ar.ReadTime(), 4102444800LL);
}

TEST(ArchiveEncoding, IntegersAreLittleEndianAndScrambledTextIsComplemented) {
  auto bytes = Store([](Archive& ar) {
    ar.WriteUInt32(0x01020304);
    ar.WriteScrambledString("AB");
    ar.WriteDouble(2.5);
  });
  ASSERT_EQ(bytes.size(), 4u + 3u + 8u);
  EXPECT_EQ(bytes[0], 0x04);
  EXPECT_EQ(bytes[3], 0x01);
  EXPECT_EQ(bytes[4], 2);  // the prefix is not complemented
  EXPECT_EQ(bytes[5], static_cast<uint8_t>(~'A'));
  EXPECT_EQ(bytes[6], static_cast<uint8_t>(~'B'));

  MemoryStream stream(bytes);
  Archive ar(stream, Archive::Mode::Load);
  EXPECT_EQ(ar.ReadUInt32(), 0x01020304u);
  EXPECT_EQ(ar.ReadScrambledString(), "AB");
  EXPECT_EQ(ar.ReadDouble(), 2.5);
}

TEST(ArchiveEncoding, ValuesSpanningTheBufferSurviveARoundTrip) {
  // Enough data to cross several 8192-byte buffer boundaries at odd offsets.
  auto bytes = Store([](Archive& ar) {
    for (int i = 0; i < 5000; ++i) {
      ar.WriteString("v" + std::to_string(i));
      ar.WriteInt32(-i);
    }
  });
  MemoryStream stream(bytes);
  Archive ar(stream, Archive::Mode::Load);
  for (int i = 0; i < 5000; ++i) {
    ASSERT_EQ(ar.ReadString(), "v" + std::to_string(i));
    ASSERT_EQ(ar.ReadInt32(), -i);
  }
  EXPECT_EQ(ar.Remaining(), 0u);
}

TEST(ArchiveDistrust, ShortDataAndImpossibleLengthsThrowInsteadOfAllocating) {
  {
    MemoryStream stream(std::vector<uint8_t>{1, 2});
    Archive ar(stream, Archive::Mode::Load);
    EXPECT_THROW(ar.ReadUInt32(), ArchiveError);
  }
  {
    // Claims a 4 GiB string, holds 3 bytes.
    MemoryStream stream(std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c'});
    Archive ar(stream, Archive::Mode::Load);
    EXPECT_THROW(ar.ReadString(), ArchiveError);
  }
  {
    MemoryStream stream(std::vector<uint8_t>(100, 0));
    Archive ar(stream, Archive::Mode::Load);
    EXPECT_NO_THROW(ar.CheckCount(20, 5));
    EXPECT_THROW(ar.CheckCount(21, 5), ArchiveError);
    EXPECT_THROW(ar.CheckCount(0xFFFFFFFFu, 1), ArchiveError);
  }
}
