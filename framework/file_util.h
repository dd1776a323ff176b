#pragma once
#include <cstdint>
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

bool FileExists(const std::string& path);
// 3 when the file does not exist; 1 for an unknown mode or a failed open (or lock); 0 with the open file.
[[nodiscard]] int32_t OpenExistingFile(const std::string& path, int mode, FileHandle& file);
// 2 when the file exists; 1 when creation fails; 0 with a new, empty file open for writing.
[[nodiscard]] int32_t CreateNewFile(const std::string& path, FileHandle& file);
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
