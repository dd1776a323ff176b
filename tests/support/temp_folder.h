#pragma once
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// A fresh folder under the system's temporary folder, removed with everything in it at scope end (after
// giving the owner back every right on it and on everything in it, for tests that take them away). Used by
// every test and benchmark that writes files.
class TempFolder {
 public:
  explicit TempFolder(const char* prefix = "vl_test") {
    std::string pattern =
        (std::filesystem::temp_directory_path() / (std::string(prefix) + "_XXXXXX")).string();
    if (::mkdtemp(pattern.data()) != nullptr) path = pattern + "/";
  }
  ~TempFolder() {
    std::error_code ignored;
    if (path.empty()) return;
    namespace fs = std::filesystem;
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (const auto& entry : fs::recursive_directory_iterator(path, ignored)) {
      if (!entry.is_symlink(ignored))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(path, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder with its trailing '/'; empty when it could not be made.
  const std::string& Path() const { return path; }
  std::string File(const std::string& name) const { return path + name; }

 private:
  std::string path;
};

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}
