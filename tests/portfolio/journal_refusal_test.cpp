// When undo and redo refuse: the database is not where the journal left it, the journal is missing, torn or
// damaged, or belongs to another database. A refusal changes nothing, and nothing past a tear is trusted.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "portfolio/journal/change_journal.h"
#include "tests/support/unprivileged.h"
#include "vl_database_fixture.h"

namespace {

class JournalRefusalTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    portfolio = AddPortfolio("Retirement");
    first = AddStock(portfolio, "MSFT");
    journalPath = db->GetJournalPath();
  }

  // Undo or redo in a fresh program, which must refuse with `code` and leave both files as they were.
  void ExpectRefused(bool undo, VLResult code) {
    const std::string store = ReadText(path);
    const std::string journal = ReadText(journalPath);
    Reopen();
    VLJournalStep step;
    EXPECT_EQ(undo ? db->Undo(conn, step) : db->Redo(conn, step), code);
    EXPECT_EQ(ReadText(path), store);
    EXPECT_EQ(ReadText(journalPath), journal);
  }

  size_t Listed(VLJournalState& state) {
    std::vector<VLJournalListing> list;
    EXPECT_EQ(db->GetChanges(conn, 0, list, state), VLResult::Ok);
    return list.size();
  }

  uint32_t portfolio = 0;
  uint32_t first = 0;
  std::string journalPath;
};

}  // namespace

TEST_F(JournalRefusalTest, TheJournalIsBesideTheDatabaseNamedAfterIt) {
  EXPECT_EQ(journalPath, std::filesystem::canonical(folder.Path()).string() + "/Vellumar.journal");
  EXPECT_EQ(ChangeJournal::PathFor("/nowhere/my.store.db"), "/nowhere/my.store.journal");
  EXPECT_EQ(ChangeJournal::PathFor("/nowhere/.hidden"), "/nowhere/.hidden.journal");
}

TEST_F(JournalRefusalTest, AFileReplacedByABackupIsRefused) {
  const std::string backup = ReadText(path);
  ASSERT_EQ(db->DeletePosition(conn, first), VLResult::Ok);
  WriteText(path, backup);
  ExpectRefused(true, VLResult::JournalMismatch);
  // A change made to the backup starts anew: it can be undone, the change before the backup cannot.
  AddStock(portfolio, "IBM");
  VLJournalStep step;
  EXPECT_EQ(db->Undo(conn, step), VLResult::Ok);
  EXPECT_EQ(db->Undo(conn, step), VLResult::JournalMismatch);
  EXPECT_EQ(step.text, "Delete position 1 (MSFT, 100 shares) from Retirement");
}

TEST_F(JournalRefusalTest, AMissingJournalHasNothingToUndoAndAChangeStartsItAgain) {
  ASSERT_TRUE(std::filesystem::remove(journalPath));
  ExpectRefused(true, VLResult::NothingToUndo);
  ExpectRefused(false, VLResult::NothingToRedo);
  AddStock(portfolio, "IBM");
  VLJournalStep step;
  EXPECT_EQ(db->Undo(conn, step), VLResult::Ok);
  EXPECT_EQ(step.target, 1u);
}

TEST_F(JournalRefusalTest, ATailTornAtAnyByteOfTheLastEntryIsIgnoredReportedAndNeverUndone) {
  const size_t lastStart = ReadText(journalPath).size();
  AddStock(portfolio, "IBM");
  const std::string whole = ReadText(journalPath);
  for (size_t cut = lastStart; cut < whole.size(); ++cut) {
    SCOPED_TRACE(cut);
    WriteText(journalPath, whole.substr(0, cut));
    Reopen();
    VLJournalState state;
    EXPECT_EQ(Listed(state), 2u);  // the portfolio and MSFT: IBM's entry is not whole
    EXPECT_EQ(state.damagedBytes, cut - lastStart);
    EXPECT_EQ(state.undoText, "Add position 1 (MSFT, 100 shares) to Retirement");
    // The database holds IBM, which the journal no longer knows: undoing MSFT would not put back what was.
    ExpectRefused(true, VLResult::JournalMismatch);
  }
  // The next change writes the journal again without the torn tail.
  AddStock(portfolio, "NVDA");
  VLJournalState state;
  EXPECT_EQ(Listed(state), 3u);
  EXPECT_EQ(state.damagedBytes, 0u);
  VLJournalStep step;
  EXPECT_EQ(db->Undo(conn, step), VLResult::Ok);
  EXPECT_EQ(db->Undo(conn, step), VLResult::JournalMismatch);
}

TEST_F(JournalRefusalTest, ADamagedByteAnywhereInTheLastEntryIsFound) {
  const size_t lastStart = ReadText(journalPath).size();
  AddStock(portfolio, "IBM");
  const std::string whole = ReadText(journalPath);
  for (size_t at = lastStart; at < whole.size(); ++at) {
    std::string damaged = whole;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x20);
    WriteText(journalPath, damaged);
    Reopen();
    VLJournalState state;
    ASSERT_EQ(Listed(state), 2u) << "byte " << at;
    EXPECT_NE(state.damagedBytes, 0u);
  }
}

