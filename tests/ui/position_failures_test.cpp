// The position commands when the database refuses the change: another program holds the file's lock, or
// another program removed the position. Each shows its message and leaves the file, the store and the
// lists as they were.
#include <sys/file.h>

#include <QFile>
#include <QLabel>
#include <QListWidget>

#include "dialog_steps.h"
#include "framework/file_util.h"
#include "framework/save_file_ops.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "portfolio/records/vl_portfolio_item_list.h"
#include "portfolio/records/vl_stock_info_item_list.h"
#include "tests/support/exact_values.h"
#include "tests/support/full_disk_ops.h"
#include "tests/support/null_window.h"
#include "tests/support/small_disk.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/main/position_list_model.h"
#include "ui/main/position_list_view.h"
#include "ui/widgets/string_table.h"

namespace {

// Fills in the new position dialog with 5 DDD at 10 and presses OK.
void NewPositionDDD(QDialog& dialog) {
  Type(dialog, "symbol", "DDD");
  Type(dialog, "quantity", "5");
  Type(dialog, "buyPrice", "10");
  PressOk(dialog);
}

class PositionFailuresTest : public ::testing::Test {
 protected:
  PositionFailuresTest() {
    portfolio = host.AddPortfolio("Growth");
    target = host.AddPortfolio("Income");
    held = host.AddStock(portfolio, "AAA", 100, 1000);
    second = host.AddStock(portfolio, "BBB", 50, 2000);
    sold = host.AddStock(portfolio, "CCC", 10, 500);
    uint32_t remainder = 0;
    EXPECT_EQ(
        host.database->SellPosition(host.otherConn, sold, Shares(10), Cents(700), 0, 1200000000, remainder),
        VLResult::Ok);
    host.database->SetLockWait(20);
    window = OpenWindowOn(host, portfolio);
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
      QString line = QStringLiteral("%1 in %2 kind %3 %4")
                         .arg(p->id)
                         .arg(p->ownerPortfolioId)
                         .arg(p->GetKind())
                         .arg(QString::fromStdString(p->name));
      if (const auto* s = dynamic_cast<const VLStockHoldingItem*>(p))
        line += QStringLiteral(" qty %1 sold at %2")
                    .arg(QString::fromStdString(DecimalText(s->qty)))
                    .arg(CentsOfPrice(s->salePricePerShare));
      lines << line;
    }
    return lines;
  }
  QStringList Rows(bool heldList) const {
    return ColumnTexts(heldList ? window->HeldList() : window->SoldList());
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
    VLDatabase elsewhere(FilePath().toStdString());
    VLDatabaseConn* conn = elsewhere.Connect(std::make_shared<NullWindow>(), 1, 2, 3);
    ASSERT_NE(conn, nullptr);
    ASSERT_EQ(elsewhere.DeletePosition(conn, id), VLResult::Ok);
    ASSERT_EQ(elsewhere.Disconnect(conn), VLResult::Ok);
  }

  TestHost host;
  uint32_t portfolio = 0, target = 0, held = 0, second = 0, sold = 0;
  std::unique_ptr<CDlgVellumar> window;
};

