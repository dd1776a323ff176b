// The main window driven offscreen: start-up, portfolios, lists, sorting, database events, the timer and
// the way it closes.
#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabBar>

#include "framework/memory_budget.h"
#include "framework/store_lock.h"
#include "portfolio/columns/column_catalog.h"
#include "tests/support/exact_values.h"
#include "tests/support/null_window.h"
#include "tests/support/temp_folder.h"
#include "ui/dialogs/c_dlg_about.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/main/position_list_model.h"
#include "ui/main/position_list_view.h"
#include "ui_test_support.h"

namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  // The window, opened on `portfolio` when one is given.
  std::unique_ptr<CDlgVellumar> Open(uint32_t portfolio = 0) {
    if (portfolio) host.General().defaultPortfolio = static_cast<int32_t>(portfolio);
    auto window = std::make_unique<CDlgVellumar>(host);
    window->show();
    RunPosted();
    return window;
  }
  template <class T>
  static T* Find(const CDlgVellumar& window, int id) {
    return window.findChild<T*>(QString::number(id));
  }
  static QStringList Headers(const PositionListView* list) {
    QStringList headers;
    for (int c = 0; c < list->model()->columnCount(); ++c) {
      headers << list->model()->headerData(c, Qt::Horizontal).toString();
    }
    return headers;
  }

  TestHost host;
};

TEST_F(MainWindowTest, StartsFromThePreferencesAndCentresAWindowSavedOffTheWorkArea) {
  const uint32_t id = host.AddPortfolio("Growth");
  VLGeneralPrefs& prefs = host.General();
  prefs.showSoldView = true;
  prefs.showPortfolioSummary = false;
  prefs.alternateRowColors = false;
  prefs.xPos = 20000;
  prefs.yPos = 20000;
  prefs.width = 1300;
  prefs.height = 700;
  auto window = Open(id);

  EXPECT_EQ(window->windowTitle(), QStringLiteral("Vellumar - Growth"));
  EXPECT_EQ(Find<QPushButton>(*window, 1009)->text(), QStringLiteral("  Growth"));
  auto* tabs = Find<QTabBar>(*window, 2148);
  ASSERT_EQ(tabs->count(), 2);
  EXPECT_EQ(tabs->tabText(0), QStringLiteral(" Held "));
  EXPECT_EQ(tabs->tabText(1), QStringLiteral(" Sold "));
  EXPECT_EQ(tabs->currentIndex(), 1);
  EXPECT_FALSE(window->IsHeldView());
  EXPECT_FALSE(Find<QCheckBox>(*window, 1023)->isChecked());
  EXPECT_FALSE(Find<QCheckBox>(*window, 2133)->isEnabled());
  EXPECT_FALSE(Find<QCheckBox>(*window, 1025)->isChecked());
  EXPECT_EQ(Find<QLineEdit>(*window, 2088)->maxLength(), 16);
  // Saved wider than the screen (800 wide offscreen): no wider than it, or than the window's minimum.
  const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_EQ(window->size(), QSize(std::max(work.width(), window->minimumSizeHint().width()), 700));
  EXPECT_LE((QRect(window->pos(), window->size()).center() - work.center()).manhattanLength(), 2);
  EXPECT_FALSE(Find<QPushButton>(*window, kCmdSell)->isVisibleTo(window.get()));
  EXPECT_TRUE(Find<QPushButton>(*window, kCmdUnsell)->isVisibleTo(window.get()));
  EXPECT_EQ(Find<QLabel>(*window, 1015)->text(), QStringLiteral("Not connected"));
  EXPECT_EQ(Find<QLabel>(*window, 1010)->text(), QStringLiteral("Updated: (Market time not available)"));
}

