#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The bytes beneath an archive: a file or a memory buffer.
class ArchiveStream {
 public:
  virtual ~ArchiveStream() = default;
  // Reads up to n bytes; returns how many were read (0 at the end). Throws ArchiveError on an I/O error.
  virtual size_t Read(void* dst, size_t n) = 0;
  // Writes all n bytes or throws ArchiveError.
  virtual void Write(const void* src, size_t n) = 0;
  // Bytes left between the read position and the end.
  virtual uint64_t Remaining() const = 0;
};

// Reads from or appends to a byte vector held by the stream.
class MemoryStream : public ArchiveStream {
 public:
  MemoryStream() = default;
  explicit MemoryStream(std::vector<uint8_t> bytes) : bytes(std::move(bytes)) {}
  MemoryStream(const void* data, size_t size);

  size_t Read(void* dst, size_t n) override;
  void Write(const void* src, size_t n) override;
  uint64_t Remaining() const override { return bytes.size() - readPos; }

  const std::vector<uint8_t>& Bytes() const { return bytes; }

 private:
  std::vector<uint8_t> bytes;
  size_t readPos = 0;
};

// Reads from or writes to an open file descriptor, from its current offset. Does not own the descriptor.
class FileStream : public ArchiveStream {
 public:
  explicit FileStream(int fd);
  size_t Read(void* dst, size_t n) override;
  void Write(const void* src, size_t n) override;
  uint64_t Remaining() const override;

 private:
  int fd;
  uint64_t position = 0;
  uint64_t size = 0;
};