TEST_F(JournalRefusalTest, AJournalOfAnotherDatabaseIsRefused) {
  const TempFolder otherFolder{"vl_other"};
  const std::string otherPath = otherFolder.File("Vellumar.db");
  {
    VLDatabase other(otherPath);
    ASSERT_EQ(other.Create(), DbResult::Ok);
    auto window = std::make_shared<RecordingWindow>(log);
    VLDatabaseConn* c = other.Connect(window, 1, 2, 3);
    ASSERT_NE(c, nullptr);
    VLPortfolioItem p;
    p.name = "Retirement";
    ASSERT_EQ(other.AddPortfolio(c, p), VLResult::Ok);
    VLStockHoldingItem fields;
    fields.name = "AAPL";
    uint32_t id = 0;
    ASSERT_EQ(other.AddStockPosition(c, p.id, fields, id), VLResult::Ok);
  }
  std::filesystem::copy_file(otherFolder.File("Vellumar.journal"), journalPath,
                             std::filesystem::copy_options::overwrite_existing);
  ExpectRefused(true, VLResult::JournalMismatch);
}

TEST_F(JournalRefusalTest, AReadOnlyDatabaseRefusesUndoLikeAnyChange) {
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  ASSERT_EQ(::chmod(folder.Path().c_str(), 0777), 0);
  const std::string store = ReadText(path);
  const std::string dbPath = path;
  EXPECT_EQ(RunUnprivileged([&dbPath] {
              VLDatabase readOnly(dbPath);
              NotificationLog childLog;
              auto window = std::make_shared<RecordingWindow>(childLog);
              VLDatabaseConn* c = readOnly.Connect(window, 1, 2, 3);
              VLJournalStep step;
              return c && readOnly.Undo(c, step) == VLResult::ReadOnly ? 0 : 1;
            }),
            0);
  EXPECT_EQ(ReadText(path), store);
}

TEST(ChangeJournalBound, OldEntriesAreDroppedWholeAndTheNewestAlwaysStays) {
  const TempFolder folder{"vl_bound"};
  ChangeJournal journal;
  journal.SetPath(folder.File("Vellumar.journal"));
  auto append = [&journal](size_t bytes) {
    JournalEntry entry;
    entry.header.text = "change";
    entry.records.push_back({JournalRecordKind::Position, 1, std::string(bytes, 'b'), std::string()});
    EXPECT_TRUE(journal.Append(entry, 0600));
    return entry.header.sequence;
  };
  for (int i = 0; i < 9; ++i) append(1 << 20);  // nine entries of a MiB: under the bound
  EXPECT_EQ(journal.Entries().size(), 9u);
  const uint64_t tenth = append(1 << 20);  // past 10 MiB: down to what fits in 7.5 MiB
  EXPECT_EQ(journal.Entries().size(), 7u);
  EXPECT_EQ(journal.Entries().front().header.sequence, 4u);
  EXPECT_EQ(journal.Entries().back().header.sequence, tenth);
  // Larger than the bound alone: kept with the history before it, which it does not count against.
  const uint64_t huge = append(12 << 20);
  ASSERT_EQ(journal.Entries().size(), 8u);
  EXPECT_EQ(journal.Entries().front().header.sequence, 4u);
  EXPECT_EQ(journal.Entries().back().header.sequence, huge);
  append(10);
  EXPECT_EQ(journal.Entries().size(), 9u);
  // Only the newest entry of that size stays: a second one takes the first and all before it.
  const uint64_t second = append(12 << 20);
  ASSERT_EQ(journal.Entries().size(), 2u);
  EXPECT_EQ(journal.Entries().front().header.sequence, huge + 1);
  EXPECT_EQ(std::filesystem::status(journal.Path()).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

  // A fresh reader finds what the writer left; entries read back whole.
  ChangeJournal reader;
  reader.SetPath(journal.Path());
  ASSERT_TRUE(reader.Refresh());
  ASSERT_EQ(reader.Entries().size(), 2u);
  JournalEntry back;
  ASSERT_TRUE(reader.Read(1, back));
  EXPECT_EQ(back.records.at(0).before.size(), 12u << 20);

  // By count: the 1,001st entry finds the journal full, and the oldest go whole.
  for (size_t i = 2; i < ChangeJournal::kMaxEntries; ++i) append(10);
  EXPECT_EQ(journal.Entries().size(), ChangeJournal::kMaxEntries);
  append(10);
  EXPECT_EQ(journal.Entries().size(), ChangeJournal::kKeptEntries);
  EXPECT_EQ(journal.Entries().back().header.sequence, second + ChangeJournal::kMaxEntries - 1);
}