TEST_F(MainWindowTest, PlacementRuleCentresOnlyAWindowEntirelyOffTheWorkArea) {
  const QRect work(0, 0, 1600, 1000);
  EXPECT_FALSE(CDlgVellumar::IsOffWorkArea(QRect(1500, 900, 400, 300), work));  // partly on it
  EXPECT_FALSE(CDlgVellumar::IsOffWorkArea(QRect(-300, -200, 400, 300), work));
  EXPECT_TRUE(CDlgVellumar::IsOffWorkArea(QRect(1600, 10, 400, 300), work));
  EXPECT_TRUE(CDlgVellumar::IsOffWorkArea(QRect(10, 1000, 400, 300), work));
  EXPECT_TRUE(CDlgVellumar::IsOffWorkArea(QRect(-400, 10, 400, 300), work));
  EXPECT_TRUE(CDlgVellumar::IsOffWorkArea(QRect(10, -300, 400, 300), work));
  EXPECT_TRUE(CDlgVellumar::IsOffWorkArea(QRect(-32767, -32767, 800, 500), work));  // never placed

  // Fitting: as saved when it fits; centred when off the area; a larger one shrinks onto the area, not
  // below the window's minimum.
  const QSize minimum(500, 300);
  const std::pair<QRect, QRect> fits[] = {
      {QRect(100, 50, 800, 600), QRect(100, 50, 800, 600)},
      {QRect(1500, 900, 500, 300), QRect(1500, 900, 500, 300)},  // partly off, as the user left it
      {QRect(3000, 10, 800, 600), QRect(400, 200, 800, 600)},
      {QRect(100, 50, 2400, 1400), QRect(0, 0, 1600, 1000)},
      {QRect(900, 500, 1200, 1200), QRect(400, 0, 1200, 1000)},
      {QRect(-32767, -32767, 200, 100), QRect(550, 350, 500, 300)},
  };
  for (const auto& [saved, fitted] : fits)
    EXPECT_EQ(CDlgVellumar::FitOnWorkArea(saved, work, minimum), fitted)
        << saved.x() << "," << saved.y() << " gave " << CDlgVellumar::FitOnWorkArea(saved, work, minimum).x()
        << "," << CDlgVellumar::FitOnWorkArea(saved, work, minimum).y();
}

TEST_F(MainWindowTest, ShrunkToItsSmallestTheWindowKeepsEveryControlWholeAndAFewRowsOfTheList) {
  const uint32_t id = host.AddPortfolio("Growth");
  host.AddStock(id, "UPA");
  host.General().showPortfolioSummary = true;
  auto window = Open(id);
  window->resize(100, 100);
  RunPosted();
  EXPECT_GE(window->width(), window->minimumSizeHint().width());
  const PositionListView* list = window->HeldList();
  EXPECT_GE(list->viewport()->height(), 5 * list->verticalHeader()->defaultSectionSize());
  QList<QWidget*> shown;
  for (QWidget* w : window->centralWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (!w->isVisible()) continue;
    const int least =
        w->minimumWidth() > 0 ? w->minimumWidth() : std::min(w->minimumSizeHint().width(), w->maximumWidth());
    EXPECT_GE(w->width(), least) << w->objectName().toStdString();
    for (const QWidget* other : shown)
      EXPECT_FALSE(w->geometry().intersects(other->geometry()))
          << w->objectName().toStdString() << " overlaps " << other->objectName().toStdString();
    shown << w;
  }
}

TEST_F(MainWindowTest, WithoutPortfoliosItWelcomesAndOffersTheDisclaimerFirst) {
  host.General().showDisclaimer = true;
  int dialogs = 0;
  MessageScript messages;
  DialogScript dialogsRun([&](QDialog& dialog) {
    ++dialogs;
    if (dialogs == 2) {  // Portfolio New, posted by the welcome question
      EXPECT_EQ(dialog.objectName(), QStringLiteral("134"));
      return int(QDialog::Rejected);
    }
    RunPosted();  // as the box's own event loop would
    EXPECT_TRUE(messages.shown.empty()) << "the welcome question came up beside the About box";
    auto* about = qobject_cast<CDlgAbout*>(&dialog);
    EXPECT_NE(about, nullptr);
    auto* box = dialog.findChild<QCheckBox*>(QStringLiteral("1025"));
    EXPECT_TRUE(box && box->isVisibleTo(&dialog));
    if (box) box->setChecked(true);
    return int(QDialog::Accepted);
  });
  messages.Expect(2083, MessageAnswer::Yes);  // posts Portfolio New
  auto window = Open();
  RunPosted();
  EXPECT_EQ(dialogs, 2);
  EXPECT_FALSE(host.General().showDisclaimer);
  EXPECT_EQ(messages.shown, (std::vector<int>{2083}));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Vellumar!"));
  EXPECT_EQ(Find<QPushButton>(*window, 1009)->text(), QStringLiteral("  (None)"));
  EXPECT_FALSE(Find<QPushButton>(*window, 1009)->isEnabled());
  for (int id :
       {kCmdPrint, kCmdPositionNew, kCmdPositionEdit, kCmdPositionDelete, kCmdSell, kCmdChooseColumns}) {
    EXPECT_FALSE(window->Action(id)->isEnabled()) << id;
  }
}

