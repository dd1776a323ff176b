// What the database says, and keeps, when the file system refuses: a file the user may only read, a full
// disk, and a file deleted or replaced while the store is in memory.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "framework/database.h"
#include "framework/replace_file.h"
#include "framework/save_file_ops.h"
#include "test_records.h"
#include "tests/support/full_disk_ops.h"
#include "tests/support/small_disk.h"
#include "tests/support/temp_folder.h"
#include "tests/support/unprivileged.h"

namespace fs = std::filesystem;

namespace {

// A store of `items` items at `path`, created on disk.
void CreateStore(const std::string& path, int items) {
  TestStore store;
  ASSERT_TRUE(store.SetPath(path));
  for (int i = 1; i <= items; ++i) store.list.Add(MakeItem(static_cast<uint32_t>(i), "item", i));
  ASSERT_EQ(store.Create(), DbResult::Ok);
}

}  // namespace

TEST(DatabaseFailures, AFileTheUserMayOnlyReadOpensReadOnlyAndAChangeSaysWhy) {
  TempFolder dir;
  const std::string path = dir.File("v.db");
  CreateStore(path, 2);
  ::chmod(dir.Path().c_str(), 0755);  // others may enter the folder and read, not write
  ::chmod(path.c_str(), 0444);
  const std::string before = ReadText(path);
  // Root may write any file, so the user without rights runs in a child.
  const int code = RunUnprivileged([&] {
    TestStore store;
    if (!store.SetPath(path) || store.Open() != DbResult::Ok) return 10;
    if (!store.IsReadOnly() || store.list.GetCount() != 2) return 11;
    if (store.GetReadOnlyCause().Describe() != "cannot write " + path + ": Permission denied") return 12;
    bool reloaded = false;
    if (store.BeginChange(reloaded) != DbResult::ReadOnly) return 13;
    if (store.GetLastFileError().Describe() != "cannot write " + path + ": Permission denied") return 14;
    return 0;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadText(path), before);

  // The same file with a folder that takes no new file (every save writes one) is read-only as well.
  ::chmod(path.c_str(), 0666);
  ::chmod(dir.Path().c_str(), 0555);
  const int folderCode = RunUnprivileged([&] {
    TestStore store;
    if (!store.SetPath(path) || store.Open() != DbResult::Ok || !store.IsReadOnly()) return 20;
    if (store.GetReadOnlyCause().Describe() !=
        "cannot create a file in " + dir.Path() + ": Permission denied")
      return 21;
    return 0;
  });
  EXPECT_EQ(folderCode, 0);
  ::chmod(dir.Path().c_str(), 0700);
  TestStore writable;
  ASSERT_TRUE(writable.SetPath(path));
  ASSERT_EQ(writable.Open(), DbResult::Ok);
  EXPECT_FALSE(writable.IsReadOnly());
}

TEST(DatabaseFailures, AFileNobodyMayReadSaysPermissionDeniedNotCorrupt) {
  TempFolder dir;
  const std::string path = dir.File("v.db");
  CreateStore(path, 1);
  ::chmod(dir.Path().c_str(), 0755);
  ::chmod(path.c_str(), 0000);
  const int code = RunUnprivileged([&] {
    TestStore store;
    if (!store.SetPath(path) || store.Open() != DbResult::Failed) return 10;
    return store.GetLastFileError().Describe() == "cannot open " + path + ": Permission denied" ? 0 : 11;
  });
  EXPECT_EQ(code, 0);
}

TEST(DatabaseFailures, AFullDiskKeepsTheOldFileAndTheChangeAndSaysNoSpace) {
  SmallDisk disk;
  if (!disk.Mounted()) GTEST_SKIP() << "no tmpfs can be mounted here; the injected write failures cover this";
  const std::string path = disk.File("v.db");
  CreateStore(path, 1);
  TestStore store;
  ASSERT_TRUE(store.SetPath(path));
  ASSERT_EQ(store.Open(), DbResult::Ok);
  const std::string before = ReadText(path);
  disk.Fill();
  for (uint32_t i = 2; i < 2000; ++i) store.list.Add(MakeItem(i, std::string(100, 'x'), 1));
  store.SetModified();
  EXPECT_EQ(store.Save(), DbResult::Failed);
  const FileError& error = store.GetLastFileError();
  EXPECT_EQ(error.errorNumber, ENOSPC);
  EXPECT_EQ(error.action, "write");
  EXPECT_EQ(error.path.rfind(path + ".", 0), 0u) << error.path;  // the temporary file beside the database
  EXPECT_NE(error.Describe().find("No space left on device"), std::string::npos);
  EXPECT_TRUE(store.IsModified());
  EXPECT_EQ(ReadText(path), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(disk.Path()), fs::directory_iterator()), 3)
      << "only the database, its lock file and the filler: the temporary file is gone";
}

