#include "portfolio/database/vl_startup_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "framework/archive.h"
#include "framework/database.h"
#include "framework/serializable.h"
#include "tests/support/unprivileged.h"

namespace {

// A store with nothing in it but its type header, enough to tell a created file from a copied one.
class EmptyStore : public Database {
 public:
  std::string GetTypeName() const override { return "VLDB"; }
  int32_t GetVersion() const override { return 1; }
  int32_t Serialize(Archive* ar) override { return SerializeTypeHeader(ar, *this); }
  void PrepareForLoad() override {}
};

class StartupFolder {
 public:
  StartupFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vl_startup_XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path = pattern + "/";
  }
  ~StartupFolder() {
    std::error_code ignored;
    if (path.empty()) return;
    std::filesystem::permissions(path, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path, ignored);
  }
  StartupFolder(const StartupFolder&) = delete;
  StartupFolder& operator=(const StartupFolder&) = delete;

  std::string path;
};

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool Exists(const std::string& path) {
  return std::filesystem::exists(path);
}

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

TEST(StartupFilesTest, FirstStartInAnEmptyFolderCreatesTheDatabaseAndBackupNumberOne) {
  StartupFolder folder;
  EmptyStore store;
  const StartupFileResult created = EnsureDatabaseFile(store, folder.path);
  ASSERT_TRUE(created.Ok());
  EXPECT_EQ(store.GetPath(), folder.path + "Vellumar.db");
  EXPECT_FALSE(store.IsLoaded());  // creating is not loading
  const std::string original = ReadText(folder.path + "Vellumar.db");
  EXPECT_FALSE(original.empty());

  const StartupFileResult backup = BackupDatabaseAtStartup(folder.path);
  ASSERT_TRUE(backup.Ok());
  EXPECT_EQ(backup.path, folder.path + "backup/Vellumar_1.db");
  EXPECT_EQ(ReadText(backup.path), original);

  // The second start finds the file in place and adds the next backup.
  EmptyStore again;
  ASSERT_TRUE(EnsureDatabaseFile(again, folder.path).Ok());
  EXPECT_EQ(ReadText(folder.path + "Vellumar.db"), original);
  EXPECT_EQ(BackupDatabaseAtStartup(folder.path).path, folder.path + "backup/Vellumar_2.db");
}

TEST(StartupFilesTest, TheFirstFreeBackupNumberIsTakenAndTheLimitIsNeverUsed) {
  StartupFolder folder;
  WriteText(folder.path + "Vellumar.db", "db");
  ASSERT_TRUE(EnsureBackupFolder(folder.path).Ok());
  WriteText(folder.path + "backup/Vellumar_1.db", "one");
  WriteText(folder.path + "backup/Vellumar_3.db", "three");
  WriteText(folder.path + "backup/Vellumar_02.db", "padded names do not count");

  StartupFileResult next = FindNextBackupPath(folder.path);
  ASSERT_TRUE(next.Ok());
  EXPECT_EQ(next.path, folder.path + "backup/Vellumar_2.db");
  ASSERT_TRUE(CopyDatabaseToBackup(folder.path, next.path).Ok());
  EXPECT_EQ(ReadText(next.path), "db");
  EXPECT_EQ(ReadText(folder.path + "backup/Vellumar_1.db"), "one");  // backups are never replaced

  // With 1 to 3 taken and a limit of 4, no number is left: 4 itself is never used.
  next = FindNextBackupPath(folder.path, 4);
  EXPECT_EQ(next.messageId, StringId::BackupFolderFullError);
  EXPECT_EQ(next.path, folder.path + "backup/");
  EXPECT_EQ(FindNextBackupPath(folder.path, 5).path, folder.path + "backup/Vellumar_4.db");
}

