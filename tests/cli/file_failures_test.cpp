// vellumar-cli on files the system refuses: a database the user may only read, a full disk for a change and
// for a report. Every failure names the file and the system's reason and leaves the files as they were.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/cli_call.h"
#include "tests/support/shell_command.h"
#include "tests/support/small_disk.h"
#include "tests/support/temp_folder.h"

namespace {

// The real program, as a user without rights over files it does not own (the suite may run as root).
ShellRun RunAsUser(const std::string& arguments) {
  const std::string user = ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
  return RunShell(user + VL_CLI_PROGRAM + " " + arguments + " 2>&1");
}

std::string Init(const std::string& db) {
  EXPECT_EQ(CallCliOn({"init"}, db).code, 0);
  EXPECT_EQ(CallCliOn({"add-portfolio", "P"}, db).code, 0);
  EXPECT_EQ(CallCliOn({"add-cash", "P", "10", "--comment", "cash"}, db).code, 0);
  return ReadText(db);
}

}  // namespace

TEST(CliFileFailures, ADatabaseTheUserMayOnlyReadIsReadAndAChangeSaysReadOnlyWithThePath) {
  TempFolder dir;
  const std::string db = dir.File("v.db");
  const std::string before = Init(db);
  ::chmod(dir.Path().c_str(), 0755);
  ::chmod(db.c_str(), 0444);

  for (const char* reading : {"positions", "view P", "summary P", "check"}) {
    const ShellRun run = RunAsUser(std::string(reading) + " --db " + db);
    EXPECT_EQ(run.code, 0) << reading << ": " << run.out;
    EXPECT_EQ(run.out.find("corrupt"), std::string::npos) << run.out;
  }
  const ShellRun change = RunAsUser("add-cash P 5 --comment more --db " + db);
  EXPECT_EQ(change.code, 1);
  EXPECT_EQ(change.out, "vellumar-cli add-cash: the database may only be read (cannot write " + db +
                            ": Permission denied); nothing was changed\n");
  EXPECT_EQ(ReadText(db), before);

  ::chmod(db.c_str(), 0000);
  const ShellRun closed = RunAsUser("positions --db " + db);
  EXPECT_EQ(closed.code, 1);
  EXPECT_EQ(closed.out, "vellumar-cli positions: cannot open " + db + ": Permission denied\n");
}

TEST(CliFileFailures, AFullDiskSaysNoSpaceAndKeepsTheDatabaseAndAnOlderReport) {
  SmallDisk disk("512k");
  if (!disk.Mounted()) GTEST_SKIP() << "no tmpfs can be mounted here; the injected write failures cover this";
  const std::string db = disk.File("v.db");
  const std::string report = disk.File("p.htm");
  Init(db);
  // Enough rows that the report needs more room than the old one frees (a page): written in place, the
  // old report would be cut short at the full disk.
  for (int i = 0; i < 60; ++i) ASSERT_EQ(CallCliOn({"add-cash", "P", "1", "--comment", "cash"}, db).code, 0);
  const std::string before = ReadText(db);
  WriteText(report, "the report printed last week");
  disk.Fill();

  const CliResult change = CallCliOn({"add-cash", "P", "5", "--comment", std::string(300, 'x')}, db);
  EXPECT_EQ(change.code, 1);
  EXPECT_EQ(
      change.err.rfind("vellumar-cli add-cash: the change could not be saved: cannot write " + db + ".", 0),
      0u)
      << change.err;
  EXPECT_NE(change.err.find(": No space left on device; the file was left as it was\n"), std::string::npos)
      << change.err;
  EXPECT_EQ(ReadText(db), before);

  const CliResult written = CallCliOn({"report", "P", "--out", report}, db);
  EXPECT_EQ(written.code, 1);
  EXPECT_NE(written.err.find("No space left on device; the report at " + report + " is left as it was"),
            std::string::npos)
      << written.err;
  EXPECT_EQ(ReadText(report), "the report printed last week");
  EXPECT_EQ(
      std::distance(std::filesystem::directory_iterator(disk.Path()), std::filesystem::directory_iterator()),
      5)
      << "the database, its lock file, its change journal, the report and the filler: no temporary file is "
         "left";
}