// A database that cannot be opened ends the application after one message, which tells a file another
// program keeps locked, or one a newer version wrote, from a damaged one.
TEST_F(MainWindowTest, ADatabaseThatCannotBeOpenedSaysWhyAndEnds) {
  const std::string path = host.folder.filePath(QStringLiteral("Vellumar.db")).toStdString();
  ASSERT_EQ(host.database->Disconnect(host.otherConn), VLResult::Ok);
  host.otherConn = nullptr;
  const auto fresh = [&] {
    host.database = std::make_unique<VLDatabase>(path);
    host.database->SetLockWait(100);
  };
  {
    fresh();
    FileHandle held;
    ASSERT_EQ(LockStoreFile(path, 0, held), LockResult::Locked);  // another program is saving
    MessageScript messages;
    messages.Expect(2204);
    auto window = Open();
    RunPosted();
    EXPECT_FALSE(window->isVisible()) << "the window stayed open without a database";
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_FALSE(messages.texts[0].contains(QStringLiteral("corrupt"))) << messages.texts[0].toStdString();
  }
  {
    fresh();
    WriteText(path, "not a database");
    MessageScript messages;
    messages.Expect(2049);
    auto window = Open();
    RunPosted();
    EXPECT_FALSE(window->isVisible());
  }
  {
    // A file a newer version wrote is said to be one, by its name, and left as it was.
    fresh();
    const std::string newer = std::string("\x04VLDB\x09\x00\x00\x00", 9) + "what comes after is not read";
    WriteText(path, newer);
    MessageScript messages;
    messages.Expect(3017);
    auto window = Open();
    RunPosted();
    EXPECT_FALSE(window->isVisible());
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_TRUE(messages.texts[0].contains(QString::fromStdString(path))) << messages.texts[0].toStdString();
    EXPECT_TRUE(messages.texts[0].contains(QStringLiteral("newer version")))
        << messages.texts[0].toStdString();
    EXPECT_EQ(ReadText(path), newer);
  }
  {
    fresh();
    SetAvailableMemoryForTesting(16);  // less than the file would take
    MessageScript messages;
    messages.Expect(3100);
    auto window = Open();
    RunPosted();
    SetAvailableMemoryForTesting(0);
    EXPECT_FALSE(window->isVisible());
  }
}

TEST_F(MainWindowTest, AnsweringNoToTheWelcomeQuestionDoesNothingMore) {
  MessageScript messages;
  messages.Expect(2083, MessageAnswer::No);
  auto window = Open();
  RunPosted();
  EXPECT_EQ(messages.shown, std::vector<int>{2083});
}

