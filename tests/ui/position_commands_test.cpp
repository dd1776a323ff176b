// The position and portfolio commands of the main window against a real database: selection rules and
// their messages, the dialogs they open, and the lists following the database's events.
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabBar>

#include "dialog_steps.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "tests/support/exact_values.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/main/position_list_model.h"
#include "ui/main/position_list_view.h"

namespace {

class FailingQuoteSource : public IVLQuoteSource {
 public:
  bool FetchQuotes(const std::vector<StockInfo*>&, std::string& error) override {
    error = "no route to host";
    return false;
  }
  bool FetchMarketTime(int32_t, std::string&, std::string&) override { return false; }
  bool IsSupportedMarket(int32_t) const override { return true; }
};

class PositionCommandsTest : public ::testing::Test {
 protected:
  PositionCommandsTest() { portfolio = host.AddPortfolio("Growth"); }
  void Open() { window = OpenWindowOn(host, portfolio); }
  QStringList Symbols(bool held) const { return ColumnTexts(held ? window->HeldList() : window->SoldList()); }
  int Count(uint32_t id, bool held) {
    VLHoldingItemList list;
    EXPECT_EQ(host.database->GetPositions(host.otherConn, id, held, list), VLResult::Ok);
    return list.GetCount();
  }
  void ShowSold() { window->findChild<QTabBar*>(QStringLiteral("2148"))->setCurrentIndex(1); }

