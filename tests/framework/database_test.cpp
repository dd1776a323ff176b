#include "framework/database.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "framework/file_util.h"
#include "test_records.h"
#include "tests/support/temp_folder.h"
#include "tests/support/unprivileged.h"

namespace fs = std::filesystem;

namespace {

// A store whose save stops right after the temporary file is complete, as a crash there would.
class InterruptedStore : public TestStore {
 protected:
  bool BeforeReplace(const std::string& tempPath) override {
    tempSeen = tempPath;
    return false;
  }

 public:
  std::string tempSeen;
};

// A store file in a folder of its own.
class DatabaseSave : public ::testing::Test {
 protected:
  // The names of the items a fresh store reads from the file; "cannot open" when it does not open.
  std::vector<std::string> StoredNames() const {
    TestStore loaded;
    if (!loaded.SetPath(path) || loaded.Open() != DbResult::Ok) return {"cannot open"};
    std::vector<std::string> names;
    for (int i = 0; i < loaded.list.GetCount(); ++i) names.push_back(loaded.list.GetAt(i)->name);
    return names;
  }

  TempFolder dir;
  const std::string path = dir.File("v.db");
};

}  // namespace

TEST(DatabaseOpen, CodesForEmptyPathMissingFileAndForeignContent) {
  TempFolder dir;
  TestStore store;
  EXPECT_EQ(store.Open(), DbResult::Failed);
  ASSERT_TRUE(store.SetPath(dir.File("none.db")));
  EXPECT_EQ(store.Open(), DbResult::Missing);
  EXPECT_FALSE(FileExists(dir.File("none.db")));

  WriteText(dir.File("short.db"), "\x03TD");
  ASSERT_TRUE(store.SetPath(dir.File("short.db")));
  EXPECT_EQ(store.Open(), DbResult::Failed);
  EXPECT_FALSE(store.IsLoaded());
}

TEST(DatabaseOpen, VersionAndTypeNameRefusals) {
  TempFolder dir;
  TestStore writer;
  ASSERT_TRUE(writer.SetPath(dir.File("a.db")));
  ASSERT_EQ(writer.Create(), DbResult::Ok);
  auto bytes = ReadText(dir.File("a.db"));
  ASSERT_GE(bytes.size(), 8u);

  auto newer = bytes;
  newer[4] = 2;  // "TDB" is 4 bytes with its prefix, then the version
  WriteText(dir.File("newer.db"), newer);
  TestStore reader;
  ASSERT_TRUE(reader.SetPath(dir.File("newer.db")));
  EXPECT_EQ(reader.Open(), DbResult::VersionTooNew);

  auto other = bytes;
  other[1] = 'X';
  WriteText(dir.File("other.db"), other);
  ASSERT_TRUE(reader.SetPath(dir.File("other.db")));
  EXPECT_EQ(reader.Open(), DbResult::TypeMismatch);
}

TEST_F(DatabaseSave, RoundTripAndPathLockAfterLoad) {
  TestStore store;
  ASSERT_TRUE(store.SetPath(path));
  ASSERT_EQ(store.Create(), DbResult::Ok);
  EXPECT_EQ(store.Create(), DbResult::Exists);

  store.list.Add(MakeItem(1, "one", 11));
  store.list.Add(MakeItem(2, "two", 22));
  store.SetModified();
  ASSERT_EQ(store.Save(), DbResult::Ok);
  EXPECT_FALSE(store.IsModified());

  TestStore loaded;
  ASSERT_TRUE(loaded.SetPath(path));
  ASSERT_EQ(loaded.Open(), DbResult::Ok);
  EXPECT_TRUE(loaded.IsLoaded());
  ASSERT_EQ(loaded.list.GetCount(), 2);
  EXPECT_EQ(static_cast<TestItem*>(loaded.list.GetAt(1))->value, 22);
  EXPECT_FALSE(loaded.SetPath(dir.File("elsewhere.db")));
  EXPECT_EQ(loaded.GetPath(), path);
}

TEST_F(DatabaseSave, NothingToWriteDoesNotTouchTheDisk) {
  TestStore store;
  ASSERT_TRUE(store.SetPath("/nonexistent-folder/x.db"));
  EXPECT_EQ(store.Save(), DbResult::Ok);
  store.SetModified();
  EXPECT_EQ(store.Save(), DbResult::Failed);
  EXPECT_TRUE(store.IsModified());
}