TEST_F(MainWindowTest, SelectingPortfoliosAndTheNoneCases) {
  const uint32_t beta = host.AddPortfolio("Beta");
  const uint32_t alpha = host.AddPortfolio("Alpha");
  host.AddStock(alpha, "UPA");
  auto window = Open();
  EXPECT_EQ(window->CurrentPortfolio(), 0u);
  EXPECT_TRUE(Find<QPushButton>(*window, 1009)->isEnabled());

  std::unique_ptr<QMenu> menu = window->BuildSelectorMenu();
  QStringList texts;
  QList<uint> ids;
  QList<bool> checked;
  for (QAction* action : menu->actions()) {
    texts << action->text();
    ids << action->data().toUInt();
    checked << action->isChecked();
  }
  EXPECT_EQ(texts, (QStringList{" (None)", "", " Alpha", " Beta"}));
  EXPECT_EQ(ids, (QList<uint>{0, 0, alpha, beta}));
  EXPECT_EQ(checked, (QList<bool>{true, false, false, false}));

  window->SelectPortfolio(alpha);
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Vellumar - Alpha"));
  EXPECT_EQ(window->HeldList()->model()->rowCount(), 1);
  EXPECT_TRUE(window->Action(kCmdPositionNew)->isEnabled());
  menu = window->BuildSelectorMenu();
  EXPECT_FALSE(menu->actions()[0]->isChecked());
  EXPECT_TRUE(menu->actions()[2]->isChecked());

  window->SelectPortfolio(9999);  // cannot be read: none
  EXPECT_EQ(window->CurrentPortfolio(), 0u);
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Vellumar!"));
  EXPECT_EQ(Find<QPushButton>(*window, 1009)->text(), QStringLiteral("  (None)"));
  EXPECT_EQ(window->HeldList()->model()->rowCount(), 0);
  EXPECT_FALSE(window->Action(kCmdPrint)->isEnabled());
}

TEST_F(MainWindowTest, RefillShowsSortMarksWidthsAndRowIcons) {
  const uint32_t id = host.AddPortfolio("Mixed");
  host.AddStock(id, "UPB", 10);
  host.AddStock(id, "DNA", 30);
  host.AddStock(id, "FLAT", 20);
  host.AddCash(id, 50000);
  host.UpdateQuotes();
  VLGeneralPrefs& prefs = host.General();
  prefs.heldColumns = {kColSymbol, kColTime, kColChange, kColQty};
  prefs.heldSortBy = kColSymbol;
  prefs.heldSortAscending = true;
  auto window = Open(id);
  PositionListView* list = window->HeldList();

  EXPECT_EQ(Headers(list), (QStringList{"Symbol  ^", "Time", "Change", "Qty", ""}));
  // Cash sorts ahead of stock positions; the stock positions by symbol.
  const QStringList symbols = ColumnTexts(list);
  ASSERT_EQ(symbols.size(), 4);
  EXPECT_EQ(symbols.mid(1), (QStringList{"DNA", "FLAT", "UPB"}));
  QList<int> icons;
  for (int r = 0; r < 4; ++r)
    icons << list->model()->index(r, 0).data(PositionListModel::RowIconRole).toInt();
  EXPECT_EQ(icons, (QList<int>{0, 2, 0, 1}));

  const QFontMetrics metrics(list->horizontalHeader()->font());
  for (int c = 0; c < 4; ++c) {
    EXPECT_GE(list->columnWidth(c), GetColumnWidth(prefs.heldColumns[static_cast<size_t>(c)])) << c;
    EXPECT_GE(list->columnWidth(c), metrics.horizontalAdvance(Headers(list)[c])) << c;
  }
}

TEST_F(MainWindowTest, HeaderClicksSortAndTheUnsortableColumnOnlyBeeps) {
  const uint32_t id = host.AddPortfolio("Sorted");
  host.AddStock(id, "AAA", 30);
  host.AddStock(id, "BBB", 10);
  host.AddStock(id, "CCC", 20);
  VLGeneralPrefs& prefs = host.General();
  prefs.heldColumns = {kColSymbol, kColTime, kColQty};
  prefs.heldSortBy = kColSymbol;
  prefs.heldSortAscending = true;
  auto window = Open(id);
  PositionListView* list = window->HeldList();
  QHeaderView* header = list->horizontalHeader();
  auto click = [&](int section) {
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
  };

  const uint32_t ccc = list->Model()->ItemIdAt(2);
  list->SelectIds({ccc});
  window->OnTimerTick();  // the selection snapshot a refill restores
  click(2);               // quantity sorts ascending first
  EXPECT_EQ(Headers(list), (QStringList{"Symbol", "Time", "Qty  ^", ""}));
  EXPECT_EQ(ColumnTexts(list), (QStringList{"BBB", "CCC", "AAA"}));
  EXPECT_EQ(list->SelectedIds(), std::vector<uint32_t>{ccc});  // kept by id across the refill
  EXPECT_EQ(list->Model()->RowOfItem(ccc), 1);
  click(2);
  EXPECT_EQ(Headers(list), (QStringList{"Symbol", "Time", "Qty  v", ""}));
  EXPECT_EQ(ColumnTexts(list), (QStringList{"AAA", "CCC", "BBB"}));
  click(0);  // back to the symbol, ascending first again
  EXPECT_EQ(Headers(list), (QStringList{"Symbol  ^", "Time", "Qty", ""}));
  click(2);
  click(2);
  EXPECT_EQ(Headers(list)[2], QStringLiteral("Qty  v"));

  QSignalSpy beeps(window.get(), &CDlgVellumar::UnsortableColumnClicked);
  click(1);
  EXPECT_EQ(beeps.count(), 1);
  EXPECT_EQ(Headers(list), (QStringList{"Symbol", "Time", "Qty  v", ""}));
  EXPECT_EQ(ColumnTexts(list), (QStringList{"AAA", "CCC", "BBB"}));
  click(3);  // the empty last column
  EXPECT_EQ(beeps.count(), 1);
  EXPECT_EQ(Headers(list)[2], QStringLiteral("Qty  v"));
}

