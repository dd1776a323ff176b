#pragma once
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

// An open file descriptor, closed (and unlocked) when it goes out of scope.
class FileHandle {
 public:
  FileHandle() = default;
  explicit FileHandle(int fd) : fd(fd) {}
  FileHandle(FileHandle&& other) noexcept : fd(other.Release()) {}
  FileHandle& operator=(FileHandle&& other) noexcept;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() { Close(); }

  int Get() const { return fd; }
  bool IsOpen() const { return fd >= 0; }
  int Release() {
    int f = fd;
    fd = -1;
    return f;
  }
  void Close();

 private:
  int fd = -1;
};

// Open modes of OpenExistingFile.
enum FileOpenMode : int {
  kOpenRead = 0,               // read; others may read and write
  kOpenReadWrite = 1,          // read-write; others may read and write
  kOpenReadWriteExclusive = 2  // read-write; nobody else may open it (flock LOCK_EX|LOCK_NB)
};

// What opening or creating a file came to.
// (clang-format 14 takes the attribute for the start of an initializer.)
// clang-format off
enum class [[nodiscard]] FileOpenResult {
  Opened,
  Failed,   // an unknown mode, or the system refused the open (or the lock)
  Missing,  // OpenExistingFile: no file at the path
  Exists,   // CreateNewFile: a file is there already
};
// clang-format on
// The enumerator's name ("Missing"), for messages and test output.
std::ostream& operator<<(std::ostream& out, FileOpenResult result);

bool FileExists(const std::string& path);
// Opened with the open file; Missing; Failed.
FileOpenResult OpenExistingFile(const std::string& path, int mode, FileHandle& file);
// Opened with a new, empty file open for writing; Exists; Failed.
FileOpenResult CreateNewFile(const std::string& path, FileHandle& file);
// The folder of the running executable, with its trailing '/'.
std::string GetModuleFolder();
// The executable's full path with everything after its last dot replaced by "ini" (or ".ini" appended
// when the name has no dot).
std::string GetIniPath();
[[nodiscard]] bool DeleteFile(const std::string& path);
[[nodiscard]] bool CreateFolder(const std::string& path);
// Names (not paths) of the entries of `folder`, "." and ".." excluded; empty when it cannot be read.
std::vector<std::string> ListFolder(const std::string& folder);
// Copies `from` to `to`; fails when `to` exists. The copy is flushed to disk before it counts as made.
[[nodiscard]] bool CopyFileNoOverwrite(const std::string& from, const std::string& to);
