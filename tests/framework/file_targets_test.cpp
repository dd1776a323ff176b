// The store's lock across a save, and what a program finds at a path it reads or writes: a named pipe, a
// device, a symbolic link, a file it may not write.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "framework/database.h"
#include "framework/regular_file.h"
#include "framework/replace_file.h"
#include "test_records.h"
#include "tests/support/temp_folder.h"
#include "tests/support/unprivileged.h"

namespace {

void CreateStore(const std::string& path, int items) {
  TestStore store;
  ASSERT_TRUE(store.SetPath(path));
  for (int i = 1; i <= items; ++i) store.list.Add(MakeItem(static_cast<uint32_t>(i), "item", i));
  ASSERT_EQ(store.Create(), DbResult::Ok);
}

bool IsLink(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}

}  // namespace

TEST(StoreLock, AChangeKeepsOthersOutUntilItsJournalIsWrittenAfterTheSave) {
  TempFolder dir;
  const std::string path = dir.File("v.db");
  CreateStore(path, 1);
  TestStore first, second;
  ASSERT_TRUE(first.SetPath(path));
  ASSERT_TRUE(second.SetPath(path));
  ASSERT_EQ(first.Open(), DbResult::Ok);
  ASSERT_EQ(second.Open(), DbResult::Ok);
  second.SetLockWait(0);

  bool reloaded = false;
  ASSERT_EQ(first.BeginChange(reloaded), DbResult::Ok);
  first.list.Add(MakeItem(2, "second", 2));
  first.SetModified();
  ASSERT_EQ(first.Save(), DbResult::Ok);  // a new file now stands at the path
  // What follows the save (the journal entry) is still the first program's: the second must wait.
  EXPECT_EQ(second.BeginChange(reloaded), DbResult::Busy);
  bool changed = false;
  EXPECT_EQ(second.ReloadIfFileChanged(changed, 0), DbResult::Busy);

  first.ReleaseChange();
  ASSERT_EQ(second.BeginChange(reloaded), DbResult::Ok);
  EXPECT_TRUE(reloaded);
  EXPECT_EQ(second.list.GetCount(), 2);
  EXPECT_EQ(second.EndChange(), DbResult::Ok);
}

TEST(StoreLock, ALockFileThatIsNoFileIsRefusedWithoutWaiting) {
  TempFolder dir;
  const std::string path = dir.File("v.db");
  CreateStore(path, 1);
  const std::string guard = StoreGuardPath(path);
  for (const char* planted : {"pipe", "link", "folder"}) {
    SCOPED_TRACE(planted);
    ::unlink(guard.c_str());
    ::rmdir(guard.c_str());
    if (std::string(planted) == "pipe") {
      ASSERT_EQ(::mkfifo(guard.c_str(), 0600), 0);
    }
    if (std::string(planted) == "link") {
      ASSERT_EQ(::symlink(dir.File("elsewhere").c_str(), guard.c_str()), 0);
    }
    if (std::string(planted) == "folder") {
      ASSERT_EQ(::mkdir(guard.c_str(), 0700), 0);
    }
    TestStore store;
    ASSERT_TRUE(store.SetPath(path));
    EXPECT_EQ(store.Open(), DbResult::Failed);
    EXPECT_FALSE(FileExists(dir.File("elsewhere")));
  }
  ::rmdir(guard.c_str());
  TestStore store;
  ASSERT_TRUE(store.SetPath(path));
  EXPECT_EQ(store.Open(), DbResult::Ok);
  // A store that is not there gets no lock file.
  TestStore missing;
  ASSERT_TRUE(missing.SetPath(dir.File("none.db")));
  EXPECT_EQ(missing.Open(), DbResult::Missing);
  EXPECT_FALSE(FileExists(StoreGuardPath(dir.File("none.db"))));
}