TEST_F(MainWindowTest, EventsFromAnotherConnectionRedrawTheWindow) {
  const uint32_t id = host.AddPortfolio("Shared");
  host.AddStock(id, "AAA");
  auto window = Open(id);
  PositionListView* list = window->HeldList();
  ASSERT_EQ(list->model()->rowCount(), 1);

  const uint32_t added = host.AddStock(id, "BBB");  // kind 3: shown and selected
  EXPECT_EQ(list->model()->rowCount(), 2);
  EXPECT_EQ(list->SelectedIds(), std::vector<uint32_t>{added});

  VLPortfolioItem renamed;
  ASSERT_EQ(host.database->GetPortfolio(host.otherConn, id, renamed), VLResult::Ok);
  renamed.name = "Renamed";
  ASSERT_EQ(host.database->ModifyPortfolio(host.otherConn, renamed), VLResult::Ok);  // kind 1
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Vellumar - Renamed"));
  EXPECT_EQ(Find<QPushButton>(*window, 1009)->text(), QStringLiteral("  Renamed"));

  uint32_t soldId = 0;
  ASSERT_EQ(
      host.database->SellPosition(host.otherConn, added, Shares(100), Cents(2000), 0, 1200000000, soldId),
      VLResult::Ok);  // 4
  EXPECT_EQ(list->model()->rowCount(), 1);
  EXPECT_EQ(window->SoldList()->model()->rowCount(), 1);
  ASSERT_EQ(host.database->DeletePosition(host.otherConn, soldId ? soldId : added), VLResult::Ok);  // kind 5
  EXPECT_EQ(window->SoldList()->model()->rowCount(), 0);

  host.UpdateQuotes();  // kind 6
  EXPECT_EQ(Find<QLabel>(*window, 1010)->text(), QStringLiteral("Updated: Mon Dec 7 4:00PM ET"));
  EXPECT_EQ(list->model()->index(0, 2).data().toString(), QStringLiteral("20.00"));  // Trade

  const uint32_t otherPortfolio = host.AddPortfolio("Elsewhere");  // kind 0
  host.AddStock(otherPortfolio, "ZZZ");                            // not this window's portfolio
  EXPECT_EQ(list->model()->rowCount(), 1);
  ASSERT_EQ(host.database->DeletePortfolio(host.otherConn, id), VLResult::Ok);  // kind 2
  EXPECT_EQ(window->CurrentPortfolio(), 0u);
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Vellumar!"));
  EXPECT_EQ(list->model()->rowCount(), 0);
}

TEST_F(MainWindowTest, AHoldingAddedShowsSelectedInEveryWindowOfThatPortfolioAndDeleteFromASecondWindow) {
  const uint32_t id = host.AddPortfolio("Both");
  auto window = Open(id);
  window->RunCommand(kCmdNewWindow);
  RunPosted();
  ASSERT_EQ(window->ChildWindows().size(), 1u);
  CDlgVellumar* second = window->ChildWindows().front();
  second->SelectPortfolio(id);

  const uint32_t added = host.AddStock(id, "NEW");
  EXPECT_EQ(window->HeldList()->SelectedIds(), std::vector<uint32_t>{added});
  EXPECT_EQ(second->HeldList()->SelectedIds(), std::vector<uint32_t>{added});

  // The second window deletes the first window's portfolio through its own connection.
  ASSERT_EQ(host.database->DeletePortfolio(host.otherConn, id), VLResult::Ok);
  EXPECT_EQ(window->CurrentPortfolio(), 0u);
  EXPECT_EQ(second->CurrentPortfolio(), 0u);
  EXPECT_FALSE(Find<QPushButton>(*window, 1009)->isEnabled());
}

