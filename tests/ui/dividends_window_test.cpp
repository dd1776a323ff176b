// The Dividends window driven through its widgets against a real database: a payment added, changed and
// deleted through the payment dialog, the totals by year, and Fetch Dividends recording the payments kept.
#include <QLabel>
#include <QTreeWidget>

#include "dialog_steps.h"
#include "portfolio/columns/clock.h"
#include "portfolio/income/income_fetch.h"
#include "portfolio/records/calendar_date.h"
#include "tests/support/exact_values.h"
#include "ui/dialogs/c_dlg_income_record.h"
#include "ui/main/c_dlg_dividends.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"

namespace {

class TableDividends : public IDividendSource {
 public:
  std::vector<KnownDividend> dividends;
  bool GetDividends(const std::string&, int64_t, int64_t, std::vector<KnownDividend>& out, std::string&,
                    FetchFailure&) override {
    out = dividends;
    return true;
  }
};

class DividendsWindowTest : public ::testing::Test {
 protected:
  DividendsWindowTest() { portfolio = host.AddPortfolio("Income"); }
  std::vector<VLIncomeItem> Income() {
    std::vector<VLIncomeItem> list;
    EXPECT_EQ(host.database->GetIncome(host.otherConn, portfolio, list), VLResult::Ok);
    return list;
  }

  ScopedClock later{std::make_shared<FixedClock>(1767225600)};  // 2026-01-01
  TestHost host;
  uint32_t portfolio = 0;
  std::unique_ptr<CDlgVellumar> window;
};

}  // namespace

TEST_F(DividendsWindowTest, PaymentsAreAddedChangedAndDeletedAndTotalledByYear) {
  window = OpenWindowOn(host, portfolio);
  window->RunCommand(kCmdDividends);
  auto* dividends = window->findChild<CDlgDividends*>();
  ASSERT_NE(dividends, nullptr);
  EXPECT_EQ(dividends->windowTitle(), QStringLiteral("Dividends - Income"));
  EXPECT_EQ(dividends->List()->topLevelItemCount(), 0);
  EXPECT_FALSE(Field<QPushButton>(*dividends, "edit")->isEnabled());

  // A refused entry keeps the dialog open on its field; a corrected one is added.
  DialogSteps dialogs;
  dialogs.Then([](QDialog& dialog) {
    Type(dialog, "symbol", "ko");
    Field<QDateEdit>(dialog, "payDate")->setDate(QDate(2025, 4, 1));
    Type(dialog, "gross", "50");
    Type(dialog, "withholding", "60");
    {
      MessageScript messages;
      messages.Expect(static_cast<int>(StringId::IncomeDeductionsTooLarge));
      PressOk(dialog);
    }
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.focusWidget(), Field(dialog, "withholding"));
    Type(dialog, "withholding", "7.50");
    PressOk(dialog);
  });
  // The portfolio holds no KO: the payment is kept, and the window says so.
  MessageScript notHeld;
  notHeld.Expect(static_cast<int>(StringId::IncomeNotEntitled));
  QTest::mouseClick(Field<QPushButton>(*dividends, "add"), Qt::LeftButton);
  RunPosted();
  ASSERT_EQ(Income().size(), 1u);
  EXPECT_EQ(std::make_tuple(Income()[0].name, Income()[0].gross, Income()[0].withholding),
            std::make_tuple(std::string("KO"), 5000LL, 750LL));
  ASSERT_EQ(dividends->List()->topLevelItemCount(), 1);
  EXPECT_EQ(dividends->List()->topLevelItem(0)->text(6), QStringLiteral("42.50"));

  // Edited from the list: the fields show the record; the change keeps the rest.
  dialogs.Then([](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Edit Payment"));
    EXPECT_EQ(Field(dialog, "gross")->text(), QStringLiteral("50.00"));
    Type(dialog, "fees", "1");
    PressOk(dialog);
  });
  QTest::mouseClick(Field<QPushButton>(*dividends, "edit"), Qt::LeftButton);
  RunPosted();
  EXPECT_EQ(Income()[0].fees, 100);

  // Another year's payment; the totals list each year, newest first.
  VLIncomeItem older;
  older.name = "KO";
  older.portfolioId = portfolio;
  older.payDate = StoredDateOf({2024, 12, 2});
  older.gross = 4800;
  uint32_t id = 0;
  ASSERT_EQ(host.database->AddIncome(host.otherConn, older, id), VLResult::Ok);
  dividends->Reload(true);
  QTreeWidget* totals = dividends->Totals();
  ASSERT_EQ(totals->topLevelItemCount(), 2);
  EXPECT_EQ(totals->topLevelItem(0)->text(0), QStringLiteral("2025"));
  EXPECT_EQ(totals->topLevelItem(0)->text(4), QStringLiteral("41.50"));
  EXPECT_EQ(totals->topLevelItem(1)->text(1), QStringLiteral("48.00"));

  // Deleted after asking; No keeps it.
  dividends->List()->setCurrentItem(dividends->List()->topLevelItem(1));
  {
    MessageScript messages;
    messages.Expect(static_cast<int>(StringId::IncomeDeleteConfirm), MessageAnswer::No);
    QTest::mouseClick(Field<QPushButton>(*dividends, "delete"), Qt::LeftButton);
  }
  EXPECT_EQ(Income().size(), 2u);
  {
    MessageScript messages;
    messages.Expect(static_cast<int>(StringId::IncomeDeleteConfirm), MessageAnswer::Yes);
    QTest::mouseClick(Field<QPushButton>(*dividends, "delete"), Qt::LeftButton);
  }
  ASSERT_EQ(Income().size(), 1u);
  EXPECT_EQ(Income()[0].payDate, StoredDateOf({2025, 4, 1}));
}