TEST_F(PositionFailuresTest, NewAndEditReportTheRefusedChange) {
  DialogSteps dialogs;
  dialogs.Then(NewPositionDDD);
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

// A save the disk refuses (here an injected "no space" on every write) says which file and why, and the
// file stays as it was.
TEST_F(PositionFailuresTest, AFailedSaveSaysWhichFileAndWhy) {
  FullDiskOps fullDisk;
  host.database->SetFileOps(&fullDisk);
  const QByteArray bytes = FileBytes();
  window->HeldList()->SelectIds({held});
  {
    MessageScript messages;
    messages.Expect(2065, MessageAnswer::Yes);
    messages.Expect(2066);
    window->RunCommand(kCmdPositionDelete);
    RunPosted();
    ASSERT_EQ(messages.details.size(), 2u);
    const QString detail = messages.details.back();
    EXPECT_TRUE(detail.startsWith(QStringLiteral("The change could not be saved to\n") + FilePath() + "."))
        << detail.toStdString();
    EXPECT_TRUE(detail.endsWith(QStringLiteral(":\nNo space left on device.\nThe file was left as it was.")))
        << detail.toStdString();
  }
  host.database->SetFileOps(nullptr);
  EXPECT_EQ(FileBytes(), bytes);
}

// The file deleted, then replaced by something else, under the running window: the change says so and
// offers to write the window's data back; Yes puts it back, No leaves the other file alone.
TEST_F(PositionFailuresTest, AFileDeletedOrReplacedUnderneathIsOfferedBack) {
  // Deletes the selected position, answering the offer to write the data back with `writeBack`.
  const auto deleteAnswering = [&](MessageAnswer writeBack) {
    MessageScript messages;
    messages.Expect(2065, MessageAnswer::Yes);
    messages.Expect(2066);
    messages.Expect(3014, writeBack);
    window->RunCommand(kCmdPositionDelete);
    RunPosted();
    EXPECT_TRUE(messages.texts.back().contains(FilePath()));
  };
  const QStringList store = Store();
  QFile::remove(FilePath());
  window->HeldList()->SelectIds({held});
  deleteAnswering(MessageAnswer::Yes);
  VLDatabase reader(FilePath().toStdString());
  ASSERT_EQ(reader.Open(), DbResult::Ok);
  EXPECT_EQ(reader.GetPositionCount(), store.size())
      << "the window's positions are back, the deletion not made";

  WriteText(FilePath().toStdString(), "somebody else's notes");
  deleteAnswering(MessageAnswer::No);
  EXPECT_EQ(FileBytes(), QByteArray("somebody else's notes"));
}

// A database on a medium that may only be read (every write refused, the superuser's too): the window shows
// it, says it is read-only and why, keeps the changing commands disabled, and a change run anyway says why.
TEST(ReadOnlyDatabase, TheWindowReadsItSaysSoAndRefusesChangesWithTheReason) {
  SmallDisk disk;
  if (!disk.Mounted()) GTEST_SKIP() << "no file system can be mounted read-only here";
  const std::string path = disk.File("Vellumar.db");
  uint32_t portfolio = 0, position = 0;
  {
    VLDatabase writer(path);
    ASSERT_EQ(writer.Create(), DbResult::Ok);
    VLDatabaseConn* conn = writer.Connect(std::make_shared<NullWindow>(), 1, 2, 3);
    VLPortfolioItem p;
    p.name = "Growth";
    ASSERT_EQ(writer.AddPortfolio(conn, p), VLResult::Ok);
    portfolio = p.id;
    ASSERT_EQ(writer.AddCashPosition(conn, portfolio, 1000, "cash", position), VLResult::Ok);
    ASSERT_EQ(writer.Disconnect(conn), VLResult::Ok);
  }
  ASSERT_TRUE(disk.MakeReadOnly());
  TestHost host;
  ASSERT_EQ(host.database->Disconnect(host.otherConn), VLResult::Ok);
  host.otherConn = nullptr;
  host.database = std::make_unique<VLDatabase>(path);
  host.General().defaultPortfolio = static_cast<int32_t>(portfolio);
  host.General().showPortfolioSummary = false;
  CDlgVellumar window(host);
  window.show();
  RunPosted();

  EXPECT_EQ(window.windowTitle(), QStringLiteral("Vellumar - Growth (read-only)"));
  auto* label = window.findChild<QLabel*>(QStringLiteral("readOnly"));
  ASSERT_NE(label, nullptr);
  EXPECT_TRUE(label->isVisible());
  EXPECT_EQ(label->text(), QStringLiteral("Read-only: Read-only file system"));
  for (int id : {kCmdPositionNew, kCmdPositionEdit, kCmdPositionDelete, kCmdSell, kCmdPortfolioNew,
                 kCmdPortfolioDelete, kCmdUpdate, kCmdMoveToPortfolio}) {
    EXPECT_FALSE(window.Action(id)->isEnabled()) << id;
  }
  EXPECT_TRUE(window.Action(kCmdPrint)->isEnabled());
  ASSERT_EQ(window.HeldList()->model()->rowCount(), 1);

  window.HeldList()->SelectIds({position});
  MessageScript messages;
  messages.Expect(2065, MessageAnswer::Yes);
  messages.Expect(2066);
  window.RunCommand(kCmdPositionDelete);
  RunPosted();
  EXPECT_EQ(messages.details.back(),
            FormatString(StringId::DatabaseReadOnly,
                         {QString::fromStdString(path), QStringLiteral("Read-only file system")}));
  EXPECT_EQ(window.HeldList()->model()->rowCount(), 1);

  // A double-click or Enter on the row opens no edit dialog whose OK could only fail.
  int dialogs = 0;
  DialogScript none([&dialogs](QDialog&) {
    ++dialogs;
    return int{QDialog::Rejected};
  });
  PositionListView* list = window.HeldList();
  const QRect row = list->visualRect(list->model()->index(0, 0));
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Return);
  RunPosted();
  EXPECT_EQ(dialogs, 0);
}

}  // namespace

namespace {

// Sets the file's last position id to the last number there is: the next new position has no id left.
void UseUpPositionIds(const QString& path) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  // After "VLDB", the version, the market, the two market texts (empty here) and the last quote and
  // portfolio ids.
  ASSERT_TRUE(file.seek(5 + 4 + 4 + 1 + 1 + 4 + 4));
  const char last[4] = {'\xFF', '\xFF', '\xFF', '\xFF'};
  ASSERT_EQ(file.write(last, 4), 4);
}

}  // namespace

TEST_F(PositionFailuresTest, ANewPositionInAFullDatabaseSaysTheDatabaseIsFull) {
  UseUpPositionIds(FilePath());
  const QByteArray bytes = FileBytes();
  DialogSteps dialogs;
  dialogs.Then(NewPositionDDD);
  MessageScript script;
  script.Expect(2059, MessageAnswer::Ok);
  window->RunCommand(kCmdPositionNew);
  RunPosted();
  ASSERT_FALSE(script.details.empty());
  EXPECT_EQ(script.details.back(), LoadString(StringId::DatabaseFull));
  EXPECT_EQ(FileBytes(), bytes);
  EXPECT_EQ(Rows(true).size(), 2);
}
