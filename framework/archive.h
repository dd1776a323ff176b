#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/archive_error.h"

class ArchiveStream;

// A buffered, one-direction stream of the primitive encodings of the database file:
// little-endian 32-bit integers, doubles, time stamps and length-prefixed single-byte strings.
class Archive {
 public:
  enum class Mode { Load, Store };
  static constexpr size_t kBufferSize = 8192;
  // What a save writes at once: a store of many megabytes in 8 KiB pieces spends more time in the system
  // calls than in encoding its records.
  static constexpr size_t kSaveBufferSize = 256 * 1024;
  static constexpr uint32_t kTimeMarker = 0x8000000A;

  Archive(ArchiveStream& stream, Mode mode, size_t bufferSize = kBufferSize);
  // A storing archive must be flushed with Flush() before it is destroyed; the destructor does not write.
  ~Archive();
  Archive(const Archive&) = delete;
  Archive& operator=(const Archive&) = delete;

  bool IsStoring() const { return mode == Mode::Store; }
  bool IsLoading() const { return mode == Mode::Load; }

  void WriteUInt32(uint32_t v) {
    if (mode == Mode::Store && buffer.size() - pos >= 4) {  // the common case: room in the buffer
      uint8_t* b = buffer.data() + pos;
      b[0] = static_cast<uint8_t>(v);
      b[1] = static_cast<uint8_t>(v >> 8);
      b[2] = static_cast<uint8_t>(v >> 16);
      b[3] = static_cast<uint8_t>(v >> 24);
      pos += 4;
      return;
    }
    WriteUInt32Slow(v);
  }
  void WriteInt32(int32_t v) { WriteUInt32(static_cast<uint32_t>(v)); }
  void WriteBool(bool v) { WriteUInt32(v ? 1 : 0); }  // 32-bit 0 or 1
  void WriteDouble(double v);
  void WriteInt64(int64_t v);       // 8 bytes, little-endian
  void WriteTime(int64_t seconds);  // the marker, then 8 bytes
  void WriteString(std::string_view s);
  void WriteScrambledString(std::string_view s);  // every text byte complemented
  void WriteBytes(const void* src, size_t n);

  uint32_t ReadUInt32() {
    if (pos + 4 <= end) {  // the common case: buffered (never true while storing, where end is 0)
      const uint8_t* b = buffer.data() + pos;
      pos += 4;
      return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
    }
    return ReadUInt32Slow();
  }
  int32_t ReadInt32() { return static_cast<int32_t>(ReadUInt32()); }
  bool ReadBool() { return ReadUInt32() != 0; }
  double ReadDouble();
  int64_t ReadInt64();
  int64_t ReadTime();  // also reads the older bare 32-bit form
  std::string ReadString();
  std::string ReadScrambledString();
  // Load a string into `s`, reusing its storage.
  void ReadStringInto(std::string& s);
  void ReadScrambledStringInto(std::string& s);
  // Reads a string and tells whether it is `key`, without keeping it (type keys and names).
  bool ReadStringIs(std::string_view key);
  void ReadBytes(void* dst, size_t n);

  // Symmetric helpers: store the value or load into it, by the archive's direction.
  void Io(uint32_t& v) { IsStoring() ? WriteUInt32(v) : void(v = ReadUInt32()); }
  void Io(int32_t& v) { IsStoring() ? WriteInt32(v) : void(v = ReadInt32()); }
  void Io(bool& v) { IsStoring() ? WriteBool(v) : void(v = ReadBool()); }
  void Io(double& v) { IsStoring() ? WriteDouble(v) : void(v = ReadDouble()); }
  void IoInt64(int64_t& v) { IsStoring() ? WriteInt64(v) : void(v = ReadInt64()); }
  void IoTime(int64_t& v) { IsStoring() ? WriteTime(v) : void(v = ReadTime()); }
  void Io(std::string& s) { IsStoring() ? WriteString(s) : ReadStringInto(s); }
  void IoScrambled(std::string& s) { IsStoring() ? WriteScrambledString(s) : ReadScrambledStringInto(s); }

  // Bytes still to be read: what is buffered plus what the stream has left.
  uint64_t Remaining() const;
  // Throws ArchiveError when `count` records of at least `minBytesEach` bytes cannot fit in what remains.
  // Lets a loader refuse an absurd count before it allocates anything.
  void CheckCount(uint64_t count, uint64_t minBytesEach) const;

  // Writes what is buffered to the stream (storing only).
  void Flush();

 private:
  void Fill();
  size_t ReadStringLength();
  void WriteUInt32Slow(uint32_t v);
  uint32_t ReadUInt32Slow();

  ArchiveStream& stream;
  Mode mode;
  std::vector<uint8_t> buffer;
  size_t pos = 0;  // next byte to read, or bytes buffered for writing
  size_t end = 0;  // valid bytes in the buffer when loading
};

// Complements every byte: the scrambled form of stored texts.
std::string ScrambleText(std::string_view s);
void ScrambleInPlace(std::string& s);