  TestHost host;
  uint32_t portfolio = 0;
  std::unique_ptr<CDlgVellumar> window;
};

TEST_F(PositionCommandsTest, EachCommandAsksForASelectionFirst) {
  host.AddStock(portfolio, "AAA");
  host.AddStock(portfolio, "BBB");
  Open();
  MessageScript messages;
  const std::pair<int, int> rules[] = {{kCmdPositionEdit, 2070},
                                       {kCmdPositionDelete, 2073},
                                       {kCmdSell, 2114},
                                       {kCmdCopyToPortfolio, 2078},
                                       {kCmdMoveToPortfolio, 2079}};
  for (auto [command, message] : rules) {
    messages.Expect(message);
    window->RunCommand(command);
  }
  // Edit and Sell take one position only.
  const PositionListModel* model = window->HeldList()->Model();
  window->HeldList()->SelectIds({model->ItemIdAt(0), model->ItemIdAt(1)});
  for (int command : {kCmdPositionEdit, kCmdSell}) {
    messages.Expect(2071);
    window->RunCommand(command);
  }
  ShowSold();
  messages.Expect(2122);
  window->RunCommand(kCmdUnsell);
  EXPECT_EQ(messages.shown, (std::vector<int>{2070, 2073, 2114, 2078, 2079, 2071, 2071, 2122}));
}

TEST_F(PositionCommandsTest, SellRefusesCashSoldAndEmptyPositions) {
  const uint32_t cash = host.AddCash(portfolio, 5000);
  const uint32_t empty = host.AddStock(portfolio, "ZERO", 0, 0);
  const uint32_t stock = host.AddStock(portfolio, "AAA", 10, 1000);
  uint32_t remainder = 0;
  ASSERT_EQ(host.database->SellPosition(host.otherConn, stock, Shares(10), Cents(1200), 0, 0, remainder),
            VLResult::Ok);
  Open();
  MessageScript messages;
  for (auto [id, message] : {std::pair{cash, 2115}, std::pair{empty, 2118}}) {
    window->HeldList()->SelectIds({id});
    messages.Expect(message);
    window->RunCommand(kCmdSell);
  }
  ShowSold();
  window->SoldList()->SelectIds({stock});
  messages.Expect(2117);
  window->RunCommand(kCmdSell);
  EXPECT_EQ(messages.shown, (std::vector<int>{2115, 2118, 2117}));
}

TEST_F(PositionCommandsTest, PartialSaleShowsInBothListsAndUnsellBringsItBack) {
  const uint32_t id = host.AddStock(portfolio, "AAA", 100, 1000);
  Open();
  window->HeldList()->SelectIds({id});
  DialogSteps dialogs;
  dialogs.Then([](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Sell Position"));
    EXPECT_EQ(Field<QLabel>(dialog, "of")->text(), QStringLiteral("of 100"));
    Type(dialog, "quantity", "101");
    MessageScript messages;
    messages.Expect(2119);
    PressOk(dialog);
    EXPECT_EQ(messages.texts.at(0),
              QStringLiteral("Please specify the number of shares sold\nas a quantity between 1 and 100."));
    EXPECT_EQ(dialog.focusWidget(), Field(dialog, "quantity"));
    EXPECT_EQ(Field(dialog, "quantity")->selectedText(), QStringLiteral("101"));
    Type(dialog, "quantity", "40");
    Type(dialog, "salePrice", "12.50");
    PressOk(dialog);
  });
  window->RunCommand(kCmdSell);
  RunPosted();
  ASSERT_EQ(Count(portfolio, true), 1);
  ASSERT_EQ(Count(portfolio, false), 1);
  EXPECT_EQ(Symbols(true), QStringList{"AAA"});
  EXPECT_EQ(Symbols(false), QStringList{"AAA"});
  VLHoldingItemList sold;
  ASSERT_EQ(host.database->GetPositions(host.otherConn, portfolio, false, sold), VLResult::Ok);
  const auto* sale = static_cast<const VLStockHoldingItem*>(sold.GetAt(0));
  EXPECT_EQ(sale->qty, Shares(40));
  EXPECT_EQ(sale->salePricePerShare, Cents(1250));

  ShowSold();
  window->SoldList()->SelectIds({sale->id});
  MessageScript messages;
  messages.Expect(2123, MessageAnswer::Yes);
  window->RunCommand(kCmdUnsell);
  RunPosted();
  EXPECT_EQ(Count(portfolio, false), 0);
  EXPECT_TRUE(Symbols(false).isEmpty());
  EXPECT_EQ(Symbols(true), (QStringList{"AAA", "AAA"}));
}

TEST_F(PositionCommandsTest, DeleteOfSeveralAsksOnceAndNoKeepsThem) {
  const uint32_t a = host.AddStock(portfolio, "AAA");
  host.AddStock(portfolio, "BBB");
  const uint32_t c = host.AddStock(portfolio, "CCC");
  Open();
  window->HeldList()->SelectIds({a, c});
  MessageScript messages;
  messages.Expect(2065, MessageAnswer::No);
  window->RunCommand(kCmdPositionDelete);
  EXPECT_EQ(Symbols(true), (QStringList{"AAA", "BBB", "CCC"}));
  messages.Expect(2065, MessageAnswer::Yes);
  window->RunCommand(kCmdPositionDelete);
  RunPosted();
  EXPECT_EQ(Symbols(true), QStringList{"BBB"});
  EXPECT_EQ(Count(portfolio, true), 1);
}

TEST_F(PositionCommandsTest, CopyAndMoveToAnotherPortfolio) {
  const uint32_t other = host.AddPortfolio("Income");
  const uint32_t empty = host.AddPortfolio("Zeta");
  const uint32_t a = host.AddStock(portfolio, "AAA");
  const uint32_t b = host.AddStock(portfolio, "BBB");
  host.AddStock(other, "OTH");
  Open();
  window->HeldList()->SelectIds({a, b});
  DialogSteps dialogs;
  // Copy lists every portfolio, this one included.
  dialogs.Then([&](QDialog& dialog) {
    auto* list = Field<QListWidget>(dialog, "1052");
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("Growth"));
    MessageScript messages;
    messages.Expect(2082);
    PressOk(dialog);  // nothing selected yet
    list->setCurrentRow(1);
    EXPECT_EQ(Field<QStatusBar>(dialog, "statusBar")->currentMessage(),
              QStringLiteral(" Held: 1 item(s),  Sold: 0 item(s)"));
    list->setCurrentRow(2);
    EXPECT_EQ(Field<QStatusBar>(dialog, "statusBar")->currentMessage(), QStringLiteral(" No items"));
    list->setCurrentRow(1);
    PressOk(dialog);
  });
  window->RunCommand(kCmdCopyToPortfolio);
  RunPosted();
  EXPECT_EQ(Count(other, true), 3);
  EXPECT_EQ(Symbols(true), (QStringList{"AAA", "BBB"}));

  // Move leaves the source portfolio out.
  window->HeldList()->SelectIds({a});
  dialogs.Then([&](QDialog& dialog) {
    auto* list = Field<QListWidget>(dialog, "1052");
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("Income"));
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("Zeta"));
    list->setCurrentRow(1);
    PressOk(dialog);
  });
  window->RunCommand(kCmdMoveToPortfolio);
  RunPosted();
  EXPECT_EQ(Symbols(true), QStringList{"BBB"});
  EXPECT_EQ(Count(empty, true), 1);
}

