#include "framework/file_util.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <ostream>

#include <cerrno>
#include <climits>

#include "framework/full_io.h"

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
  if (this != &other) {
    Close();
    fd = other.Release();
  }
  return *this;
}

void FileHandle::Close() {
  if (fd >= 0) ::close(fd);  // closing drops any flock held through this descriptor
  fd = -1;
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

FileOpenResult OpenExistingFile(const std::string& path, int mode, FileHandle& file) {
  if (!FileExists(path)) return FileOpenResult::Missing;
  int flags = 0;
  switch (mode) {
    case kOpenRead:
      flags = O_RDONLY;
      break;
    case kOpenReadWrite:
    case kOpenReadWriteExclusive:
      flags = O_RDWR;
      break;
    default:
      return FileOpenResult::Failed;
  }
  FileHandle opened(::open(path.c_str(), flags | O_CLOEXEC));
  if (!opened.IsOpen()) return FileOpenResult::Failed;
  if (mode == kOpenReadWriteExclusive && ::flock(opened.Get(), LOCK_EX | LOCK_NB) != 0) {
    return FileOpenResult::Failed;
  }
  file = std::move(opened);
  return FileOpenResult::Opened;
}

FileOpenResult CreateNewFile(const std::string& path, FileHandle& file) {
  if (FileExists(path)) return FileOpenResult::Exists;
  FileHandle created(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
  if (!created.IsOpen()) return errno == EEXIST ? FileOpenResult::Exists : FileOpenResult::Failed;
  file = std::move(created);
  return FileOpenResult::Opened;
}

static std::string ExecutablePath() {
  char buf[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  return std::string(buf, static_cast<size_t>(n));
}

std::string GetModuleFolder() {
  const std::string exe = ExecutablePath();
  const size_t slash = exe.rfind('/');
  if (slash == std::string::npos) return "./";
  return exe.substr(0, slash + 1);
}

std::string GetIniPath() {
  const std::string exe = ExecutablePath();
  const size_t slash = exe.rfind('/');
  const size_t dot = exe.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return exe + ".ini";
  return exe.substr(0, dot + 1) + "ini";
}

bool DeleteFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0;
}

bool CreateFolder(const std::string& path) {
  return ::mkdir(path.c_str(), 0755) == 0;
}

std::vector<std::string> ListFolder(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  return names;
}

bool CopyFileNoOverwrite(const std::string& from, const std::string& to) {
  FileHandle in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  if (!in.IsOpen()) return false;
  FileHandle out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
  if (!out.IsOpen()) return false;
  char buf[65536];
  for (;;) {
    const ssize_t got = ReadSome(in.Get(), buf, sizeof buf);
    if (got < 0 || (got > 0 && !WriteFully(out.Get(), buf, static_cast<size_t>(got)))) break;
    if (got == 0) return ::fsync(out.Get()) == 0;
  }
  out.Close();
  ::unlink(to.c_str());
  return false;
}

std::ostream& operator<<(std::ostream& out, FileOpenResult result) {
  switch (result) {
    case FileOpenResult::Opened:
      return out << "Opened";
    case FileOpenResult::Failed:
      return out << "Failed";
    case FileOpenResult::Missing:
      return out << "Missing";
    case FileOpenResult::Exists:
      return out << "Exists";
  }
  return out << static_cast<int>(result);
}
