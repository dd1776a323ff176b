// The position commands when the database refuses the change: another program holds the file's lock, or
// another program removed the position. Each shows its message and leaves the file, the store and the
// lists as they were.
#include <sys/file.h>

#include <QFile>
#include <QListWidget>

#include "dialog_steps.h"
#include "framework/file_util.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_portfolio_item_list.h"
#include "portfolio/records/vl_stock_info_item_list.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/main/position_list_model.h"
#include "ui/main/position_list_view.h"
#include "ui/widgets/string_table.h"

namespace {

class PositionFailuresTest : public ::testing::Test {
 protected:
  PositionFailuresTest() {
    portfolio = host.AddPortfolio("Growth");
    target = host.AddPortfolio("Income");
    held = host.AddStock(portfolio, "AAA", 100, 1000);
    second = host.AddStock(portfolio, "BBB", 50, 2000);
    sold = host.AddStock(portfolio, "CCC", 10, 500);
    uint32_t remainder = 0;
    EXPECT_EQ(host.database->SellPosition(host.otherConn, sold, 10, 700, 0, 1200000000, remainder), kVLOk);
    host.General().defaultPortfolio = static_cast<int32_t>(portfolio);
    host.General().showPortfolioSummary = false;
    host.database->SetLockWait(20);
    window = std::make_unique<CDlgVellumar>(host);
    window->show();
    RunPosted();
  }

  QString FilePath() const { return host.folder.filePath(QStringLiteral("Vellumar.db")); }
  QByteArray FileBytes() const {
    QFile file(FilePath());
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
  }
  // Every position as the store holds it, in one line each.
  QStringList Store() {
    VLStockInfoItemList quotes;
    VLPortfolioItemList portfolios;
    VLHoldingItemList positions;
    host.database->CopyAll(quotes, portfolios, positions);
    QStringList lines;
    for (int i = 0; i < positions.GetCount(); ++i) {
      const auto* p = static_cast<const VLHoldingItem*>(positions.GetAt(i));
      QString line = QStringLiteral("%1 in %2 kind %3 %4").arg(p->id).arg(p->ownerPortfolioId).arg(p->GetKind())
                         .arg(QString::fromStdString(p->name));
      if (const auto* s = dynamic_cast<const VLStockHoldingItem*>(p))
        line += QStringLiteral(" qty %1 sold at %2").arg(s->qty).arg(s->salePricePerShare);
      lines << line;
    }
    return lines;
  }
  QStringList Rows(bool heldList) const {
    const PositionListView* list = heldList ? window->HeldList() : window->SoldList();
    QStringList rows;
    for (int r = 0; r < list->model()->rowCount(); ++r) rows << list->model()->index(r, 0).data().toString();
    return rows;
  }
  void ShowSold() { window->findChild<QTabBar*>(QStringLiteral("2148"))->setCurrentIndex(1); }

  // Holds the file's lock the way another program does for as long as the object lives.
  class OtherProgramsLock {
   public:
    explicit OtherProgramsLock(const QString& path)
        : file(::open(path.toLocal8Bit().constData(), O_RDWR | O_CLOEXEC)) {
      EXPECT_TRUE(file.IsOpen());
      EXPECT_EQ(::flock(file.Get(), LOCK_EX | LOCK_NB), 0);
    }

   private:
    FileHandle file;
  };

  // Runs `command` while another program holds the lock, expecting `messages` (the last one saying why),
  // and checks that the file, the store and both lists are what they were.
  void FailsUnchanged(int command, std::initializer_list<std::pair<int, MessageAnswer>> messages) {
    const QByteArray bytes = FileBytes();
    const QStringList store = Store();
    const QStringList heldRows = Rows(true), soldRows = Rows(false);
    {
      OtherProgramsLock lock(FilePath());
      MessageScript script;
      for (auto [id, answer] : messages) script.Expect(id, answer);
      window->RunCommand(command);
      RunPosted();
      // The refusal says that another program holds the file, not only that the change failed.
      ASSERT_FALSE(script.details.empty());
      EXPECT_EQ(script.details.back(), LoadString(StringId::DatabaseBusy));
    }
    EXPECT_EQ(FileBytes(), bytes);
    EXPECT_EQ(Store(), store);
    EXPECT_EQ(Rows(true), heldRows);
    EXPECT_EQ(Rows(false), soldRows);
  }