TEST(OutputFiles, WhatIsNotARegularFileIsNeverReplaced) {
  TempFolder dir;
  const std::string pipe = dir.File("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const std::string toDevice = dir.File("device-link");
  ASSERT_EQ(::symlink("/dev/null", toDevice.c_str()), 0);
  ASSERT_EQ(::mkdir(dir.File("folder").c_str(), 0700), 0);
  const struct {
    std::string path;
    const char* reason;
  } cases[] = {
      {pipe, "it is a named pipe, not a regular file"},
      {toDevice, "it is a device, not a regular file"},
      {dir.File("folder"), "it is a folder, not a file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    FileError error;
    EXPECT_FALSE(ReplaceFileContent(c.path, "text", error));
    EXPECT_EQ(error.Cause(), c.reason);
  }
  EXPECT_TRUE(S_ISFIFO(ModeOf(pipe)));
  EXPECT_TRUE(IsLink(toDevice));
  EXPECT_TRUE(S_ISCHR(ModeOf("/dev/null")));
  EXPECT_EQ(ListFolder(dir.Path()).size(), 3u) << "a temporary file was left behind";
}

TEST(OutputFiles, ALinkStaysALinkAndTheFileKeepsItsMode) {
  TempFolder dir;
  ASSERT_EQ(::mkdir(dir.File("real").c_str(), 0700), 0);
  const std::string target = dir.File("real/report.htm");
  WriteText(target, "old");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  const std::string link = dir.File("report.htm");
  ASSERT_EQ(::symlink("real/report.htm", link.c_str()), 0);  // relative, as users make them
  const std::string second = dir.File("second.htm");
  ASSERT_EQ(::symlink(link.c_str(), second.c_str()), 0);  // a link to the link

  FileError error;
  ASSERT_TRUE(ReplaceFileContent(second, "new", error)) << error.Describe();
  EXPECT_TRUE(IsLink(link));
  EXPECT_TRUE(IsLink(second));
  EXPECT_EQ(ReadText(target), "new");
  EXPECT_EQ(ModeOf(target) & 07777, 0640u);

  // A link that leads nowhere yet makes the file it names.
  const std::string dangling = dir.File("dangling");
  ASSERT_EQ(::symlink("real/made.htm", dangling.c_str()), 0);
  ASSERT_TRUE(ReplaceFileContent(dangling, "made", error)) << error.Describe();
  EXPECT_TRUE(IsLink(dangling));
  EXPECT_EQ(ReadText(dir.File("real/made.htm")), "made");

  const std::string loop = dir.File("loop");
  ASSERT_EQ(::symlink(loop.c_str(), loop.c_str()), 0);
  EXPECT_FALSE(ReplaceFileContent(loop, "x", error));
  EXPECT_TRUE(IsLink(loop));
}

TEST(OutputFiles, AFileTheUserMayNotWriteIsLeftAlone) {
  TempFolder dir;
  ::chmod(dir.Path().c_str(), 0777);  // the folder would allow the rename
  const std::string path = dir.File("kept.csv");
  WriteText(path, "kept");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  const int code = RunUnprivileged([&] {
    FileError error;
    if (ReplaceFileContent(path, "new", error)) return 10;
    return error.Describe() == "cannot write " + path + ": Permission denied" ? 0 : 11;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(ReadText(path), "kept");
}

TEST(InputFiles, APipeIsRefusedInsteadOfWaitedOn) {
  TempFolder dir;
  const std::string pipe = dir.File("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  for (int flags : {O_RDONLY, O_WRONLY | O_APPEND | O_CREAT}) {
    FileHandle file;
    FileError error;
    EXPECT_FALSE(OpenRegularFile(pipe, flags, file, error));
    EXPECT_EQ(error.Cause(), "it is a named pipe, not a regular file");
  }
  WriteText(dir.File("plain"), "abc");
  FileHandle file;
  FileError error;
  ASSERT_TRUE(OpenRegularFile(dir.File("plain"), O_RDONLY, file, error));
  EXPECT_EQ(::fcntl(file.Get(), F_GETFL) & O_NONBLOCK, 0) << "the descriptor should block as usual";
  EXPECT_FALSE(OpenRegularFile(dir.File("none"), O_RDONLY, file, error));
  EXPECT_EQ(error.errorNumber, ENOENT);
}
