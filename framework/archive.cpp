#include "framework/archive.h"

#include <cstring>

#include "framework/archive_stream.h"

namespace {

// Length prefixes: one byte below 0xFF; 0xFF + 16 bits below 0xFFFE; else 0xFF, 0xFFFF and 32 bits.
constexpr uint32_t kShortLimit = 0xFF;
constexpr uint32_t kMediumLimit = 0xFFFE;

}  // namespace

std::string ScrambleText(std::string_view s) {
  std::string out(s);
  ScrambleInPlace(out);
  return out;
}

namespace {
// Complements n bytes from `in` to `out` (which may be the same), eight at a time.
void Complement(const char* in, char* out, size_t n) {
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t word;
    std::memcpy(&word, in + i, 8);
    word = ~word;
    std::memcpy(out + i, &word, 8);
  }
  for (; i < n; ++i) out[i] = static_cast<char>(~static_cast<unsigned char>(in[i]));
}
}  // namespace

void ScrambleInPlace(std::string& s) {
  Complement(s.data(), s.data(), s.size());
}

Archive::Archive(ArchiveStream& stream, Mode mode, size_t bufferSize)
    : stream(stream), mode(mode), buffer(bufferSize) {}

Archive::~Archive() = default;

void Archive::Flush() {
  if (!IsStoring() || pos == 0) return;
  stream.Write(buffer.data(), pos);
  pos = 0;
}

void Archive::WriteBytes(const void* src, size_t n) {
  if (!IsStoring()) throw ArchiveError("write on a loading archive");
  if (buffer.size() - pos >= n) {
    std::memcpy(buffer.data() + pos, src, n);
    pos += n;
    return;
  }
  const auto* p = static_cast<const uint8_t*>(src);
  while (n > 0) {
    if (pos == buffer.size()) Flush();
    const size_t take = std::min(n, buffer.size() - pos);
    std::memcpy(buffer.data() + pos, p, take);
    pos += take;
    p += take;
    n -= take;
  }
}

void Archive::Fill() {
  pos = 0;
  end = stream.Read(buffer.data(), buffer.size());
}

void Archive::ReadBytes(void* dst, size_t n) {
  if (!IsLoading()) throw ArchiveError("read on a storing archive");
  if (end - pos >= n) {  // the common case: all of it is buffered
    std::memcpy(dst, buffer.data() + pos, n);
    pos += n;
    return;
  }
  auto* p = static_cast<uint8_t*>(dst);
  while (n > 0) {
    if (pos == end) {
      Fill();
      if (end == 0) throw ArchiveError("unexpected end of data");
    }
    const size_t take = std::min(n, end - pos);
    std::memcpy(p, buffer.data() + pos, take);
    pos += take;
    p += take;
    n -= take;
  }
}

uint64_t Archive::Remaining() const {
  if (IsStoring()) return 0;
  return (end - pos) + stream.Remaining();
}

void Archive::CheckCount(uint64_t count, uint64_t minBytesEach) const {
  const uint64_t left = Remaining();
  if (minBytesEach == 0) minBytesEach = 1;
  if (count > left / minBytesEach) throw ArchiveError("count larger than the data that remains");
}

void Archive::WriteUInt32Slow(uint32_t v) {
  const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                        static_cast<uint8_t>(v >> 24)};
  WriteBytes(b, 4);
}

uint32_t Archive::ReadUInt32Slow() {
  uint8_t b[4];
  ReadBytes(b, 4);
  return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
}

static void WriteUInt64(Archive& ar, uint64_t v) {
  ar.WriteUInt32(static_cast<uint32_t>(v));
  ar.WriteUInt32(static_cast<uint32_t>(v >> 32));
}

static uint64_t ReadUInt64(Archive& ar) {
  const uint64_t lo = ar.ReadUInt32();
  const uint64_t hi = ar.ReadUInt32();
  return lo | hi << 32;
}

void Archive::WriteDouble(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  WriteUInt64(*this, bits);
}