TEST_F(DividendsWindowTest, FetchDividendsRecordsThePaymentsKept) {
  VLStockHoldingItem ko;
  ko.name = "KO";
  ko.qty = Shares(100);
  ko.buyPricePerShare = Cents(6000);
  ko.purchaseDate = StoredDateOf({2025, 1, 2});
  uint32_t id = 0;
  ASSERT_EQ(host.database->AddStockPosition(host.otherConn, portfolio, ko, id), VLResult::Ok);
  window = OpenWindowOn(host, portfolio);
  window->RunCommand(kCmdDividends);
  auto* dividends = window->findChild<CDlgDividends*>();
  ASSERT_NE(dividends, nullptr);
  TableDividends source;
  source.dividends = {{DayNumberOf({2025, 3, 14}), DayNumberOf({2025, 4, 1}), 510000, "USD"},
                      {DayNumberOf({2025, 6, 13}), DayNumberOf({2025, 7, 1}), 510000, "USD"}};
  dividends->SetDividendSource(&source);
  DialogSteps dialogs;
  dialogs.Then([](QDialog& dialog) {
    auto* list = Field<QTreeWidget>(dialog, "proposalList");
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(5), QStringLiteral("51.00"));
    list->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    QTest::mouseClick(Field<QPushButton>(dialog, "record"), Qt::LeftButton);
  });
  QTest::mouseClick(Field<QPushButton>(*dividends, "fetch"), Qt::LeftButton);
  RunPosted();
  ASSERT_EQ(Income().size(), 1u);
  EXPECT_EQ(Income()[0].payDate, StoredDateOf({2025, 4, 1}));
  // Asked again, only the payment left out is offered.
  dialogs.Then([](QDialog& dialog) {
    EXPECT_EQ(Field<QTreeWidget>(dialog, "proposalList")->topLevelItemCount(), 1);
    dialog.reject();
  });
  QTest::mouseClick(Field<QPushButton>(*dividends, "fetch"), Qt::LeftButton);
  RunPosted();
  EXPECT_EQ(Income().size(), 1u);
}
