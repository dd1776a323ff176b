// What vellumar-cli does with output it cannot write, paths that are no regular files, file content that
// would steer the terminal, and the small refusals of the import's options.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "portfolio/columns/clock.h"
#include "portfolio/columns/number_format.h"
#include "tests/cli/cli_call.h"
#include "tests/support/hand_built_database.h"
#include "tests/support/temp_folder.h"
#include "tests/support/unprivileged.h"

extern char** environ;

namespace {

// The real program with its standard output going to `outPath` (such as /dev/full) and its errors into a
// file; the exit code and the errors.
CliResult RunProgram(std::vector<std::string> words, const std::string& outPath, const std::string& errPath) {
  words.insert(words.begin(), VL_CLI_PROGRAM);
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  ::posix_spawn_file_actions_init(&actions);
  ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY, 0);
  ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
  pid_t pid = -1;
  CliResult result;
  if (::posix_spawn(&pid, VL_CLI_PROGRAM, &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  ::posix_spawn_file_actions_destroy(&actions);
  result.err = ReadText(errPath);
  return result;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  WriteText(path, std::string(bytes.begin(), bytes.end()));
}

bool IsFifo(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode);
}

class UntrustedFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    db = folder.File("t.db");
    ASSERT_EQ(Run({"init"}).code, 0);
    ASSERT_EQ(Run({"add-portfolio", "Main"}).code, 0);
  }
  CliResult Run(std::vector<std::string> words) { return CallCliOn(std::move(words), db); }
  std::string Fifo(const std::string& name) {
    const std::string path = folder.File(name);
    EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
    return path;
  }

  TempFolder folder{"vl_cli_untrusted"};
  std::string db;
  ScopedNumberFormat english{NumberFormat::English()};
  ScopedClock clock{std::make_shared<FixedClock>(1733300000)};
};

}  // namespace

TEST_F(UntrustedFiles, OutputThatCannotBeWrittenFailsTheCommandWithItsCause) {
  ASSERT_EQ(Run({"add-cash", "Main", "100", "--comment", "cash"}).code, 0);
  const std::string err = folder.File("err");
  for (const std::vector<std::string>& words :
       {std::vector<std::string>{"positions"}, {"export", "--out", "-"}, {"view", "Main"}}) {
    SCOPED_TRACE(words[0]);
    std::vector<std::string> full = words;
    full.insert(full.end(), {"--db", db});
    const CliResult result = RunProgram(full, "/dev/full", err);
    EXPECT_EQ(result.code, 1);
    EXPECT_NE(result.err.find("cannot write to standard output: No space left on device"), std::string::npos)
        << result.err;
  }
  std::vector<std::string> json = {"positions", "--json", "--db", db};
  const CliResult said = RunProgram(json, "/dev/full", err);
  EXPECT_EQ(said.code, 1);
  EXPECT_EQ(nlohmann::json::parse(said.err)["code"], 1);
  // The same command into a file that takes it succeeds.
  EXPECT_EQ(RunProgram(json, "/dev/null", err).code, 0);
}

