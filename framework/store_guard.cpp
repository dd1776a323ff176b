#include "framework/store_guard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Opens the lock file, making it when missing beside an existing store, with the store's permissions (so
// whoever may read the store may take its lock). LockResult::Locked with the descriptor; LockResult::Missing
// when the folder allows no lock file (done without); LockResult::Failed otherwise.
LockResult OpenGuard(const std::string& guardPath, const std::string& storePath, FileHandle& guard,
                     int& error) {
  struct stat store {};
  const bool storeThere = ::stat(storePath.c_str(), &store) == 0;
  const mode_t mode = storeThere ? (store.st_mode & 0666) : 0644;
  // O_NOFOLLOW and O_NONBLOCK: a link or a pipe planted at the name is refused, never followed or waited on.
  // A store that is not there gets no lock file of its own making.
  const int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
  FileHandle opened(::open(guardPath.c_str(), O_RDWR | (storeThere ? O_CREAT : 0) | flags, mode));
  if (!opened.IsOpen() && IsWriteRefusal(errno))
    opened = FileHandle(::open(guardPath.c_str(), O_RDONLY | flags));
  if (!opened.IsOpen()) {
    error = errno;
    return IsWriteRefusal(error) || error == ENOENT ? LockResult::Missing : LockResult::Failed;
  }
  struct stat st {};
  if (::fstat(opened.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    error = S_ISREG(st.st_mode) ? errno : EINVAL;
    return LockResult::Failed;
  }
  guard = std::move(opened);
  return LockResult::Locked;
}

// Waits for the lock file's lock until `deadline`.
LockResult LockGuard(int fd, Clock::time_point deadline, int& error) {
  auto pause = std::chrono::milliseconds(1);
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return LockResult::Locked;
    if (errno != EWOULDBLOCK && errno != EINTR) {
      error = errno;
      return LockResult::Failed;
    }
    if (Clock::now() >= deadline) return LockResult::Busy;
    std::this_thread::sleep_for(pause);
    if (pause < std::chrono::milliseconds(16)) pause *= 2;
  }
}

}  // namespace

std::string StoreGuardPath(const std::string& path) {
  return path + ".lock";
}

LockResult LockStore(const std::string& path, int waitMs, StoreLocks& held, StoreAccess access,
                     int* systemError) {
  held.Close();
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(waitMs, 0));
  auto failed = [systemError](LockResult code, int error) {
    if (systemError) *systemError = error;
    return code;
  };
  int error = 0;
  FileHandle guard;
  const LockResult opened = OpenGuard(StoreGuardPath(path), path, guard, error);
  if (opened == LockResult::Failed) return failed(LockResult::Failed, error);
  if (guard.IsOpen()) {
    const LockResult locked = LockGuard(guard.Get(), deadline, error);
    if (locked != LockResult::Locked)
      return locked == LockResult::Busy ? LockResult::Busy : failed(locked, error);
  }
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  const LockResult code =
      LockStoreFile(path, static_cast<int>(std::max<int64_t>(left, 0)), held.file, access, systemError);
  if (code == LockResult::Locked || code == LockResult::ReadOnly || code == LockResult::Missing)
    held.guard = std::move(guard);
  return code;
}
