#pragma once
#include <sys/types.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>

// Reading and writing file descriptors without being cut short by a signal (EINTR), in one place.

// One read(2), retried after a signal: the bytes read, 0 at the end of the file, -1 with errno on failure.
ssize_t ReadSome(int fd, void* buffer, size_t size);

// Exactly `size` bytes from `offset` (pread(2), the file position untouched); false with errno set, 0 when
// the file ended first.
bool ReadFullyAt(int fd, void* buffer, size_t size, uint64_t offset);

// All `size` bytes through `write`, a call of the form write(data, size) -> ssize_t (the system's, or a
// test's in its place), again after a signal; false with errno set, ENOSPC for a write that took nothing.
template <typename Write>
bool WriteFullyWith(Write&& write, const void* data, size_t size) {
  const auto* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t put = write(p, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      if (put == 0) errno = ENOSPC;
      return false;
    }
    p += put;
    size -= static_cast<size_t>(put);
  }
  return true;
}

// WriteFullyWith through write(2).
bool WriteFully(int fd, const void* data, size_t size);
