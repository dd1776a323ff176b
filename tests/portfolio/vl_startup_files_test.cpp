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
#include "tests/support/temp_folder.h"
#include "tests/support/unprivileged.h"

namespace {

// A store with nothing in it but its type header, enough to tell a created file from a copied one.
class EmptyStore : public Database {
 public:
  std::string GetTypeName() const override { return "VLDB"; }
  int32_t GetVersion() const override { return 1; }
  SerializeResult Serialize(Archive* ar) override { return SerializeTypeHeader(ar, *this); }
  void PrepareForLoad() override {}
};

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
  TempFolder folder;
  EmptyStore store;
  const StartupFileResult created = EnsureDatabaseFile(store, folder.Path());
  ASSERT_TRUE(created.Ok());
  EXPECT_EQ(store.GetPath(), folder.Path() + "Vellumar.db");
  EXPECT_FALSE(store.IsLoaded());  // creating is not loading
  const std::string original = ReadText(folder.Path() + "Vellumar.db");
  EXPECT_FALSE(original.empty());

  const StartupFileResult backup = BackupDatabaseAtStartup(folder.Path());
  ASSERT_TRUE(backup.Ok());
  EXPECT_EQ(backup.path, folder.Path() + "backup/Vellumar_1.db");
  EXPECT_EQ(ReadText(backup.path), original);

  // The second start finds the file in place and adds the next backup.
  EmptyStore again;
  ASSERT_TRUE(EnsureDatabaseFile(again, folder.Path()).Ok());
  EXPECT_EQ(ReadText(folder.Path() + "Vellumar.db"), original);
  EXPECT_EQ(BackupDatabaseAtStartup(folder.Path()).path, folder.Path() + "backup/Vellumar_2.db");
}

TEST(StartupFilesTest, TheFirstFreeBackupNumberIsTakenAndTheLimitIsNeverUsed) {
  TempFolder folder;
  WriteText(folder.Path() + "Vellumar.db", "db");
  ASSERT_TRUE(EnsureBackupFolder(folder.Path()).Ok());
  WriteText(folder.Path() + "backup/Vellumar_1.db", "one");
  WriteText(folder.Path() + "backup/Vellumar_3.db", "three");
  WriteText(folder.Path() + "backup/Vellumar_02.db", "padded names do not count");

  StartupFileResult next = FindNextBackupPath(folder.Path());
  ASSERT_TRUE(next.Ok());
  EXPECT_EQ(next.path, folder.Path() + "backup/Vellumar_2.db");
  ASSERT_TRUE(CopyDatabaseToBackup(folder.Path(), next.path).Ok());
  EXPECT_EQ(ReadText(next.path), "db");
  EXPECT_EQ(ReadText(folder.Path() + "backup/Vellumar_1.db"), "one");  // backups are never replaced

  // With 1 to 3 taken and a limit of 4, no number is left: 4 itself is never used.
  next = FindNextBackupPath(folder.Path(), 4);
  EXPECT_EQ(next.messageId, StringId::BackupFolderFullError);
  EXPECT_EQ(next.path, folder.Path() + "backup/");
  EXPECT_EQ(FindNextBackupPath(folder.Path(), 5).path, folder.Path() + "backup/Vellumar_4.db");
}

TEST(StartupFilesTest, OnlyHtmAndGifFilesAreDeletedWhateverTheirCase) {
  TempFolder folder;
  for (const char* name : {"summary.HTM", "chart1A2B.gif", "x.Gif", "report.htm", "summary.html", "notes.txt",
                           "Vellumar.db", "htm", "archive.htm.bak", "image.gifx"}) {
    WriteText(folder.Path() + name, "x");
  }
  std::filesystem::create_directory(folder.Path() + "pages.htm");  // not a file: left alone
  EXPECT_EQ(DeleteLeftoverReportFiles(folder.Path()), 4);
  EXPECT_EQ(Names(folder.Path()),
            (std::vector<std::string>{"Vellumar.db", "archive.htm.bak", "htm", "image.gifx", "notes.txt",
                                      "pages.htm", "summary.html"}));
  EXPECT_EQ(DeleteLeftoverReportFiles(folder.Path() + "missing/"), 0);
}

TEST(StartupFilesTest, AFolderThatCannotHoldTheDatabaseFailsWith2048AndItsPath) {
  TempFolder folder;
  // A path through a plain file cannot hold a database, whoever runs the test.
  WriteText(folder.Path() + "plain", "x");
  EmptyStore store;
  const StartupFileResult result = EnsureDatabaseFile(store, folder.Path() + "plain/");
  EXPECT_EQ(result.messageId, StringId::DatabaseCreateError);
  EXPECT_EQ(result.path, folder.Path() + "plain/Vellumar.db");
}

TEST(StartupFilesTest, AReadOnlyFolderFailsWith2048WhenNoDatabaseExists) {
  TempFolder folder;
  const std::string readOnly = folder.Path() + "readonly/";
  std::filesystem::create_directory(readOnly);
  ::chmod(folder.Path().c_str(), 0755);
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
  TempFolder folder;
  WriteText(folder.Path() + "Vellumar.db", "db");

  // BackupFolderCreateError: something that is not a folder is in the way of "backup/".
  WriteText(folder.Path() + "backup", "not a folder");
  StartupFileResult result = BackupDatabaseAtStartup(folder.Path());
  EXPECT_EQ(result.messageId, StringId::BackupFolderCreateError);
  EXPECT_EQ(result.path, folder.Path() + "backup/");
  std::filesystem::remove(folder.Path() + "backup");

  // BackupCreateError: the Backup command does not create the folder, so the copy into a missing one fails.
  result = FindNextBackupPath(folder.Path());
  ASSERT_TRUE(result.Ok());
  result = CopyDatabaseToBackup(folder.Path(), result.path);
  EXPECT_EQ(result.messageId, StringId::BackupCreateError);
  EXPECT_EQ(result.path, folder.Path() + "backup/Vellumar_1.db");
  EXPECT_FALSE(Exists(folder.Path() + "backup"));

  // BackupCreateError: the target appeared between the search and the copy; it is not overwritten.
  ASSERT_TRUE(EnsureBackupFolder(folder.Path()).Ok());
  WriteText(folder.Path() + "backup/Vellumar_1.db", "older");
  result = CopyDatabaseToBackup(folder.Path(), folder.Path() + "backup/Vellumar_1.db");
  EXPECT_EQ(result.messageId, StringId::BackupCreateError);
  EXPECT_EQ(ReadText(folder.Path() + "backup/Vellumar_1.db"), "older");

  // BackupCreateError: no database to copy.
  std::filesystem::remove(folder.Path() + "Vellumar.db");
  result = BackupDatabaseAtStartup(folder.Path());
  EXPECT_EQ(result.messageId, StringId::BackupCreateError);
  EXPECT_EQ(result.path, folder.Path() + "backup/Vellumar_2.db");
  EXPECT_FALSE(Exists(result.path));
}