TEST_F(UntrustedFiles, ExportReplacesOnlyARegularFileAndFollowsALink) {
  ASSERT_EQ(Run({"add-cash", "Main", "100", "--comment", "cash"}).code, 0);
  const std::string pipe = Fifo("pipe.csv");
  const CliResult toPipe = Run({"export", "--out", pipe});
  EXPECT_EQ(toPipe.code, 1);
  EXPECT_NE(toPipe.err.find("it is a named pipe, not a regular file"), std::string::npos) << toPipe.err;
  EXPECT_TRUE(IsFifo(pipe));

  const std::string device = folder.File("device.csv");
  ASSERT_EQ(::symlink("/dev/null", device.c_str()), 0);
  EXPECT_EQ(Run({"export", "--out", device}).code, 1);

  const std::string target = folder.File("real.csv");
  WriteText(target, "old");
  ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
  const std::string link = folder.File("link.csv");
  ASSERT_EQ(::symlink("real.csv", link.c_str()), 0);
  ASSERT_EQ(Run({"export", "--out", link}).code, 0);
  struct stat st {};
  ASSERT_EQ(::lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link was replaced by a file";
  EXPECT_NE(ReadText(target).find("cash"), std::string::npos);
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST_F(UntrustedFiles, NamedPipesAreRefusedInsteadOfWaitedOn) {
  const CliResult import = Run({"import", Fifo("in.csv"), "--portfolio", "Main", "--map", "symbol=#1"});
  EXPECT_EQ(import.code, 1);
  EXPECT_NE(import.err.find("it is a named pipe"), std::string::npos) << import.err;

  const std::string csv = folder.File("in2.csv");
  WriteText(csv, "MSFT\n");
  const CliResult profiles =
      Run({"import", csv, "--portfolio", "Main", "--profiles", Fifo("profiles.ini"), "--profile", "X"});
  EXPECT_EQ(profiles.code, 1) << profiles.err;

  // The journal beside the database: reading it fails with the reason, a change is kept and says it
  // cannot be undone.
  ASSERT_EQ(::unlink(folder.File("t.journal").c_str()), 0);
  ASSERT_EQ(::mkfifo(folder.File("t.journal").c_str(), 0600), 0);
  const CliResult changes = Run({"changes"});
  EXPECT_EQ(changes.code, 1);
  EXPECT_NE(changes.err.find("named pipe"), std::string::npos) << changes.err;
  EXPECT_EQ(changes.err.find("nothing was changed"), std::string::npos) << changes.err;
  const CliResult add = Run({"add-cash", "Main", "5", "--comment", "kept"});
  EXPECT_EQ(add.code, 0) << add.err;
  EXPECT_NE(add.err.find("named pipe"), std::string::npos) << add.err;
  EXPECT_NE(Run({"positions"}).out.find("kept"), std::string::npos);
}

TEST_F(UntrustedFiles, ControlCharactersOfStoredTextsAndOfFilesNeverReachTheTerminal) {
  ASSERT_EQ(Run({"add-cash", "Main", "5", "--comment", "tab\there\nnext \xE2\x80\xAEtxt.exe"}).code, 0);
  const auto rows = TsvRows(Run({"positions"}).out);
  ASSERT_EQ(rows.size(), 2u) << "a line break split the row";
  ASSERT_GE(rows[1].size(), 4u);
  EXPECT_EQ(rows[1][3], "tab\\x09here\\x0Anext \\u202Etxt.exe");  // the description, in the symbol's column

  const std::string file = folder.File("bad.csv");
  WriteText(file, "X\x1B[2J,1,2.00\n");
  const CliResult refused =
      Run({"import", file, "--portfolio", "Main", "--map", "symbol=#1,quantity=#2,price=#3"});
  EXPECT_EQ(refused.code, 4);
  EXPECT_EQ(refused.err.find('\x1B'), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find("X\\x1B[2J"), std::string::npos) << refused.err;
}

TEST_F(UntrustedFiles, TextsAreRefusedWithTheDialogsLimits) {
  const struct {
    std::vector<std::string> words;
    std::string message;
  } cases[] = {
      {{"add-stock", "Main", std::string(17, 'A'), "--qty", "1", "--price", "1", "--no-check"},
       "the symbol is too long: at most 16 characters"},
      {{"add-cash", "Main", "5", "--comment", std::string(32768, 'c')},
       "the description is too long: at most 32767 characters"},
      {{"add-portfolio", "Other", "--comment", "bad\x1B"}, "the portfolio comment holds a control character"},
      {{"add-portfolio", "Bad\xFF"}, "the portfolio name holds a control character"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.words[0]);
    const CliResult result = Run(c.words);
    EXPECT_EQ(result.code, 4);
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
  }
  EXPECT_EQ(TsvRows(Run({"positions"}).out).size(), 1u);  // nothing was added
}

TEST_F(UntrustedFiles, TheImportsSmallerRefusals) {
  const std::string file = folder.File("two.csv");
  WriteText(file, "Symbol,Qty\nMSFT,1\n");
  const struct {
    std::vector<std::string> options;
    int code;
    std::string message;
  } cases[] = {
      {{"--skip-rows", "1000000"}, 4, "the file has 2 lines, and all of them are skipped"},
      {{"--map", "symbol=#0"}, 2, "'#0' is no column: columns are numbered from #1"},
      {{"--date-format", "YYYYMD"}, 2, "a one-letter M or D needs a separator after it"},
      {{"--save-profile", "bad]name"}, 2, "--save-profile: a profile name must not hold"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options[0]);
    std::vector<std::string> words = {"import", file, "--portfolio", "Main", "--map", "symbol=Symbol"};
    if (c.options[0] == "--map") words.resize(4);
    words.insert(words.end(), c.options.begin(), c.options.end());
    const CliResult result = Run(words);
    EXPECT_EQ(result.code, c.code);
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
  }
}

TEST_F(UntrustedFiles, PortfoliosAreFoundByTheirTrimmedName) {
  ASSERT_EQ(Run({"add-portfolio", "  Spaced  "}).code, 0);
  const CliResult result = Run({"add-cash", "  Spaced  ", "5", "--comment", "c"});
  EXPECT_EQ(result.code, 0) << result.err;
}

TEST_F(UntrustedFiles, PerformanceToAFutureDateIsRefused) {
  const CliResult result = Run({"performance", "Main", "--to", "2099-01-01"});
  EXPECT_EQ(result.code, 4);
  EXPECT_NE(result.err.find("the date 2099-01-01 is after today"), std::string::npos) << result.err;
}

TEST_F(UntrustedFiles, CheckFindsAPositionWhoseQuoteIsNotInTheFile) {
  // The hand-built file with its one quote taken out of the quote list.
  HandBytes b = hand_built::Header();
  b.Key("SIIList", 1).U32(0);
  hand_built::AppendPortfolioList(b);
  b.Key("HIList", 1).U32(1);
  hand_built::AppendSoldStock(b);
  const std::string broken = folder.File("broken.db");
  WriteBytes(broken, b.bytes);
  const CliResult result = CallCliOn({"check"}, broken);
  EXPECT_EQ(result.code, 8) << result.err;
  EXPECT_NE(result.err.find("1 stock position links to a quote the file does not hold"), std::string::npos)
      << result.err;
  EXPECT_EQ(CallCliOn({"check"}, db).code, 0);
}
