#include "framework/private_temp_folder.h"

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The process id in "<prefix>-<pid>-XXXXXX"; 0 when the name is not of that form.
pid_t OwnerOf(const std::string& name, const std::string& prefix) {
  if (name.compare(0, prefix.size() + 1, prefix + "-") != 0) return 0;
  const size_t start = prefix.size() + 1;
  const size_t dash = name.find('-', start);
  if (dash == std::string::npos || dash == start || dash - start > 9 || name.size() != dash + 7) return 0;
  pid_t pid = 0;
  for (size_t i = start; i < dash; ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    pid = pid * 10 + (name[i] - '0');
  }
  return pid;
}

void RemoveFoldersOfGoneProcesses(const fs::path& base, const std::string& prefix) {
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(base, error)) {
    const pid_t owner = OwnerOf(entry.path().filename().string(), prefix);
    if (owner <= 0 || !entry.is_directory(error) || entry.is_symlink(error)) continue;
    if (::kill(owner, 0) == 0 || errno != ESRCH) continue;  // still running, or not ours to judge
    std::error_code ignored;
    fs::remove_all(entry.path(), ignored);
  }
}

}  // namespace

PrivateTempFolder::PrivateTempFolder(const std::string& prefix) {
  std::error_code error;
  const fs::path base = fs::temp_directory_path(error);
  if (error) return;
  RemoveFoldersOfGoneProcesses(base, prefix);
  std::string pattern = (base / (prefix + "-" + std::to_string(::getpid()) + "-XXXXXX")).string();
  if (::mkdtemp(pattern.data()) != nullptr) path = pattern + "/";
}

PrivateTempFolder::~PrivateTempFolder() {
  if (path.empty()) return;
  std::error_code ignored;
  fs::remove_all(path, ignored);
}

TempFolderForChildren::TempFolderForChildren(const std::string& folder) {
  if (folder.empty()) return;
  active = true;
  for (Saved& s : saved) {
    if (const char* value = ::getenv(s.name)) {
      s.set = true;
      s.value = value;
    }
    ::setenv(s.name, folder.c_str(), 1);
  }
}

TempFolderForChildren::~TempFolderForChildren() {
  if (!active) return;
  for (const Saved& s : saved) {
    if (s.set) {
      ::setenv(s.name, s.value.c_str(), 1);
    } else {
      ::unsetenv(s.name);
    }
  }
}
