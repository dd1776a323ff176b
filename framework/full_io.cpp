#include "framework/full_io.h"

#include <unistd.h>

ssize_t ReadSome(int fd, void* buffer, size_t size) {
  for (;;) {
    const ssize_t got = ::read(fd, buffer, size);
    if (got >= 0 || errno != EINTR) return got;
  }
}

bool ReadFullyAt(int fd, void* buffer, size_t size, uint64_t offset) {
  auto* p = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < size) {
    const ssize_t got = ::pread(fd, p + done, size - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      if (got == 0) errno = 0;
      return false;
    }
    done += static_cast<size_t>(got);
  }
  return true;
}

bool WriteFully(int fd, const void* data, size_t size) {
  return WriteFullyWith([fd](const void* p, size_t n) { return ::write(fd, p, n); }, data, size);
}
