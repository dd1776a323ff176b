// vellumar-cli changes, undo and redo, in-process and as the real program beside a change made elsewhere.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "portfolio/columns/clock.h"
#include "portfolio/columns/number_format.h"
#include "tests/cli/cli_call.h"
#include "tests/support/shell_command.h"
#include "tests/support/temp_folder.h"
#include "tests/support/time_zone.h"

namespace {

class JournalCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    db = folder.File("t.db");
    ASSERT_EQ(Run({"init"}).code, 0);
    ASSERT_EQ(Run({"add-portfolio", "Retirement"}).code, 0);
    ASSERT_EQ(Run({"add-stock", "Retirement", "MSFT", "--qty", "100", "--price", "250", "--no-check"}).code,
              0);
    ASSERT_EQ(Run({"sell", "1", "--qty", "40", "--price", "300", "--date", "2024-06-03"}).code, 0);
  }
  CliResult Run(const std::vector<std::string>& words) { return CallCliOn(words, db); }

  TempFolder folder{"vl_cli_journal"};
  std::string db;
  ScopedNumberFormat english{NumberFormat::English()};
  ScopedClock clock{std::make_shared<FixedClock>(1733300000)};
  ScopedTimeZone utc{"UTC0"};
};

}  // namespace

TEST_F(JournalCommands, ChangesListsNewestFirstAndSaysWhatIsUndone) {
  ASSERT_EQ(Run({"undo"}).code, 0);
  EXPECT_EQ(Run({"changes"}).out,
            "sequence\ttime\tprogram\ttext\tundone\n"
            "4\t2024-12-04 08:13:20\tvellumar-cli\tUndo Sell 40 of MSFT in Retirement\tfalse\n"
            "3\t2024-12-04 08:13:20\tvellumar-cli\tSell 40 of MSFT in Retirement\ttrue\n"
            "2\t2024-12-04 08:13:20\tvellumar-cli\tAdd position 1 (MSFT, 100 shares) to Retirement\tfalse\n"
            "1\t2024-12-04 08:13:20\tvellumar-cli\tAdd portfolio Retirement\tfalse\n");
  const auto json = nlohmann::json::parse(Run({"changes", "--limit", "2", "--json"}).out);
  ASSERT_EQ(json.size(), 2u);
  EXPECT_EQ(json[1]["sequence"], 3);
  EXPECT_EQ(json[1]["undone"], true);
  EXPECT_EQ(json[0]["text"], "Undo Sell 40 of MSFT in Retirement");
  EXPECT_EQ(Run({"changes", "--limit", "0"}).code, 2);
}

TEST_F(JournalCommands, UndoAndRedoPrintWhatTheyDidAndRefuseWithTheirOwnCode) {
  EXPECT_EQ(Run({"undo"}).out, "sequence\tundid\ttext\n4\t3\tSell 40 of MSFT in Retirement\n");
  EXPECT_EQ(Run({"positions"}).out.find("sold"), std::string::npos);
  EXPECT_EQ(Run({"redo"}).out, "sequence\tredid\ttext\n5\t3\tSell 40 of MSFT in Retirement\n");
  const CliResult again = Run({"redo"});
  EXPECT_EQ(again.code, 7);
  EXPECT_EQ(again.err, "vellumar-cli redo: there is nothing to redo\n");

  // The file replaced by what it was before the sale: the journal no longer describes it.
  const std::string sold = ReadText(db);
  ASSERT_EQ(Run({"undo"}).code, 0);
  const std::string before = ReadText(db);
  WriteText(db, sold);
  const CliResult refused = Run({"redo", "--json"});
  EXPECT_EQ(refused.code, 7);
  const auto error = nlohmann::json::parse(refused.err);
  EXPECT_EQ(error["code"], 7);
  EXPECT_NE(error["message"].get<std::string>().find("cannot redo \"Sell 40 of MSFT in Retirement\": the "
                                                     "database no longer matches its change journal"),
            std::string::npos);
  EXPECT_EQ(ReadText(db), sold);
  WriteText(db, before);
  EXPECT_EQ(Run({"redo"}).code, 0);
}

TEST_F(JournalCommands, ATornJournalIsSaidAndAJournalThatCannotBeWrittenIsWarnedOf) {
  const std::string journal = folder.File("t.journal");
  const std::string whole = ReadText(journal);
  WriteText(journal, whole.substr(0, whole.size() - 5));
  const CliResult listed = Run({"changes"});
  EXPECT_EQ(listed.code, 0);
  EXPECT_NE(listed.err.find("warning: the last "), std::string::npos);
  EXPECT_NE(listed.err.find("are not read: an entry that was not written to its end; they were ignored"),
            std::string::npos);
  EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'), 3);  // header and two entries

  // A journal that is a folder cannot be written: the change is saved all the same, with a warning.
  std::filesystem::remove(journal);
  std::filesystem::create_directory(journal);
  const CliResult cash = Run({"add-cash", "Retirement", "10", "--comment", "c"});
  EXPECT_EQ(cash.code, 0);
  EXPECT_NE(cash.err.find("the change was saved, but the change journal could not record it"),
            std::string::npos);
  const CliResult undo = Run({"undo"});
  EXPECT_EQ(undo.code, 1);
  EXPECT_NE(undo.err.find("the change journal cannot be read"), std::string::npos);
}

TEST_F(JournalCommands, TheProgramUndoesAChangeMadeByAnotherAndTheOtherSeesIt) {
  ASSERT_EQ(Run({"delete-position", "2"}).code, 0);
  const ShellRun undo = RunShell(std::string(VL_CLI_PROGRAM) + " undo --db " + db);
  EXPECT_EQ(undo.code, 0);
  EXPECT_EQ(undo.out, "sequence\tundid\ttext\n5\t4\tDelete position 2 (MSFT, 60 shares) from Retirement\n");
  EXPECT_NE(Run({"positions"}).out.find("2\tRetirement\tstock\tMSFT\theld\t60"), std::string::npos);
  EXPECT_EQ(Run({"redo"}).code, 0);
}
