// Texts made safe to show on a terminal, and the private temporary folder a library is pointed at.
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "framework/private_temp_folder.h"
#include "framework/visible_text.h"
#include "tests/support/temp_folder.h"

TEST(VisibleText, WritesOutEverythingThatCouldSteerATerminal) {
  const struct {
    std::string text, shown;
  } cases[] = {
      {"plain café €", "plain café €"},
      {"esc\x1B[2Jend", "esc\\x1B[2Jend"},
      {std::string("nul\0cr\rtab\tlf\ndel\x7F", 18), "nul\\x00cr\\x0Dtab\\x09lf\\x0Adel\\x7F"},
      {"c1 \xC2\x9B"
       "31m",
       "c1 \\u009B31m"},
      {"rlo \xE2\x80\xAE"
       "gpj.exe",
       "rlo \\u202Egpj.exe"},
      {"isolates \xE2\x81\xA6x\xE2\x81\xA9 mark \xE2\x80\x8F arabic \xD8\x9C",
       "isolates \\u2066x\\u2069 mark \\u200F arabic \\u061C"},
      {"not bidi \xE2\x80\x94 dash, \xE2\x80",
       "not bidi \xE2\x80\x94 dash, \xE2\x80"},  // a cut-off sequence stays
  };
  for (const auto& c : cases) EXPECT_EQ(VisibleText(c.text), c.shown) << c.shown;
  EXPECT_EQ(VisibleText("two\nlines\r", true), "two\nlines\\x0D");
}

TEST(PrivateTempFolder, IsRemovedWithItsFilesAndSoAreThoseOfProcessesThatAreGone) {
  TempFolder base;
  const char* saved = ::getenv("TMPDIR");
  const std::string before = saved ? saved : "";
  ::setenv("TMPDIR", base.Path().c_str(), 1);

  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ASSERT_GT(child, 0);
  ::waitpid(child, nullptr, 0);  // its pid now names no process
  const std::string stale = base.File("vl-test-" + std::to_string(child) + "-Ab12Cd");
  const std::string alive = base.File("vl-test-1-Ab12Cd");  // process 1 is always there
  for (const std::string& folder : {stale, alive}) {
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    WriteText(folder + "/libtmp", "copy of a statement");
  }
  std::string own;
  {
    PrivateTempFolder folder("vl-test");
    own = folder.Path();
    ASSERT_FALSE(own.empty());
    EXPECT_TRUE(std::filesystem::exists(own));
    {
      const TempFolderForChildren pointed(own);
      EXPECT_EQ(std::string(::getenv("TMPDIR")), own);
      WriteText(own + "libtmp", "copy");
    }
    EXPECT_EQ(std::string(::getenv("TMPDIR")), base.Path());
    EXPECT_FALSE(std::filesystem::exists(stale)) << "the folder of a process that is gone stayed";
    EXPECT_TRUE(std::filesystem::exists(alive));
  }
  EXPECT_FALSE(std::filesystem::exists(own));
  if (saved) {
    ::setenv("TMPDIR", before.c_str(), 1);
  } else {
    ::unsetenv("TMPDIR");
  }
}
