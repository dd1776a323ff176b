// The Edit menu and the Change History window, driven through real widgets: undo and redo by menu, keys
// and buttons, the records shown and selected again, refusals said, another program's changes followed.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QTreeWidget>

#include <algorithm>
#include <filesystem>

#include "tests/support/exact_values.h"
#include "tests/support/null_window.h"
#include "tests/support/temp_folder.h"
#include "ui/main/c_dlg_change_history.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/main/position_list_model.h"
#include "ui/main/position_list_view.h"
#include "ui_test_support.h"

namespace {

class EditMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    growth = host.AddPortfolio("Growth");
    msft = host.AddStock(growth, "MSFT");
    ibm = host.AddStock(growth, "IBM", 10);
    host.General().defaultPortfolio = static_cast<int32_t>(growth);
    window = std::make_unique<CDlgVellumar>(host);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    RunPosted();
  }
  QAction* Action(int id) const { return window->Action(id); }
  void Key(int key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(window.get(), static_cast<Qt::Key>(key), modifiers);
    RunPosted();
  }
  // The symbols of a list and its selected ids, in no particular order.
  QStringList Symbols(const PositionListView* list) const {
    QStringList symbols = ColumnTexts(list);
    symbols.sort();
    return symbols;
  }
  static std::vector<uint32_t> Selected(const PositionListView* list) {
    std::vector<uint32_t> ids = list->SelectedIds();
    std::sort(ids.begin(), ids.end());
    return ids;
  }
  CDlgChangeHistory* OpenHistory() {
    Action(kCmdChangeHistory)->trigger();
    RunPosted();
    return window->findChild<CDlgChangeHistory*>(QStringLiteral("ChangeHistory"));
  }

  TestHost host;
  uint32_t growth = 0, msft = 0, ibm = 0;
  std::unique_ptr<CDlgVellumar> window;
};

}  // namespace

TEST_F(EditMenuTest, TheEditMenuSitsBetweenFileAndPortfolioAndNamesTheChanges) {
  QStringList titles;
  for (QAction* menu : window->menuBar()->actions()) titles << menu->text();
  ASSERT_GE(titles.size(), 3);
  EXPECT_EQ(titles.mid(0, 3), (QStringList{"&File", "&Edit", "&Portfolio"}));
  const QList<QAction*> entries = window->menuBar()->findChild<QMenu*>(QStringLiteral("Edit"))->actions();
  ASSERT_EQ(entries.size(), 4);
  EXPECT_EQ(entries[0], Action(kCmdUndo));
  EXPECT_EQ(entries[1], Action(kCmdRedo));
  EXPECT_TRUE(entries[2]->isSeparator());
  EXPECT_EQ(entries[3]->text(), QStringLiteral("Change &History..."));
  EXPECT_EQ(Action(kCmdUndo)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
  EXPECT_EQ(Action(kCmdRedo)->shortcuts(), (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Shift+Z")),
                                                                QKeySequence(QStringLiteral("Ctrl+Y"))}));

  EXPECT_EQ(Action(kCmdUndo)->text(), QStringLiteral("&Undo Add position 2 (IBM, 10 shares) to Growth"));
  EXPECT_TRUE(Action(kCmdUndo)->isEnabled());
  EXPECT_EQ(Action(kCmdRedo)->text(), QStringLiteral("&Redo"));
  EXPECT_FALSE(Action(kCmdRedo)->isEnabled());

  // A name with an ampersand is no mnemonic, and a long text is cut short.
  VLPortfolioItem renamed;
  ASSERT_EQ(host.database->GetPortfolio(host.otherConn, growth, renamed), VLResult::Ok);
  renamed.name = "Stocks & Shares of a portfolio whose name goes on and on";
  ASSERT_EQ(host.database->ModifyPortfolio(host.otherConn, renamed), VLResult::Ok);
  EXPECT_EQ(Action(kCmdUndo)->text(),
            QStringLiteral("&Undo Rename portfolio Growth to Stocks && Shares of a portfolio..."));
}

TEST_F(EditMenuTest, CtrlZAndCtrlYUndoAndRedoWithTheRecordsShownAndSelected) {
  window->SetConnectionProbe([] { return true; });
  for (int i = 0; i < 10; ++i) window->OnTimerTick();
  ASSERT_EQ(host.database->DeletePosition(host.otherConn, msft), VLResult::Ok);
  EXPECT_EQ(Symbols(window->HeldList()), QStringList{"IBM"});
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Symbols(window->HeldList()), (QStringList{"IBM", "MSFT"}));
  EXPECT_EQ(Selected(window->HeldList()), std::vector<uint32_t>{msft});
  // Its quote went with the last MSFT position; the one made again is fetched at once, not at the next
  // Update.
  std::unique_ptr<VLHoldingItem> back;
  ASSERT_EQ(host.database->GetPosition(host.otherConn, msft, back), VLResult::Ok);
  EXPECT_EQ(static_cast<VLStockHoldingItem&>(*back).quote->name, "MSFT Corp");
  EXPECT_EQ(Action(kCmdRedo)->text(),
            QStringLiteral("&Redo Delete position 1 (MSFT, 100 shares) from Growth"));

  Key(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(Symbols(window->HeldList()), QStringList{"IBM"});
  Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // nothing left to redo: the key does nothing
  EXPECT_EQ(Symbols(window->HeldList()), QStringList{"IBM"});

  // A sale undone from the sold view puts the position back held, on the held tab, selected.
  uint32_t rest = 0;
  ASSERT_EQ(host.database->SellPosition(host.otherConn, ibm, Shares(10), Cents(2000), 0, 0, rest),
            VLResult::Ok);
  window->findChild<QTabBar*>(QStringLiteral("2148"))->setCurrentIndex(1);
  Action(kCmdUndo)->trigger();
  RunPosted();
  EXPECT_TRUE(window->IsHeldView());
  EXPECT_EQ(Selected(window->HeldList()), std::vector<uint32_t>{ibm});
}

