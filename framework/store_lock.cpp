#include "framework/store_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <ostream>

#include <cerrno>
#include <chrono>
#include <thread>

namespace {

FileIdentity IdentityOf(const struct stat& st) {
  FileIdentity id;
  id.device = static_cast<uint64_t>(st.st_dev);
  id.inode = static_cast<uint64_t>(st.st_ino);
  id.size = static_cast<int64_t>(st.st_size);
  id.modifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return id;
}

bool IsTempChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

constexpr size_t kTempSuffixLength = 6;  // what mkstemp puts in place of "XXXXXX"

}  // namespace

bool IdentityOfPath(const std::string& path, FileIdentity& identity) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  identity = IdentityOf(st);
  return true;
}

bool IdentityOfFile(int fd, FileIdentity& identity) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return false;
  identity = IdentityOf(st);
  return true;
}

bool IsWriteRefusal(int error) {
  return error == EACCES || error == EPERM || error == EROFS || error == ETXTBSY;
}

LockResult LockStoreFile(const std::string& path, int waitMs, FileHandle& file, StoreAccess access,
                         int* systemError) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(waitMs < 0 ? 0 : waitMs);
  auto pause = std::chrono::milliseconds(1);
  auto failed = [systemError](LockResult code, int error) {
    if (systemError) *systemError = error;
    return code;
  };
  for (;;) {
    bool readOnly = false;
    FileHandle opened(::open(path.c_str(), O_RDWR | O_CLOEXEC));
    if (!opened.IsOpen()) {
      const int error = errno;
      if (error == ENOENT) return LockResult::Missing;
      if (!IsWriteRefusal(error)) return failed(LockResult::Failed, error);
      if (access == StoreAccess::Write) return failed(LockResult::ReadOnly, error);
      // A lock taken through a descriptor opened for reading is as exclusive as any other.
      opened = FileHandle(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
      if (!opened.IsOpen()) return errno == ENOENT ? LockResult::Missing : failed(LockResult::Failed, errno);
      readOnly = true;
      if (systemError) *systemError = error;
    }
    if (::flock(opened.Get(), LOCK_EX | LOCK_NB) == 0) {
      FileIdentity held, atPath;
      if (!IdentityOfFile(opened.Get(), held)) return failed(LockResult::Failed, errno);
      if (IdentityOfPath(path, atPath) && held.device == atPath.device && held.inode == atPath.inode) {
        file = std::move(opened);
        return readOnly ? LockResult::ReadOnly : LockResult::Locked;
      }
      continue;  // replaced while we waited: lock the file that is there now
    }
    if (errno != EWOULDBLOCK && errno != EINTR) return failed(LockResult::Failed, errno);
    opened.Close();
    if (Clock::now() >= deadline) return LockResult::Busy;
    std::this_thread::sleep_for(pause);
    if (pause < std::chrono::milliseconds(16)) pause *= 2;
  }
}

std::string TempTemplateFor(const std::string& path) {
  return path + "." + std::string(kTempSuffixLength, 'X');
}

int RemoveStaleTempFiles(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
  const std::string prefix = (slash == std::string::npos ? path : path.substr(slash + 1)) + ".";
  int removed = 0;
  for (const std::string& name : ListFolder(folder)) {
    if (name.size() != prefix.size() + kTempSuffixLength || name.compare(0, prefix.size(), prefix) != 0)
      continue;
    bool pattern = true;
    for (size_t i = prefix.size(); i < name.size(); ++i) pattern = pattern && IsTempChar(name[i]);
    if (!pattern) continue;
    const std::string full = (slash == std::string::npos ? std::string() : folder) + name;
    struct stat st {};
    if (::lstat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (DeleteFile(full)) ++removed;
  }
  return removed;
}

std::ostream& operator<<(std::ostream& out, LockResult result) {
  switch (result) {
    case LockResult::Locked:
      return out << "Locked";
    case LockResult::Failed:
      return out << "Failed";
    case LockResult::Missing:
      return out << "Missing";
    case LockResult::Busy:
      return out << "Busy";
    case LockResult::ReadOnly:
      return out << "ReadOnly";
  }
  return out << static_cast<int>(result);
}
