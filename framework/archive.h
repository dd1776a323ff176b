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
  static constexpr uint32_t kTimeMarker = 0x8000000A;

  Archive(ArchiveStream& stream, Mode mode);
  // A storing archive must be flushed with Flush() before it is destroyed; the destructor does not write.
  ~Archive();
  Archive(const Archive&) = delete;
  Archive& operator=(const Archive&) = delete;

  bool IsStoring() const { return mode == Mode::Store; }
  bool IsLoading() const { return mode == Mode::Load; }

  void WriteUInt32(uint32_t v);
  void WriteInt32(int32_t v) { WriteUInt32(static_cast<uint32_t>(v)); }
  void WriteBool(bool v) { WriteUInt32(v ? 1 : 0); }  // 32-bit 0 or 1
  void WriteDouble(double v);
  void WriteTime(int64_t seconds);  // the marker, then 8 bytes
  void WriteString(std::string_view s);
  void WriteScrambledString(std::string_view s);  // every text byte complemented
  void WriteBytes(const void* src, size_t n);

  uint32_t ReadUInt32();
  int32_t ReadInt32() { return static_cast<int32_t>(ReadUInt32()); }
  bool ReadBool() { return ReadUInt32() != 0; }
  double ReadDouble();
  int64_t ReadTime();  // also reads the older bare 32-bit form
  std::string ReadString();
  std::string ReadScrambledString();
  void ReadBytes(void* dst, size_t n);

  // Symmetric helpers: store the value or load into it, by the archive's direction.
  void Io(uint32_t& v) { IsStoring() ? WriteUInt32(v) : void(v = ReadUInt32()); }
  void Io(int32_t& v) { IsStoring() ? WriteInt32(v) : void(v = ReadInt32()); }
  void Io(bool& v) { IsStoring() ? WriteBool(v) : void(v = ReadBool()); }
  void Io(double& v) { IsStoring() ? WriteDouble(v) : void(v = ReadDouble()); }
  void IoTime(int64_t& v) { IsStoring() ? WriteTime(v) : void(v = ReadTime()); }
  void Io(std::string& s) { IsStoring() ? WriteString(s) : void(s = ReadString()); }
  void IoScrambled(std::string& s) { IsStoring() ? WriteScrambledString(s) : void(s = ReadScrambledString()); }

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

  ArchiveStream& stream;
  Mode mode;
  std::vector<uint8_t> buffer;
  size_t pos = 0;  // next byte to read, or bytes buffered for writing
  size_t end = 0;  // valid bytes in the buffer when loading
};

// Complements every byte: the scrambled form of stored texts.
std::string ScrambleText(std::string_view s);
void ScrambleInPlace(std::string& s);
