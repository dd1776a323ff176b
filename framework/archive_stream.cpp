#include "framework/archive_stream.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "framework/archive_error.h"
#include "framework/full_io.h"

MemoryStream::MemoryStream(const void* data, size_t size)
    : bytes(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size) {}

size_t MemoryStream::Read(void* dst, size_t n) {
  const size_t take = std::min(n, bytes.size() - readPos);
  if (take) std::memcpy(dst, bytes.data() + readPos, take);
  readPos += take;
  return take;
}

void MemoryStream::Write(const void* src, size_t n) {
  const auto* p = static_cast<const uint8_t*>(src);
  bytes.insert(bytes.end(), p, p + n);
}

FileStream::FileStream(int fd) : fd(fd) {
  const off_t cur = ::lseek(fd, 0, SEEK_CUR);
  struct stat st {};
  if (cur >= 0 && ::fstat(fd, &st) == 0) {
    position = static_cast<uint64_t>(cur);
    size = static_cast<uint64_t>(st.st_size);
  }
}

size_t FileStream::Read(void* dst, size_t n) {
  const ssize_t got = ReadSome(fd, dst, n);
  if (got < 0) throw ArchiveError(std::string("read failed: ") + std::strerror(errno));
  position += static_cast<uint64_t>(got);
  return static_cast<size_t>(got);
}

void FileStream::Write(const void* src, size_t n) {
  if (!WriteFully(fd, src, n)) throw ArchiveError(std::string("write failed: ") + std::strerror(errno));
  position += n;
  if (position > size) size = position;
}

uint64_t FileStream::Remaining() const {
  return size > position ? size - position : 0;
}
