#pragma once
#include <sys/types.h>

#include <cstddef>
#include <string>

// The file-system calls by which a save makes its result durable, in the order it makes them:
// create the temporary file, write it, flush it to disk, rename it over the database, flush the folder.
// The defaults are the system calls; a test substitutes its own to watch the order or to fail one step.
// Each answers as the system call does: -1 (with errno set) on failure.
class SaveFileOps {
 public:
  virtual ~SaveFileOps() = default;
  // mkstemp: replaces the trailing "XXXXXX" of `pathTemplate`; the new descriptor, owned by the caller.
  [[nodiscard]] virtual int CreateTemp(std::string& pathTemplate);
  [[nodiscard]] virtual ssize_t Write(int fd, const void* data, size_t size);
  [[nodiscard]] virtual int Sync(int fd);
  [[nodiscard]] virtual int Rename(const std::string& from, const std::string& to);
  // Opens `folder` and flushes its entries, so that a completed rename survives a power cut.
  [[nodiscard]] virtual int SyncFolder(const std::string& folder);

  // The system calls; lives as long as the program.
  static SaveFileOps& System();
};