double Archive::ReadDouble() {
  const uint64_t bits = ReadUInt64(*this);
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

void Archive::WriteInt64(int64_t v) {
  WriteUInt64(*this, static_cast<uint64_t>(v));
}

int64_t Archive::ReadInt64() {
  return static_cast<int64_t>(ReadUInt64(*this));
}

void Archive::WriteTime(int64_t seconds) {
  WriteUInt32(kTimeMarker);
  WriteUInt64(*this, static_cast<uint64_t>(seconds));
}

int64_t Archive::ReadTime() {
  const uint32_t first = ReadUInt32();
  if (first != kTimeMarker) return static_cast<int32_t>(first);  // the older bare 32-bit form
  return static_cast<int64_t>(ReadUInt64(*this));
}

void Archive::WriteString(std::string_view s) {
  const uint64_t len = s.size();
  if (len < kShortLimit && mode == Mode::Store && buffer.size() - pos > len) {  // short, and room for it
    buffer[pos] = static_cast<uint8_t>(len);
    std::memcpy(buffer.data() + pos + 1, s.data(), len);
    pos += 1 + len;
    return;
  }
  if (len < kShortLimit) {
    const uint8_t b = static_cast<uint8_t>(len);
    WriteBytes(&b, 1);
  } else if (len < kMediumLimit) {
    const uint8_t b[3] = {0xFF, static_cast<uint8_t>(len), static_cast<uint8_t>(len >> 8)};
    WriteBytes(b, 3);
  } else {
    if (len > 0xFFFFFFFFull) throw ArchiveError("string too long");
    const uint8_t b[3] = {0xFF, 0xFF, 0xFF};
    WriteBytes(b, 3);
    WriteUInt32(static_cast<uint32_t>(len));
  }
  WriteBytes(s.data(), s.size());
}

// Reads the length prefix of a string and checks it against what remains.
size_t Archive::ReadStringLength() {
  uint8_t first;
  ReadBytes(&first, 1);
  uint64_t len = first;
  if (first == 0xFF) {
    uint8_t b[2];
    ReadBytes(b, 2);
    len = uint32_t{b[0]} | uint32_t{b[1]} << 8;
    if (len == 0xFFFF) len = ReadUInt32();
  }
  if (len > Remaining()) throw ArchiveError("string longer than the data that remains");
  return static_cast<size_t>(len);
}

void Archive::ReadStringInto(std::string& s) {
  if (pos < end) {  // a short string that is buffered whole: one copy, straight from the buffer
    const size_t len = buffer[pos];
    if (len < kShortLimit && pos + 1 + len <= end) {
      s.assign(reinterpret_cast<const char*>(buffer.data() + pos + 1), len);
      pos += 1 + len;
      return;
    }
  }
  s = ReadString();
}

void Archive::ReadScrambledStringInto(std::string& s) {
  ReadStringInto(s);
  ScrambleInPlace(s);
}

bool Archive::ReadStringIs(std::string_view key) {
  if (pos < end) {
    const size_t len = buffer[pos];
    if (len < kShortLimit && pos + 1 + len <= end) {
      const bool same = std::string_view(reinterpret_cast<const char*>(buffer.data() + pos + 1), len) == key;
      pos += 1 + len;
      return same;
    }
  }
  return ReadString() == key;
}

std::string Archive::ReadString() {
  const size_t len = ReadStringLength();
  if (end - pos >= len) {  // buffered: copy once, without filling the string first
    std::string s(reinterpret_cast<const char*>(buffer.data() + pos), len);
    pos += len;
    return s;
  }
  std::string s(len, '\0');
  ReadBytes(s.data(), s.size());
  return s;
}

void Archive::WriteScrambledString(std::string_view s) {
  if (s.size() < kShortLimit && mode == Mode::Store && buffer.size() - pos > s.size()) {  // straight in
    buffer[pos] = static_cast<uint8_t>(s.size());
    Complement(s.data(), reinterpret_cast<char*>(buffer.data() + pos + 1), s.size());
    pos += 1 + s.size();
    return;
  }
  if (s.size() <= 256) {  // short texts, the usual kind, without a heap copy
    char scrambled[256];
    Complement(s.data(), scrambled, s.size());
    WriteString(std::string_view(scrambled, s.size()));
    return;
  }
  WriteString(ScrambleText(s));
}

std::string Archive::ReadScrambledString() {
  std::string s = ReadString();
  ScrambleInPlace(s);
  return s;
}