TEST_F(PositionCommandsTest, PortfolioNewEditAndDelete) {
  Open();
  DialogSteps dialogs;
  dialogs.Then([](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("New Portfolio"));
    Type(dialog, "1035", "   ");
    MessageScript messages;
    messages.Expect(2050);
    PressOk(dialog);
    EXPECT_EQ(dialog.focusWidget(), Field(dialog, "1035"));
    Type(dialog, "1035", "  Retirement ");
    Type(dialog, "1036", "IRA");
    PressOk(dialog);
  });
  window->RunCommand(kCmdPortfolioNew);
  RunPosted();
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Vellumar - Retirement"));
  const uint32_t created = window->CurrentPortfolio();
  VLPortfolioItem stored;
  ASSERT_EQ(host.database->GetPortfolio(host.otherConn, created, stored), VLResult::Ok);
  EXPECT_EQ(stored.comment, "IRA");

  // A name that exists already is refused by the database and nothing changes.
  dialogs.Then([](QDialog& dialog) {
    Type(dialog, "1035", "Growth");
    PressOk(dialog);
  });
  {
    MessageScript messages;
    messages.Expect(2051);
    window->RunCommand(kCmdPortfolioNew);
    EXPECT_EQ(messages.texts.at(0),
              QStringLiteral("\"Growth\"\n\nA portfolio with this name already exists."));
  }
  EXPECT_EQ(window->CurrentPortfolio(), created);

  dialogs.Then([](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Edit Portfolio"));
    EXPECT_EQ(Field(dialog, "1035")->text(), QStringLiteral("Retirement"));
    Type(dialog, "1035", "Pension");
    PressOk(dialog);
  });
  window->RunCommand(kCmdPortfolioEdit);
  RunPosted();
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Vellumar - Pension"));

  MessageScript messages;
  messages.Expect(2053, MessageAnswer::No);
  window->RunCommand(kCmdPortfolioDelete);
  messages.Expect(2053, MessageAnswer::Yes);
  window->RunCommand(kCmdPortfolioDelete);
  RunPosted();
  EXPECT_EQ(
      messages.texts.at(0),
      QStringLiteral("\"Pension\"\n\nAre you sure you want to delete this portfolio\nand its contents?"));
  EXPECT_EQ(window->CurrentPortfolio(), 0u);
  EXPECT_NE(host.database->GetPortfolio(host.otherConn, created, stored), VLResult::Ok);
}

// The base currency: a new portfolio starts with the one Options sets; a code that is no base is refused
// with the field focused; clearing it takes the conversion away again.
TEST_F(PositionCommandsTest, PortfolioBaseCurrency) {
  const uint32_t held = host.AddStock(portfolio, "AAA");
  Open();
  host.GetPrefs().GetGeneralPrefs().defaultBaseCurrency = "CHF";
  DialogSteps dialogs;
  dialogs.Then([](QDialog& dialog) {
    EXPECT_EQ(Field(dialog, "vl_base_currency")->text(), QStringLiteral("CHF"));
    Type(dialog, "1035", "Swiss");
    PressOk(dialog);
  });
  window->RunCommand(kCmdPortfolioNew);
  RunPosted();
  const uint32_t created = window->CurrentPortfolio();
  VLPortfolioItem stored;
  ASSERT_EQ(host.database->GetPortfolio(host.otherConn, created, stored), VLResult::Ok);
  EXPECT_EQ(stored.baseCurrency, "CHF");

  dialogs.Then([](QDialog& dialog) {
    EXPECT_EQ(Field(dialog, "vl_base_currency")->text(), QStringLiteral("CHF"));
    for (const char* refused : {"eur", "GBp", "EU"}) {
      Type(dialog, "vl_base_currency", refused);
      MessageScript messages;
      messages.Expect(3020);
      PressOk(dialog);
      EXPECT_EQ(dialog.focusWidget(), Field(dialog, "vl_base_currency")) << refused;
    }
    Type(dialog, "vl_base_currency", "EUR");
    PressOk(dialog);
  });
  window->RunCommand(kCmdPortfolioEdit);
  RunPosted();
  ASSERT_EQ(host.database->GetPortfolio(host.otherConn, created, stored), VLResult::Ok);
  EXPECT_EQ(stored.baseCurrency, "EUR");

  dialogs.Then([](QDialog& dialog) {
    Type(dialog, "vl_base_currency", "");
    PressOk(dialog);
  });
  window->RunCommand(kCmdPortfolioEdit);
  RunPosted();
  ASSERT_EQ(host.database->GetPortfolio(host.otherConn, created, stored), VLResult::Ok);
  EXPECT_EQ(stored.baseCurrency, "");

  // "New..." of the copy and move dialog starts from the same default.
  window->SelectPortfolio(portfolio);
  window->HeldList()->SelectIds({held});
  dialogs.Then([](QDialog& dialog) {
    Field<QPushButton>(dialog, "2153")->click();
    dialog.reject();
  });
  dialogs.Then([](QDialog& dialog) {
    EXPECT_EQ(Field(dialog, "vl_base_currency")->text(), QStringLiteral("CHF"));
    dialog.reject();
  });
  window->RunCommand(kCmdCopyToPortfolio);
  RunPosted();
  EXPECT_EQ(dialogs.opened.size(), 5u);
}

