#include "framework/app_paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/temp_folder.h"
#include "tests/support/unprivileged.h"

namespace {

namespace fs = std::filesystem;

// A temporary folder every user may enter and write to.
class OpenFolder {
 public:
  OpenFolder() : folder("vl_paths"), path(folder.Path()) { ::chmod(path.c_str(), 0777); }
  std::string Make(const std::string& name, fs::perms mode) const {
    fs::create_directories(path + name);
    fs::permissions(path + name, mode);
    return path + name + "/";
  }

 private:
  TempFolder folder;

 public:
  const std::string path;
};

bool IsPrivateFolder(const std::string& folder) {
  struct stat info {};
  return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && (info.st_mode & 0777) == 0700 &&
         info.st_uid == ::geteuid();
}

}  // namespace

TEST(AppPathsTest, AWritableProgramFolderKeepsEverythingBesideTheProgram) {
  OpenFolder root;
  const std::string program = root.Make("bin", fs::perms::all);
  const std::string home = root.Make("home", fs::perms::all);
  // As root and as a user without root rights: the folder is writable for both.
  for (const bool unprivileged : {false, true}) {
    auto check = [&] {
      const AppPaths paths = DecideAppPaths(program, {home, "", ""});
      if (!paths.portable) return 1;
      if (paths.DatabasePath() != program + "Vellumar.db" || paths.IniPath() != program + "vellumar.ini")
        return 2;
      if (paths.dataFolder + "backup/" != program + "backup/" || !paths.MarketDataFolder().empty()) return 3;
      std::string failed;
      if (!EnsureAppFolders(paths, failed) || fs::exists(home + ".local")) return 4;
      return 0;
    };
    EXPECT_EQ(unprivileged ? RunUnprivileged(check) : check(), 0) << "unprivileged " << unprivileged;
  }
  // The program folder without its trailing slash means the same.
  EXPECT_EQ(DecideAppPaths(root.path + "bin", {home, "", ""}).dataFolder, program);
}

TEST(AppPathsTest, AReadOnlyProgramFolderUsesTheHomeFoldersAndCreatesThem) {
  OpenFolder root;
  const std::string program =
      root.Make("bin", fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                           fs::perms::others_read | fs::perms::others_exec);
  const std::string home = root.Make("home", fs::perms::all);
  const int code = RunUnprivileged([&] {
    const AppPaths paths = DecideAppPaths(program, {home, "", ""});
    if (paths.portable) return 1;
    if (paths.DatabasePath() != home + ".local/share/vellumar/Vellumar.db") return 2;
    if (paths.IniPath() != home + ".config/vellumar/vellumar.ini") return 3;
    if (paths.MarketDataFolder() != home + ".local/share/vellumar/marketdata/") return 4;
    std::string failed;
    if (!EnsureAppFolders(paths, failed)) return 5;
    if (!IsPrivateFolder(paths.dataFolder) || !IsPrivateFolder(paths.configFolder) ||
        !IsPrivateFolder(paths.MarketDataFolder())) {
      return 6;
    }
    if (!IsPrivateFolder(home + ".local") || !IsPrivateFolder(home + ".config")) return 7;
    // A second start finds them there.
    if (!EnsureAppFolders(paths, failed)) return 8;
    return 0;
  });
  EXPECT_EQ(code, 0);
}

TEST(AppPathsTest, XdgFoldersAreHonouredAndRelativeValuesIgnored) {
  OpenFolder root;
  const std::string program = root.Make("bin", fs::perms::owner_all | fs::perms::others_exec);
  const std::string home = root.Make("home", fs::perms::all);
  const int code = RunUnprivileged([&] {
    AppPaths paths = DecideAppPaths(program, {home, root.path + "xdg/data", root.path + "xdg/config/"});
    if (paths.dataFolder != root.path + "xdg/data/vellumar/") return 1;
    if (paths.configFolder != root.path + "xdg/config/vellumar/") return 2;
    std::string failed;
    if (!EnsureAppFolders(paths, failed) || !fs::is_directory(paths.dataFolder) ||
        !fs::is_directory(paths.configFolder)) {
      return 3;
    }
    paths = DecideAppPaths(program, {home, "relative/data", "relative/config"});
    if (paths.dataFolder != home + ".local/share/vellumar/" ||
        paths.configFolder != home + ".config/vellumar/") {
      return 4;
    }
    // The environment: HOME and both variables are read as they are.
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_DATA_HOME", "/d", 1);
    ::unsetenv("XDG_CONFIG_HOME");
    const UserFolders user = UserFolders::FromEnvironment();
    if (user.home != home || user.dataHome != "/d" || !user.configHome.empty()) return 5;
    // Without HOME, the account's home folder.
    ::unsetenv("HOME");
    if (UserFolders::FromEnvironment().home.empty()) return 6;
    return 0;
  });
  EXPECT_EQ(code, 0);
}

TEST(AppPathsTest, AnInstalledTreeIsNeverPortable) {
  // Installed into a prefix the user owns (cmake --install --prefix ~/.local): writable, still installed.
  OpenFolder root;
  const std::string bin = root.Make("prefix/bin", fs::perms::all);
  const std::string libexec = root.Make("prefix/libexec/vellumar", fs::perms::all);
  const std::string home = root.Make("home", fs::perms::all);
  EXPECT_TRUE(FindInstalledDataFolder(bin).empty());
  EXPECT_TRUE(DecideAppPaths(bin, {home, "", ""}).portable);

  const std::string share = root.Make("prefix/share/vellumar", fs::perms::all);
  EXPECT_EQ(FindInstalledDataFolder(bin), share);
  EXPECT_EQ(FindInstalledDataFolder(libexec), share);
  EXPECT_TRUE(FindInstalledDataFolder(root.path).empty());
  for (const std::string& program : {bin, libexec}) {
    const AppPaths paths = DecideAppPaths(program, {home, "", ""});
    EXPECT_FALSE(paths.portable) << program;
    EXPECT_EQ(paths.DatabasePath(), home + ".local/share/vellumar/Vellumar.db");
  }
}

TEST(AppPathsTest, AFolderThatCannotBeMadeIsNamed) {
  OpenFolder root;
  const std::string program = root.Make("bin", fs::perms::owner_all | fs::perms::others_exec);
  const std::string home =
      root.Make("home", fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
  const int code = RunUnprivileged([&] {
    const AppPaths paths = DecideAppPaths(program, {home, "", root.path + "config"});
    std::string failed;
    if (EnsureAppFolders(paths, failed)) return 1;
    if (failed != home + ".local/share/vellumar/") return 2;
    return fs::exists(home + ".local") ? 3 : 0;
  });
  EXPECT_EQ(code, 0);
  EXPECT_FALSE(fs::exists(root.path + "config"));
}