TEST(DatabaseFailures, AFileDeletedOrReplacedUnderneathIsLostAndWrittenBack) {
  TempFolder dir;
  const std::string path = dir.File("v.db");
  CreateStore(path, 3);
  TestStore store;
  ASSERT_TRUE(store.SetPath(path));
  ASSERT_EQ(store.Open(), DbResult::Ok);

  for (const bool replaced : {false, true}) {
    fs::remove(path);
    if (replaced) WriteText(path, "a text file now");
    bool reloaded = false;
    EXPECT_NE(store.BeginChange(reloaded), DbResult::Ok) << replaced;
    EXPECT_TRUE(store.IsFileLost()) << replaced;
    EXPECT_EQ(store.list.GetCount(), 3) << "the store in memory stays";
    EXPECT_EQ(store.GetLastFileError().Describe(),
              replaced ? "cannot read " + path + ": it is not a Vellumar database, or it is damaged"
                       : "cannot open " + path + ": No such file or directory");

    ASSERT_EQ(store.WriteBack(), DbResult::Ok) << replaced;
    EXPECT_FALSE(store.IsFileLost());
    TestStore reader;
    ASSERT_TRUE(reader.SetPath(path));
    ASSERT_EQ(reader.Open(), DbResult::Ok) << replaced;
    EXPECT_EQ(reader.list.GetCount(), 3);
    ASSERT_EQ(store.BeginChange(reloaded), DbResult::Ok);
    EXPECT_FALSE(reloaded) << "the file written back is the version this store knows";
    ASSERT_EQ(store.EndChange(), DbResult::Ok);
  }
}

// The reports are written through the same replacement: all of the new file or none of it.
TEST(ReplaceFileContent, AFailedWriteKeepsTheOldFileAndSaysWhyASuccessKeepsItsPermissions) {
  FullDiskOps fullDisk;
  TempFolder dir;
  const std::string path = dir.File("report.htm");
  WriteText(path, "last week's report");
  ::chmod(path.c_str(), 0640);
  FileError error;
  EXPECT_FALSE(ReplaceFileContent(path, "this week's report", error, &fullDisk));
  EXPECT_EQ(error.action, "write");
  EXPECT_EQ(error.Cause(), "No space left on device");
  EXPECT_EQ(ReadText(path), "last week's report");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);

  ASSERT_TRUE(ReplaceFileContent(path, "this week's report", error)) << error.Describe();
  EXPECT_EQ(ReadText(path), "this week's report");
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// A folder that cannot be flushed after the rename: the new file is there, but nothing proves it reached the
// disk, and the caller is told so, as a save of the database is.
TEST(ReplaceFileContent, AFailedFolderFlushIsReportedThoughTheNewFileIsInPlace) {
  class FolderFlushFails : public SaveFileOps {
   public:
    int SyncFolder(const std::string&) override {
      errno = EIO;
      return -1;
    }
  } ops;
  TempFolder dir;
  const std::string path = dir.File("settings.ini");
  WriteText(path, "old");
  FileError error;
  EXPECT_FALSE(ReplaceFileContent(path, "new", error, &ops));
  EXPECT_EQ(error.action, "flush the folder");
  EXPECT_EQ(error.Cause(), "Input/output error");
  EXPECT_EQ(ReadText(path), "new");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}