TEST(StartupFilesTest, OnlyHtmAndGifFilesAreDeletedWhateverTheirCase) {
  StartupFolder folder;
  for (const char* name : {"summary.HTM", "chart1A2B.gif", "x.Gif", "report.htm", "summary.html", "notes.txt",
                           "Vellumar.db", "htm", "archive.htm.bak", "image.gifx"}) {
    WriteText(folder.path + name, "x");
  }
  std::filesystem::create_directory(folder.path + "pages.htm");  // not a file: left alone
  EXPECT_EQ(DeleteLeftoverReportFiles(folder.path), 4);
  EXPECT_EQ(Names(folder.path),
            (std::vector<std::string>{"Vellumar.db", "archive.htm.bak", "htm", "image.gifx", "notes.txt",
                                      "pages.htm", "summary.html"}));
  EXPECT_EQ(DeleteLeftoverReportFiles(folder.path + "missing/"), 0);
}

TEST(StartupFilesTest, AFolderThatCannotHoldTheDatabaseFailsWith2048AndItsPath) {
  StartupFolder folder;
  // A path through a plain file cannot hold a database, whoever runs the test.
  WriteText(folder.path + "plain", "x");
  EmptyStore store;
  const StartupFileResult result = EnsureDatabaseFile(store, folder.path + "plain/");
  EXPECT_EQ(result.messageId, StringId::DatabaseCreateError);
  EXPECT_EQ(result.path, folder.path + "plain/Vellumar.db");
}

TEST(StartupFilesTest, AReadOnlyFolderFailsWith2048WhenNoDatabaseExists) {
  StartupFolder folder;
  const std::string readOnly = folder.path + "readonly/";
  std::filesystem::create_directory(readOnly);
  ::chmod(folder.path.c_str(), 0755);
  ::chmod(readOnly.c_str(), 0555);
  const int code = RunUnprivileged([&] {
    EmptyStore store;
    const StartupFileResult result = EnsureDatabaseFile(store, readOnly);
    if (result.messageId != StringId::DatabaseCreateError) return 1;
    if (result.path != readOnly + "Vellumar.db") return 2;
    return 0;
  });
  EXPECT_EQ(code, 0);
  EXPECT_FALSE(Exists(readOnly + "Vellumar.db"));
}

TEST(StartupFilesTest, BackupFailuresNameTheFolderOrTheFile) {
  StartupFolder folder;
  WriteText(folder.path + "Vellumar.db", "db");

  // BackupFolderCreateError: something that is not a folder is in the way of "backup/".
  WriteText(folder.path + "backup", "not a folder");
  StartupFileResult result = BackupDatabaseAtStartup(folder.path);
  EXPECT_EQ(result.messageId, StringId::BackupFolderCreateError);
  EXPECT_EQ(result.path, folder.path + "backup/");
  std::filesystem::remove(folder.path + "backup");

  // BackupCreateError: the Backup command does not create the folder, so the copy into a missing one fails.
  result = FindNextBackupPath(folder.path);
  ASSERT_TRUE(result.Ok());
  result = CopyDatabaseToBackup(folder.path, result.path);
  EXPECT_EQ(result.messageId, StringId::BackupCreateError);
  EXPECT_EQ(result.path, folder.path + "backup/Vellumar_1.db");
  EXPECT_FALSE(Exists(folder.path + "backup"));

  // BackupCreateError: the target appeared between the search and the copy; it is not overwritten.
  ASSERT_TRUE(EnsureBackupFolder(folder.path).Ok());
  WriteText(folder.path + "backup/Vellumar_1.db", "older");
  result = CopyDatabaseToBackup(folder.path, folder.path + "backup/Vellumar_1.db");
  EXPECT_EQ(result.messageId, StringId::BackupCreateError);
  EXPECT_EQ(ReadText(folder.path + "backup/Vellumar_1.db"), "older");

  // BackupCreateError: no database to copy.
  std::filesystem::remove(folder.path + "Vellumar.db");
  result = BackupDatabaseAtStartup(folder.path);
  EXPECT_EQ(result.messageId, StringId::BackupCreateError);
  EXPECT_EQ(result.path, folder.path + "backup/Vellumar_2.db");
  EXPECT_FALSE(Exists(result.path));
}
