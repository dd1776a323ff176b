#include "framework/app_paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "framework/file_util.h"

namespace {

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// An XDG base folder: the variable's value when it is an absolute path, else `fallback` under home.
std::string BaseFolder(const std::string& value, const std::string& home, const char* fallback) {
  if (!value.empty() && value.front() == '/') return WithSlash(value);
  return WithSlash(home) + fallback;
}

// mkdir -p, with new folders readable by the user alone.
bool MakeFolders(const std::string& folder) {
  if (IsFolder(folder)) return true;
  for (size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
  return IsFolder(folder);
}

}  // namespace

UserFolders UserFolders::FromEnvironment() {
  UserFolders user;
  user.home = EnvironmentValue("HOME");
  if (user.home.empty()) {
    if (const passwd* account = ::getpwuid(::getuid()); account && account->pw_dir)
      user.home = account->pw_dir;
  }
  user.dataHome = EnvironmentValue("XDG_DATA_HOME");
  user.configHome = EnvironmentValue("XDG_CONFIG_HOME");
  return user;
}

std::string FindInstalledDataFolder(const std::string& programFolder) {
  for (const char* up : {"../share/vellumar/", "../../share/vellumar/"}) {
    const std::string candidate = WithSlash(programFolder) + up;
    if (IsFolder(candidate)) {
      char resolved[PATH_MAX];
      return ::realpath(candidate.c_str(), resolved) ? WithSlash(resolved) : candidate;
    }
  }
  return {};
}

std::string BundledServiceDataFolder(const std::string& programFolder) {
  const std::string installed = FindInstalledDataFolder(programFolder);
  return installed.empty() ? WithSlash(programFolder) + "data/" : installed;
}

std::string ServiceDataFolder(const AppPaths& paths, const std::string& programFolder) {
  return paths.portable ? BundledServiceDataFolder(programFolder) : paths.MarketDataFolder();
}

AppPaths DecideAppPaths(const std::string& programFolder, const UserFolders& user) {
  AppPaths paths;
  const std::string folder = WithSlash(programFolder);
  if (::access(folder.c_str(), W_OK | X_OK) == 0 && FindInstalledDataFolder(folder).empty()) {
    paths.dataFolder = folder;
    paths.configFolder = folder;
    return paths;
  }
  paths.portable = false;
  paths.dataFolder = BaseFolder(user.dataHome, user.home, ".local/share/") + "vellumar/";
  paths.configFolder = BaseFolder(user.configHome, user.home, ".config/") + "vellumar/";
  return paths;
}

AppPaths GetAppPaths() {
  return DecideAppPaths(GetModuleFolder(), UserFolders::FromEnvironment());
}

bool EnsureAppFolders(const AppPaths& paths, std::string& failedFolder) {
  for (const std::string& folder : {paths.dataFolder, paths.configFolder, paths.MarketDataFolder()}) {
    if (folder.empty()) continue;
    if (!MakeFolders(folder)) {
      failedFolder = folder;
      return false;
    }
  }
  return true;
}