  // Deletes the position the way another program does: through its own store on the same file.
  void DeleteElsewhere(uint32_t id) {
    class NoWindow : public IVLCommandWindow {
     public:
      void PostCommand(uint32_t) override {}
    };
    VLDatabase elsewhere(FilePath().toStdString());
    VLDatabaseConn* conn = elsewhere.Connect(std::make_shared<NoWindow>(), 1, 2, 3);
    ASSERT_NE(conn, nullptr);
    ASSERT_EQ(elsewhere.DeletePosition(conn, id), kVLOk);
    ASSERT_EQ(elsewhere.Disconnect(conn), kVLOk);
  }

  TestHost host;
  uint32_t portfolio = 0, target = 0, held = 0, second = 0, sold = 0;
  std::unique_ptr<CDlgVellumar> window;
};

TEST_F(PositionFailuresTest, NewAndEditReportTheRefusedChange) {
  DialogSteps dialogs;
  dialogs.Then([](QDialog& dialog) {
    Type(dialog, "symbol", "DDD");
    Type(dialog, "quantity", "5");
    Type(dialog, "buyPrice", "10");
    PressOk(dialog);
  });
  FailsUnchanged(kCmdPositionNew, {{2059, MessageAnswer::Ok}});

  window->HeldList()->SelectIds({held});
  dialogs.Then([](QDialog& dialog) {
    Type(dialog, "quantity", "150");
    PressOk(dialog);
  });
  FailsUnchanged(kCmdPositionEdit, {{2075, MessageAnswer::Ok}});
}

TEST_F(PositionFailuresTest, SellUnsellCopyAndMoveReportTheRefusedChange) {
  window->HeldList()->SelectIds({held});
  DialogSteps dialogs;
  dialogs.Then([](QDialog& dialog) {
    Type(dialog, "quantity", "40");
    Type(dialog, "salePrice", "12.50");
    PressOk(dialog);
  });
  FailsUnchanged(kCmdSell, {{2116, MessageAnswer::Ok}});

  const PositionListModel* model = window->HeldList()->Model();
  window->HeldList()->SelectIds({model->ItemIdAt(0), model->ItemIdAt(1)});
  auto chooseIncome = [](QDialog& dialog) {
    auto* list = Field<QListWidget>(dialog, "1052");
    const QList<QListWidgetItem*> income = list->findItems(QStringLiteral("Income"), Qt::MatchExactly);
    ASSERT_EQ(income.size(), 1);
    list->setCurrentItem(income.front());
    PressOk(dialog);
  };
  dialogs.Then(chooseIncome);
  FailsUnchanged(kCmdCopyToPortfolio, {{2080, MessageAnswer::Ok}});
  dialogs.Then(chooseIncome);
  FailsUnchanged(kCmdMoveToPortfolio, {{2081, MessageAnswer::Ok}});

  ShowSold();
  window->SoldList()->SelectIds({sold});
  FailsUnchanged(kCmdUnsell, {{2123, MessageAnswer::Yes}, {2124, MessageAnswer::Ok}});
}

// Another program deleted the position and saved; this program has not looked at the file since. The
// command reads the file again and says the position is gone instead of opening a dialog over it.
TEST_F(PositionFailuresTest, APositionAnotherProgramDeletedIsReportedGone) {
  DialogSteps noDialogExpected;
  for (auto [command, id] : {std::pair{kCmdPositionEdit, held}, std::pair{kCmdSell, second}}) {
    window->HeldList()->SelectIds({id});
    DeleteElsewhere(id);
    ASSERT_EQ(Rows(true).size(), 2 - (id == second ? 1 : 0));  // the list has not heard of it yet
    MessageScript messages;
    messages.Expect(2072);
    window->RunCommand(command);
    EXPECT_EQ(window->focusWidget(), window->HeldList());
  }
  EXPECT_TRUE(Rows(true).isEmpty());
  EXPECT_EQ(Store().size(), 1);  // only the sold position is left
}

// Deleted by another program while the dialog is open: OK says so and keeps the dialog with what was typed.
TEST_F(PositionFailuresTest, EditingAPositionAnotherProgramDeletesKeepsTheDialogAndWhatWasTyped) {
  window->HeldList()->SelectIds({held});
  DialogSteps dialogs;
  dialogs.Then([this](QDialog& dialog) {
    Type(dialog, "quantity", "150");
    DeleteElsewhere(held);
    MessageScript messages;
    messages.Expect(2072);
    PressOk(dialog);
    EXPECT_EQ(messages.details, std::vector<QString>{LoadString(StringId::PositionDeletedElsewhere)});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(Field(dialog, "quantity")->text(), QStringLiteral("150"));
    QTest::keyClick(&dialog, Qt::Key_Escape);
  });
  window->RunCommand(kCmdPositionEdit);
  RunPosted();
  EXPECT_EQ(Rows(true), QStringList{"BBB"});
}

}  // namespace