// Moving over the menus sends prompts to the status line; leaving an item without one used to wipe the
// connection and market text until the next update.
TEST_F(PositionCommandsTest, MenuPromptsLeaveTheStatusLineAsItWas) {
  Open();
  window->RunCommand(kCmdUpdate);
  RunPosted();
  const QString line = window->statusBar()->currentMessage();
  ASSERT_TRUE(line.contains(QStringLiteral("U.S. Markets Closed"))) << line.toStdString();
  QStatusTipEvent prompt(QStringLiteral("Sells the selected position"));
  QCoreApplication::sendEvent(window.get(), &prompt);
  EXPECT_EQ(window->statusBar()->currentMessage(), QStringLiteral("Sells the selected position"));
  QStatusTipEvent none{QString()};
  QCoreApplication::sendEvent(window.get(), &none);
  EXPECT_EQ(window->statusBar()->currentMessage(), line);
}

// A refill (here after Update) keeps the selection and the row the keyboard is on, so Down goes on from
// there rather than from the top.
TEST_F(PositionCommandsTest, UpdateKeepsTheSelectionAndTheKeyboardRow) {
  host.AddStock(portfolio, "AAA");
  const uint32_t b = host.AddStock(portfolio, "BBB");
  const uint32_t c = host.AddStock(portfolio, "CCC");
  Open();
  PositionListView* list = window->HeldList();
  list->SelectIds({b}, b);
  window->OnTimerTick();  // the selection snapshot a refill restores
  window->RunCommand(kCmdUpdate);
  RunPosted();
  EXPECT_EQ(list->SelectedIds(), std::vector<uint32_t>{b});
  ASSERT_TRUE(list->currentIndex().isValid());
  EXPECT_EQ(list->Model()->ItemIdAt(list->currentIndex().row()), b);
  QTest::keyClick(list, Qt::Key_Down);
  EXPECT_EQ(list->SelectedIds(), std::vector<uint32_t>{c});
}

}  // namespace

TEST_F(PositionCommandsTest, SetPriceFillsInTheSelectedSymbolChecksThePriceAndIsUndone) {
  const uint32_t id = host.AddStock(portfolio, "NOSUCHFUND", 2, 1000);
  Open();
  window->RunCommand(kCmdUpdate);
  RunPosted();
  EXPECT_EQ(ColumnTexts(window->HeldList(), 1), QStringList{"No such symbol"});
  window->HeldList()->SelectIds({id});
  DialogSteps dialogs;
  dialogs.Then([](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Set Price"));
    EXPECT_EQ(Field(dialog, "symbol")->text(), QStringLiteral("NOSUCHFUND"));
    Type(dialog, "price", "84.2637001");
    MessageScript messages;
    messages.Expect(3008);
    PressOk(dialog);
    EXPECT_EQ(dialog.focusWidget(), Field(dialog, "price"));
    Type(dialog, "price", "84.2637");
    PressOk(dialog);
  });
  window->RunCommand(kCmdSetPrice);
  RunPosted();
  std::vector<VLManualPriceItem> prices;
  ASSERT_EQ(host.database->GetManualPrices(host.otherConn, prices), VLResult::Ok);
  ASSERT_EQ(prices.size(), 1u);
  EXPECT_EQ(prices[0].name, "NOSUCHFUND");
  EXPECT_EQ(prices[0].price, PriceOf("84.2637"));
  // The list now shows the price's figures where the service's quote had none.
  EXPECT_EQ(ColumnTexts(window->HeldList(), 1), QStringList{"Price set by hand"});
  EXPECT_EQ(ColumnTexts(window->HeldList(), 2), QStringList{"84.2637"});

  window->RunCommand(kCmdUndo);
  RunPosted();
  ASSERT_EQ(host.database->GetManualPrices(host.otherConn, prices), VLResult::Ok);
  EXPECT_TRUE(prices.empty());
  EXPECT_EQ(ColumnTexts(window->HeldList(), 1), QStringList{"No such symbol"});
}