TEST_F(MainWindowTest, ChangesSavedByAnotherProcessArriveWithinASecond) {
  const uint32_t id = host.AddPortfolio("Shared file");
  host.AddStock(id, "AAA");
  auto window = Open(id);
  ASSERT_EQ(window->HeldList()->model()->rowCount(), 1);
  {
    // Another process: its own store over the same file.
    VLDatabase other(host.folder.filePath(QStringLiteral("Vellumar.db")).toStdString());
    auto target = std::make_shared<NullWindow>();
    VLDatabaseConn* conn = other.Connect(target, 1, 2, 3);
    ASSERT_NE(conn, nullptr);
    VLStockHoldingItem fields;
    fields.name = "BBB";
    fields.qty = Shares(5);
    fields.buyPricePerShare = Cents(100);
    uint32_t added = 0;
    ASSERT_EQ(other.AddStockPosition(conn, id, fields, added), VLResult::Ok);
    VLPortfolioItem renamed;
    ASSERT_EQ(other.GetPortfolio(conn, id, renamed), VLResult::Ok);
    renamed.name = "Renamed elsewhere";
    ASSERT_EQ(other.ModifyPortfolio(conn, renamed), VLResult::Ok);
    ASSERT_EQ(other.Disconnect(conn), VLResult::Ok);
  }
  window->SetConnectionProbe([] { return true; });
  for (int i = 0; i < 9; ++i) window->OnTimerTick();
  EXPECT_EQ(window->HeldList()->model()->rowCount(), 1);  // not yet a second
  window->OnTimerTick();
  EXPECT_EQ(window->HeldList()->model()->rowCount(), 2);
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Vellumar - Renamed elsewhere"));
}

TEST_F(MainWindowTest, TimerCountsItemsAndRefreshesTheSummaryOnlyForSelectedItems) {
  const uint32_t id = host.AddPortfolio("Counted");
  host.AddStock(id, "AAA");
  host.AddStock(id, "BBB");
  host.AddStock(id, "CCC");
  host.General().showPortfolioSummary = true;
  auto window = Open(id);
  auto* count = Find<QLabel>(*window, 1050);
  PositionListView* list = window->HeldList();
  QSignalSpy summaries(window.get(), &CDlgVellumar::SummaryUpdated);

  window->OnTimerTick();
  EXPECT_EQ(count->text(), QStringLiteral("3 item(s)"));
  list->selectRow(0);
  window->OnTimerTick();
  EXPECT_EQ(count->text(), QStringLiteral("3 item(s), 1 selected"));
  EXPECT_EQ(summaries.count(), 0);  // for-selected-items-only is off

  Find<QCheckBox>(*window, 2133)->setChecked(true);
  summaries.clear();
  list->SelectIds({list->Model()->ItemIdAt(0), list->Model()->ItemIdAt(2)});
  window->OnTimerTick();
  EXPECT_EQ(count->text(), QStringLiteral("3 item(s), 2 selected"));
  EXPECT_EQ(summaries.count(), 1);
  window->OnTimerTick();  // nothing changed since the last tick
  EXPECT_EQ(summaries.count(), 1);

  window->SelectPortfolio(0);
  window->OnTimerTick();
  EXPECT_EQ(count->text(), QStringLiteral("No items"));
}

