// Record Split and the Corporate Actions window driven through their widgets against a real database.
#include <QLabel>
#include <QTreeWidget>

#include <map>

#include "dialog_steps.h"
#include "portfolio/corporate_actions/split_proposals.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "tests/support/exact_values.h"
#include "tests/support/table_split_source.h"
#include "ui/dialogs/c_dlg_record_split.h"
#include "ui/main/c_dlg_corporate_actions.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/main/position_list_view.h"

namespace {

class CorporateActionsWindowTest : public ::testing::Test {
 protected:
  CorporateActionsWindowTest() { portfolio = host.AddPortfolio("Growth"); }
  Quantity Qty(uint32_t id) {
    std::unique_ptr<VLHoldingItem> position;
    EXPECT_EQ(host.database->GetPosition(host.otherConn, id, position), VLResult::Ok);
    return position ? static_cast<const VLStockHoldingItem&>(*position).qty : Quantity();
  }

  TestHost host;
  uint32_t portfolio = 0;
  std::unique_ptr<CDlgVellumar> window;
};

}  // namespace

TEST_F(CorporateActionsWindowTest, RecordSplitPreviewsThePositionsAsTypedAndRecordsTheSplit) {
  const uint32_t aaa = host.AddStock(portfolio, "AAA", 100, 1500);
  host.AddStock(portfolio, "BBB");
  window = OpenWindowOn(host, portfolio);
  window->HeldList()->SelectIds({aaa});
  DialogSteps dialogs;
  dialogs.Then([](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Record Split"));
    EXPECT_EQ(Field(dialog, "symbol")->text(), QStringLiteral("AAA"));
    auto* preview = Field<QTreeWidget>(dialog, "splitPreview");
    auto* note = Field<QLabel>(dialog, "previewNote");
    Field<QDateEdit>(dialog, "exDate")->setDate(QDate(2020, 1, 2));
    Type(dialog, "ratio", "1:3");
    static_cast<CDlgRecordSplit&>(dialog).RefreshPreview();
    EXPECT_NE(note->text().indexOf(QStringLiteral("would hold a fraction")), -1)
        << note->text().toStdString();
    EXPECT_EQ(preview->topLevelItemCount(), 0);
    Type(dialog, "ratio", "3:1");
    static_cast<CDlgRecordSplit&>(dialog).RefreshPreview();
    EXPECT_EQ(note->text(), QStringLiteral("The split changes 1 position(s):"));
    ASSERT_EQ(preview->topLevelItemCount(), 1);
    EXPECT_EQ(preview->topLevelItem(0)->text(4), QStringLiteral("300"));
    EXPECT_EQ(preview->topLevelItem(0)->text(6), QStringLiteral("5.00"));
    EXPECT_EQ(preview->topLevelItem(0)->text(8), QStringLiteral("1500.00"));
    PressOk(dialog);
  });
  window->RunCommand(kCmdRecordSplit);
  RunPosted();
  EXPECT_EQ(Qty(aaa), Shares(300));

  // A second split of the same day is refused by its message, and the dialog stays open to be cancelled.
  dialogs.Then([](QDialog& dialog) {
    Type(dialog, "symbol", "aaa");
    Field<QDateEdit>(dialog, "exDate")->setDate(QDate(2020, 1, 2));
    Type(dialog, "ratio", "2:1");
    MessageScript messages;
    messages.Expect(static_cast<int>(StringId::SplitAlreadyRecorded));
    PressOk(dialog);
    EXPECT_TRUE(dialog.isVisible());
    dialog.reject();
  });
  window->RunCommand(kCmdRecordSplit);
  RunPosted();
  EXPECT_EQ(Qty(aaa), Shares(300));
}

TEST_F(CorporateActionsWindowTest, TheWindowListsTheActionsAndRecordsTheSplitsACheckFinds) {
  const uint32_t aaa = host.AddStock(portfolio, "AAA", 100, 1500);
  const uint32_t bbb = host.AddStock(portfolio, "BBB", 10, 4000);
  window = OpenWindowOn(host, portfolio);
  window->RunCommand(kCmdCorporateActions);
  auto* actionsWindow = window->findChild<CDlgCorporateActions*>();
  ASSERT_NE(actionsWindow, nullptr);
  EXPECT_EQ(actionsWindow->List()->topLevelItemCount(), 0);
  EXPECT_FALSE(actionsWindow->List()->accessibleName().isEmpty());

  TableSplitSource source;
  source.table["AAA"] = {{DayNumberOf({2010, 5, 3}), {2, 1}}};
  source.table["BBB"] = {{DayNumberOf({2011, 6, 1}), {1, 2}}, {DayNumberOf({2001, 6, 1}), {5, 1}}};
  actionsWindow->SetSplitSource(&source);
  DialogSteps dialogs;
  dialogs.Then([](QDialog& dialog) {
    auto* list = Field<QTreeWidget>(dialog, "proposalList");
    ASSERT_EQ(list->topLevelItemCount(), 2);  // the 2001 split came before the purchases
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("AAA"));
    EXPECT_EQ(list->topLevelItem(1)->text(2), QStringLiteral("1:2"));
    list->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    QTest::mouseClick(Field<QPushButton>(dialog, "record"), Qt::LeftButton);
  });
  QTest::mouseClick(Field<QPushButton>(*actionsWindow, "checkSplits"), Qt::LeftButton);
  RunPosted();
  EXPECT_EQ(Qty(aaa), Shares(200));
  EXPECT_EQ(Qty(bbb), Shares(10));
  ASSERT_EQ(actionsWindow->List()->topLevelItemCount(), 1);
  EXPECT_EQ(actionsWindow->List()->topLevelItem(0)->text(3), QStringLiteral("2:1"));

  // Asked again, only the split left out is offered.
  dialogs.Then([](QDialog& dialog) {
    EXPECT_EQ(Field<QTreeWidget>(dialog, "proposalList")->topLevelItemCount(), 1);
    dialog.reject();
  });
  QTest::mouseClick(Field<QPushButton>(*actionsWindow, "checkSplits"), Qt::LeftButton);
  RunPosted();
}

TEST_F(CorporateActionsWindowTest, TheFirstUpdateOfADayOffersTheSplitsFoundAndLaterOnesDoNot) {
  const uint32_t aaa = host.AddStock(portfolio, "AAA", 100, 1500);
  TableSplitSource source;
  source.table["AAA"] = {{DayNumberOf({2010, 5, 3}), {2, 1}}};
  host.splitSource = &source;
  window = OpenWindowOn(host, portfolio);
  {
    MessageScript messages;
    messages.Expect(static_cast<int>(StringId::CheckSplitsFound), MessageAnswer::Yes);
    DialogSteps dialogs;
    dialogs.Then([](QDialog& dialog) {
      EXPECT_EQ(Field<QTreeWidget>(dialog, "proposalList")->topLevelItemCount(), 1);
      QTest::mouseClick(Field<QPushButton>(dialog, "record"), Qt::LeftButton);
    });
    window->RunCommand(kCmdUpdate);
    RunPosted();
  }
  EXPECT_EQ(Qty(aaa), Shares(200));
  ASSERT_NE(window->findChild<CDlgCorporateActions*>(), nullptr);
  source.table["AAA"].push_back({DayNumberOf({2012, 5, 3}), {3, 1}});
  MessageScript none;  // the same day again: nothing is asked
  window->RunCommand(kCmdUpdate);
  RunPosted();
  EXPECT_TRUE(none.shown.empty());
  EXPECT_EQ(Qty(aaa), Shares(200));
}
