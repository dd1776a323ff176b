// The journaling rule checked: a change that alters a record without noting it ends the program in the test
// and debug builds, instead of leaving the change out of the journal for good.
#include <gtest/gtest.h>

#include <cstdlib>

#include "portfolio/records/vl_stock_holding_item.h"
#include "vl_database_fixture.h"

// What no operation of the database does: change a position's comment while noting only its portfolio.
class VLDatabaseTestPeer {
 public:
  static VLResult ChangeUnnoted(VLDatabase& db, VLDatabaseConn* conn, uint32_t portfolioId,
                                uint32_t positionId) {
    return db.RunChange(conn, VLDatabase::NoticeKind::Positions, [&](VLDatabase::Change& change) {
      change.record.Portfolio(portfolioId);
      change.record.SetText("Plant a change");
      static_cast<VLStockHoldingItem*>(db.FindPosition(positionId))->comment = "not noted";
      db.Touch(portfolioId);
      return VLResult::Ok;
    });
  }
  static VLResult ChangeNoted(VLDatabase& db, VLDatabaseConn* conn, uint32_t portfolioId,
                              uint32_t positionId) {
    return db.RunChange(conn, VLDatabase::NoticeKind::Positions, [&](VLDatabase::Change& change) {
      change.record.Portfolio(portfolioId);
      change.record.Position(positionId);
      change.record.SetText("A change by the rule");
      static_cast<VLStockHoldingItem*>(db.FindPosition(positionId))->comment = "noted";
      db.Touch(portfolioId);
      return VLResult::Ok;
    });
  }
};

namespace {

using JournalAuditDeathTest = DatabaseTest;

TEST_F(JournalAuditDeathTest, ARecordChangedWithoutBeingNotedEndsTheProgramNamingTheChange) {
  ::testing::FLAGS_gtest_death_test_style = "threadsafe";
  ASSERT_EQ(setenv("VELLUMAR_AUDIT_JOURNAL", "1", 1), 0);  // read once per process: the death test's child
  const uint32_t portfolio = AddPortfolio("Retirement");
  const uint32_t position = AddStock(portfolio, "MSFT");
  EXPECT_EQ(VLDatabaseTestPeer::ChangeNoted(*db, conn, portfolio, position), VLResult::Ok);
  EXPECT_DEATH((void)VLDatabaseTestPeer::ChangeUnnoted(*db, conn, portfolio, position),
               "the change \"Plant a change\" changed a record without noting it");
}

}  // namespace