TEST_F(MainWindowTest, OnceASecondTheConnectionDecidesTheMarketCommands) {
  const uint32_t id = host.AddPortfolio("Online");
  auto window = Open(id);
  bool online = true;
  window->SetConnectionProbe([&] { return online; });
  EXPECT_FALSE(window->Action(kCmdUpdate)->isEnabled());
  for (int i = 0; i < 9; ++i) window->OnTimerTick();
  EXPECT_FALSE(window->IsConnected());
  window->OnTimerTick();
  EXPECT_TRUE(window->IsConnected());
  EXPECT_EQ(Find<QLabel>(*window, 1015)->text(), QStringLiteral(" Connected"));
  EXPECT_EQ(window->statusBar()->currentMessage(), QStringLiteral(" Connected"));
  for (int cmd : {kCmdUpdate, kCmdQuote, kCmdChart, kCmdInfo, kCmdNews, kCmdPrice, kCmdSymbolFinderSmall}) {
    EXPECT_TRUE(window->Action(cmd)->isEnabled()) << cmd;
  }
  window->SelectPortfolio(0);
  EXPECT_FALSE(window->Action(kCmdChart)->isEnabled());
  EXPECT_TRUE(window->Action(kCmdUpdate)->isEnabled());
  online = false;
  for (int i = 0; i < 10; ++i) window->OnTimerTick();
  EXPECT_EQ(Find<QLabel>(*window, 1015)->text(), QStringLiteral(" Not connected"));
  EXPECT_FALSE(window->Action(kCmdUpdate)->isEnabled());
}

TEST_F(MainWindowTest, ExitAsksWhileOtherWindowsAreOpenAndSavesTheViewSettings) {
  const uint32_t id = host.AddPortfolio("Saved");
  host.General().defaultPortfolio = 0;
  auto window = Open();
  window->SelectPortfolio(id);
  Find<QTabBar>(*window, 2148)->setCurrentIndex(1);
  Find<QCheckBox>(*window, 1025)->setChecked(false);
  window->RunCommand(kCmdNewWindow);
  RunPosted();
  QPointer<CDlgVellumar> child = window->ChildWindows().front();

  {
    MessageScript messages;
    child->setEnabled(false);  // a task runs in it
    messages.Expect(2077);
    window->RunCommand(kCmdExit);
    child->setEnabled(true);
    messages.Expect(2074, MessageAnswer::No);
    window->RunCommand(kCmdExit);
  }
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(child);
  EXPECT_EQ(host.General().defaultPortfolio, 0);

  {
    MessageScript messages;
    messages.Expect(2074, MessageAnswer::Yes);
    window->RunCommand(kCmdExit);
  }
  RunPosted();
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(child);  // closed and deleted
  EXPECT_EQ(host.secondaryClosed, 1);
  const VLGeneralPrefs& prefs = host.General();
  EXPECT_EQ(prefs.defaultPortfolio, static_cast<int32_t>(id));
  EXPECT_TRUE(prefs.showSoldView);
  EXPECT_FALSE(prefs.alternateRowColors);
  EXPECT_EQ(prefs.width, window->width());
  EXPECT_EQ(prefs.xPos, window->pos().x());
}