TEST_F(EditMenuTest, UndoingAPortfolioDeletionShowsItAgainWithItsPositionsSelected) {
  const uint32_t other = host.AddPortfolio("Income");
  ASSERT_EQ(host.database->DeletePortfolio(host.otherConn, growth), VLResult::Ok);
  EXPECT_EQ(window->CurrentPortfolio(), 0u);
  Action(kCmdUndo)->trigger();
  RunPosted();
  EXPECT_EQ(window->CurrentPortfolio(), growth);
  EXPECT_EQ(Selected(window->HeldList()), (std::vector<uint32_t>{msft, ibm}));
  EXPECT_NE(other, growth);
}

TEST_F(EditMenuTest, ARefusedUndoSaysWhyAndChangesNothing) {
  const std::string path = host.database->GetPath();
  const std::string backup = ReadText(path);
  ASSERT_EQ(host.database->DeletePosition(host.otherConn, ibm), VLResult::Ok);
  WriteText(path, backup);  // the database replaced by a copy from before the deletion
  ASSERT_EQ(host.database->ReloadIfChanged(), VLResult::Ok);
  MessageScript messages;
  messages.Expect(static_cast<int>(StringId::UndoMismatch));
  Action(kCmdUndo)->trigger();
  RunPosted();
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_TRUE(
      messages.texts[0].startsWith(QStringLiteral("\"Delete position 2 (IBM, 10 shares) from Growth\"")));
  EXPECT_EQ(ReadText(path), backup);

  // Without a journal there is nothing to undo: the command says so, and the menu entry goes grey.
  std::filesystem::remove(host.database->GetJournalPath());
  messages.Expect(static_cast<int>(StringId::NothingToUndo));
  window->RunCommand(kCmdUndo);
  EXPECT_FALSE(Action(kCmdUndo)->isEnabled());
  EXPECT_EQ(Action(kCmdUndo)->text(), QStringLiteral("&Undo"));
}

TEST_F(EditMenuTest, TheHistoryListsNewestFirstGreysUndoneChangesAndFollowsOtherPrograms) {
  Action(kCmdUndo)->trigger();
  RunPosted();
  CDlgChangeHistory* history = OpenHistory();
  ASSERT_NE(history, nullptr);
  EXPECT_FALSE(history->isModal());
  EXPECT_EQ(history->windowTitle(), QStringLiteral("Change History"));
  QTreeWidget* list = history->List();
  ASSERT_EQ(list->topLevelItemCount(), 4);
  EXPECT_EQ(list->topLevelItem(0)->text(3), QStringLiteral("Undo Add position 2 (IBM, 10 shares) to Growth"));
  EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("4"));
  const QTreeWidgetItem* undone = list->topLevelItem(1);
  EXPECT_EQ(undone->data(3, Qt::AccessibleTextRole).toString(),
            QStringLiteral("Add position 2 (IBM, 10 shares) to Growth, undone"));
  EXPECT_EQ(undone->foreground(3).color(), CDlgChangeHistory::UndoneColour(history->palette()));
  EXPECT_TRUE(undone->font(3).italic());
  EXPECT_NE(list->topLevelItem(2)->foreground(3).color(), undone->foreground(3).color());
  EXPECT_EQ(list->topLevelItem(2)->data(3, Qt::AccessibleTextRole).toString(),
            QStringLiteral("Add position 1 (MSFT, 100 shares) to Growth"));

  // Another program's change shows up by itself.
  VLDatabase other(host.database->GetPath());
  other.SetJournalProgram("vellumar-cli");
  auto otherWindow = std::make_shared<NullWindow>();
  VLDatabaseConn* otherConn = other.Connect(otherWindow, 1, 2, 3);
  ASSERT_NE(otherConn, nullptr);
  uint32_t cash = 0;
  ASSERT_EQ(other.AddCashPosition(otherConn, growth, 500, "Broker", cash), VLResult::Ok);
  QTRY_COMPARE_WITH_TIMEOUT(list->topLevelItemCount(), 5, 3000);
  EXPECT_EQ(list->topLevelItem(0)->text(2), QStringLiteral("vellumar-cli"));

  // The window's Redo follows: nothing to redo after a new change; its Undo undoes the other's change.
  auto* undo = history->findChild<QPushButton*>(QStringLiteral("undo"));
  EXPECT_FALSE(history->findChild<QPushButton*>(QStringLiteral("redo"))->isEnabled());
  EXPECT_EQ(undo->accessibleDescription(),
            QStringLiteral("Undo Add cash position 3 (Broker, 5.00) to Growth"));
  QTest::mouseClick(undo, Qt::LeftButton);
  RunPosted();
  EXPECT_EQ(window->HeldList()->model()->rowCount(), 1);
  QTRY_COMPARE_WITH_TIMEOUT(list->topLevelItemCount(), 6, 3000);
}
