#include "framework/save_file_ops.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

#include "framework/file_util.h"

int SaveFileOps::CreateTemp(std::string& pathTemplate) {
  return ::mkstemp(pathTemplate.data());
}

ssize_t SaveFileOps::Write(int fd, const void* data, size_t size) {
  return ::write(fd, data, size);
}

int SaveFileOps::Sync(int fd) {
  return ::fsync(fd);
}

int SaveFileOps::Rename(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str());
}

int SaveFileOps::SyncFolder(const std::string& folder) {
  FileHandle dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!dir.IsOpen()) return -1;
  return ::fsync(dir.Get());
}

SaveFileOps& SaveFileOps::System() {
  static SaveFileOps ops;
  return ops;
}