TEST_F(MainWindowTest, ExitWithNoOtherWindowAsksNothing) {
  host.AddPortfolio("Quiet");
  auto window = Open();
  MessageScript messages;  // fails on any box
  window->RunCommand(kCmdExit);
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(MainWindowTest, SecondaryWindowsPassOnTopToTheMainWindowAndFollowItsCheckMark) {
  host.AddPortfolio("Top");
  auto window = Open();
  window->RunCommand(kCmdNewWindow);
  RunPosted();
  CDlgVellumar* child = window->ChildWindows().front();
  EXPECT_FALSE(child->IsMainWindow());
  const QList<QAction*> file = child->findChild<QMenu*>(QStringLiteral("File"))->actions();
  EXPECT_TRUE(file.contains(child->Action(kCmdClose)));
  EXPECT_FALSE(file.contains(child->Action(kCmdExit)));
  EXPECT_FALSE(child->findChild<QMenu*>(QStringLiteral("Position"))
                   ->actions()
                   .contains(child->Action(kCmdCopyToPortfolio)));
  child->RunCommand(kCmdNewWindow);  // passed on: the main window opens it
  RunPosted();
  EXPECT_EQ(window->ChildWindows().size(), 2u);

  child->Action(kCmdOnTop)->trigger();
  RunPosted();
  EXPECT_TRUE(host.General().alwaysOnTop);
  EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(window->Action(kCmdOnTop)->isChecked());
  EXPECT_TRUE(child->Action(kCmdOnTop)->isChecked());
  window->Action(kCmdOnTop)->trigger();
  RunPosted();
  EXPECT_FALSE(host.General().alwaysOnTop);
  EXPECT_FALSE(child->Action(kCmdOnTop)->isChecked());

  QPointer<CDlgVellumar> closing = child;
  child->RunCommand(kCmdClose);
  RunPosted();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(closing);
  EXPECT_EQ(host.General().defaultPortfolio, 0);  // a secondary window saves nothing
}

TEST_F(MainWindowTest, ListMenuFollowsSelectionAndViewAndCommandsWithoutHandlersSayNotImplemented) {
  const uint32_t id = host.AddPortfolio("Menus");
  host.AddStock(id, "AAA");
  auto window = Open(id);
  auto texts = [](QMenu& menu) {
    QStringList list;
    for (QAction* a : menu.actions()) list << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return list;
  };
  std::unique_ptr<QMenu> menu = window->BuildListMenu();
  EXPECT_EQ(texts(*menu), (QStringList{"&New", "-", "&Chart", "&Information", "&Historical Price"}));
  window->HeldList()->selectRow(0);
  menu = window->BuildListMenu();
  EXPECT_EQ(texts(*menu),
            (QStringList{"&New", "&Edit", "&Delete", "&Sell", "Set &Price...", "-", "&Copy To Portfolio...",
                         "&Move To Portfolio...", "-", "&Chart", "&Information", "&Historical Price"}));
  EXPECT_EQ(menu->defaultAction()->text(), QStringLiteral("&Edit"));

  MessageScript messages;
  QStringList opened;
  DialogScript dialogs([&](QDialog& dialog) {
    opened << dialog.objectName() + QLatin1Char(' ') + dialog.windowTitle();
    return int(QDialog::Rejected);
  });
  const QPoint cell = window->HeldList()->visualRect(window->HeldList()->model()->index(0, 0)).center();
  QTest::mouseClick(window->HeldList()->viewport(), Qt::LeftButton, {}, cell);
  QTest::mouseDClick(window->HeldList()->viewport(), Qt::LeftButton, {}, cell);
  RunPosted();
  EXPECT_EQ(opened, QStringList{"1601 Edit Position"});  // a double click edits
  messages.Expect(2076);
  window->RunCommand(kCmdDefineDefaultColumns);
  EXPECT_EQ(messages.shown, (std::vector<int>{2076}));
}

// What each control is called and announced is the accessibility sweep's (accessibility_test.cpp).
TEST_F(MainWindowTest, EveryControlHasItsIdAndTheListsExposeHeadersAndCells) {
  const uint32_t id = host.AddPortfolio("Named");
  host.AddStock(id, "IBM", 5);
  auto window = Open(id);
  for (int id : {2147,  2149,  2148,  1009,  32863, 32776, 32782, 32783, 32784, 32878, 32879,
                 32786, 32789, 32734, 32735, 32867, 32787, 1023,  2133,  1025,  2088,  1007,
                 1047,  2085,  2087,  1048,  2090,  1010,  1050,  1003,  1015}) {
    EXPECT_NE(Find<QWidget>(*window, id), nullptr) << id;
  }

  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(window->HeldList());
  ASSERT_NE(list, nullptr);
  QAccessibleTableInterface* table = list->tableInterface();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->rowCount(), 1);
  EXPECT_EQ(table->columnCount(), 9);  // eight default columns and the empty one
  QAccessibleInterface* cell = table->cellAt(0, 0);
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->text(QAccessible::Name), QStringLiteral("IBM"));
  QAccessibleTableCellInterface* cellInfo = cell->tableCellInterface();
  ASSERT_NE(cellInfo, nullptr);
  ASSERT_EQ(cellInfo->columnHeaderCells().size(), 1);
  EXPECT_EQ(cellInfo->columnHeaderCells()[0]->text(QAccessible::Name), QStringLiteral("Symbol  ^"));
  EXPECT_EQ(Find<QWidget>(*window, 32782)->toolTip(), QStringLiteral("Add Position"));
}

}  // namespace