TEST_F(DatabaseSave, FailuresKeepTheChangeForTheNextTry) {
  TestStore store;
  ASSERT_TRUE(store.SetPath(path));
  ASSERT_EQ(store.Create(), DbResult::Ok);
  store.list.Add(MakeItem(1, "kept"));
  store.SetModified();

  // Deleted by someone else: not re-created here.
  ASSERT_TRUE(DeleteFile(path));
  EXPECT_EQ(store.Save(), DbResult::Failed);
  EXPECT_TRUE(store.IsModified());
  EXPECT_FALSE(FileExists(path));

  // Locked by another process for longer than the wait: busy, which is not the code of a bad file.
  TestStore other;
  ASSERT_TRUE(other.SetPath(path));
  ASSERT_EQ(other.Create(), DbResult::Ok);
  FileHandle holder;
  ASSERT_EQ(OpenExistingFile(path, kOpenReadWriteExclusive, holder), FileOpenResult::Opened);
  store.SetLockWait(20);
  EXPECT_EQ(store.Save(), DbResult::Busy);
  EXPECT_TRUE(store.IsModified());
  TestStore blocked;
  ASSERT_TRUE(blocked.SetPath(path));
  blocked.SetLockWait(20);
  EXPECT_EQ(blocked.Open(), DbResult::Busy);
  holder.Close();

  // The cause removed, the next save writes everything.
  ASSERT_EQ(store.Save(), DbResult::Ok);
  EXPECT_EQ(StoredNames(), std::vector<std::string>{"kept"});
}

TEST_F(DatabaseSave, ReadOnlyFolderFailsWithoutHarmingTheFile) {
  TestStore store;
  ASSERT_TRUE(store.SetPath(path));
  ASSERT_EQ(store.Create(), DbResult::Ok);
  const auto before = ReadText(path);
  // The file stays writable; only the folder refuses new entries.
  ::chmod(path.c_str(), 0666);
  fs::permissions(dir.Path(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                  fs::perms::others_exec | fs::perms::group_read | fs::perms::group_exec);
  store.list.Add(MakeItem(1, "x"));
  store.SetModified();

  // Root ignores folder permissions, so the save runs in a child that gives them up.
  const int code = RunUnprivileged([&] {
    const DbResult rc = store.Save();
    if (store.GetLastFileError().Describe() !=
        "cannot create a file in " + dir.Path() + ": Permission denied")
      return 40;
    return rc == DbResult::ReadOnly && store.IsModified() ? 0 : 20 + static_cast<int>(rc);
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadText(path), before);
}

TEST_F(DatabaseSave, AnInterruptedSaveLeavesTheOldDatabaseIntact) {
  InterruptedStore store;
  ASSERT_TRUE(store.SetPath(path));
  store.list.Add(MakeItem(1, "old"));
  ASSERT_EQ(store.Create(), DbResult::Ok);
  const auto before = ReadText(path);

  store.list.Add(MakeItem(2, "new"));
  store.SetModified();
  EXPECT_EQ(store.Save(), DbResult::Failed);
  EXPECT_TRUE(store.IsModified());
  EXPECT_EQ(ReadText(path), before);
  EXPECT_TRUE(FileExists(store.tempSeen));  // the complete new store sits beside it, unused

  EXPECT_EQ(StoredNames(), std::vector<std::string>{"old"});
}

TEST_F(DatabaseSave, AShorterStoreReplacesTheFileAndTrailingBytesAreIgnored) {
  TestStore store;
  ASSERT_TRUE(store.SetPath(path));
  for (uint32_t id = 1; id <= 50; ++id) store.list.Add(MakeItem(id, std::string(100, 'x')));
  ASSERT_EQ(store.Create(), DbResult::Ok);
  const auto longSize = ReadText(path).size();

  store.list.RemoveAll();
  store.list.Add(MakeItem(7, "short"));
  store.SetModified();
  ASSERT_EQ(store.Save(), DbResult::Ok);
  auto bytes = ReadText(path);
  EXPECT_LT(bytes.size(), longSize);

  bytes.append(500, '\xAB');  // garbage after the content
  WriteText(path, bytes);
  EXPECT_EQ(StoredNames(), std::vector<std::string>{"short"});
}

TEST_F(DatabaseSave, KeepsTheFilePermissions) {
  TestStore store;
  ASSERT_TRUE(store.SetPath(path));
  ASSERT_EQ(store.Create(), DbResult::Ok);
  ::chmod(path.c_str(), 0640);
  store.SetModified();
  ASSERT_EQ(store.Save(), DbResult::Ok);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}
