// The position dialog, its pages and the Change Symbol dialog driven through their real widgets, and what
// the database holds afterwards.
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include <QFormLayout>

#include "dialog_steps.h"
#include "portfolio/fx/fx_rate.h"
#include "portfolio/records/calendar_date.h"
#include "portfolio/records/vl_holding_item_list.h"
#include "tests/support/exact_values.h"
#include "tests/support/time_zone.h"
#include "ui/dialogs/c_dlg_holding.h"
#include "ui/dialogs/dialog_fields.h"
#include "ui/main/c_dlg_vellumar.h"
#include "ui/main/command_ids.h"
#include "ui/main/position_list_view.h"

namespace {

class PositionDialogsTest : public ::testing::Test {
 protected:
  PositionDialogsTest() {
    portfolio = host.AddPortfolio("Growth");
    window = OpenWindowOn(host, portfolio);
  }
  std::unique_ptr<VLHoldingItem> Stored(uint32_t id) {
    std::unique_ptr<VLHoldingItem> position;
    EXPECT_EQ(host.database->GetPosition(host.otherConn, id, position), VLResult::Ok);
    return position;
  }
  static QTabWidget* InnerTabs(QDialog& dialog) { return Field<QTabWidget>(dialog, "innerTabs"); }
  static QString InnerTab(QDialog& dialog) {
    QTabWidget* tabs = InnerTabs(dialog);
    return tabs->tabText(tabs->currentIndex());
  }

  TestHost host;
  uint32_t portfolio = 0;
  std::unique_ptr<CDlgVellumar> window;
  DialogSteps dialogs;
};

TEST_F(PositionDialogsTest, NewStockPositionWithEveryPageAndTheChecksOnTheWay) {
  dialogs.Then([](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("New Position"));
    auto* tabs = Field<QTabWidget>(dialog, "tabs");
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral(" Security "));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral(" Cash "));
    EXPECT_EQ(tabs->tabText(2), QStringLiteral(" Margin Debt "));
    ASSERT_EQ(InnerTabs(dialog)->count(), 3);  // no " Sale " page for a new position
    MessageScript messages;

    messages.Expect(2056);
    PressOk(dialog);
    EXPECT_EQ(dialog.focusWidget(), Field(dialog, "symbol"));
    Type(dialog, "symbol", "IBM");

    Type(dialog, "quantity", "1000001");
    messages.Expect(2102);
    PressOk(dialog);
    EXPECT_EQ(dialog.focusWidget(), Field(dialog, "quantity"));
    EXPECT_EQ(Field(dialog, "quantity")->selectedText(), QStringLiteral("1000001"));
    // Shares to 8 decimals: a ninth is refused with the limit, blanks around a number do not matter.
    Type(dialog, "quantity", "1.123456789");
    messages.Expect(3008);
    PressOk(dialog);
    EXPECT_EQ(messages.texts.back(),
              QStringLiteral("\"1.123456789\" has more decimals than Vellumar keeps here:\nat most 8 decimal "
                             "places."));
    EXPECT_EQ(dialog.focusWidget(), Field(dialog, "quantity"));
    Type(dialog, "quantity", " 1,000,000 ");

    InnerTabs(dialog)->setCurrentIndex(2);
    Type(dialog, "buyPrice", "12.3456789");  // seven decimals: refused, not rounded
    messages.Expect(3008);
    PressOk(dialog);
    EXPECT_EQ(messages.texts.back(),
              QStringLiteral("\"12.3456789\" has more decimals than Vellumar keeps here:\nat most 6 decimal "
                             "places."));
    EXPECT_EQ(InnerTab(dialog), QStringLiteral(" Purchase "));
    EXPECT_EQ(dialog.focusWidget(), Field(dialog, "buyPrice"));
    EXPECT_EQ(Field(dialog, "buyPrice")->text(), QStringLiteral("12.3456789"));  // nothing typed is lost
    Type(dialog, "buyPrice", "12,5");  // a decimal comma is no number in this format
    messages.Expect(3000);
    PressOk(dialog);
    EXPECT_EQ(messages.texts.back(),
              QStringLiteral("\"12,5\" is not an amount.\nPlease enter an amount such as 1,234.56."));
    Type(dialog, "buyPrice", "42949672.96");  // a cent more than the file keeps
    messages.Expect(3003);
    PressOk(dialog);
    EXPECT_TRUE(messages.texts.back().contains(QStringLiteral("42,949,672.95")));
    EXPECT_EQ(dialog.focusWidget(), Field(dialog, "buyPrice"));
    Type(dialog, "buyPrice", "12.34");
    SetDate(dialog, "buyDate", QDate::currentDate().addDays(1));
    messages.Expect(2203);
    PressOk(dialog);
    EXPECT_EQ(dialog.focusWidget(), Field<QCheckBox>(dialog, "buyDateCheck"));
    // The picker keeps every day from 1900 on, 1970-01-01 (whose midnight is "no date") among them.
    EXPECT_EQ(Field<QDateEdit>(dialog, "buyDate")->minimumDate(), QDate(1900, 1, 1));
    SetDate(dialog, "buyDate", QDate(2024, 3, 5));

    Type(dialog, "sellTarget", "20");
    Field<QCheckBox>(dialog, "marginable")->setChecked(true);
    InnerTabs(dialog)->setCurrentIndex(0);
    messages.Expect(2058);
    PressOk(dialog);
    EXPECT_EQ(InnerTab(dialog), QStringLiteral(" Margin Equity "));
    EXPECT_EQ(dialog.focusWidget(), Field(dialog, "marginPercent"));
    Type(dialog, "marginPercent", "50");
    Type(dialog, "comment", "core holding");
    SetDate(dialog, "buyDate", QDate(1970, 1, 1));
    PressOk(dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
  });
  window->RunCommand(kCmdPositionNew);
  RunPosted();
  const std::vector<uint32_t> selected = window->HeldList()->SelectedIds();
  ASSERT_EQ(selected.size(), 1u);  // the new position shows selected
  const std::unique_ptr<VLHoldingItem> stored = Stored(selected.front());
  const auto* stock = dynamic_cast<const VLStockHoldingItem*>(stored.get());
  ASSERT_NE(stock, nullptr);
  EXPECT_EQ(stock->name, "IBM");
  EXPECT_EQ(stock->qty, Shares(1000000));
  EXPECT_EQ(stock->buyPricePerShare, Cents(1234));
  EXPECT_EQ(stock->purchaseDate, StoredDateOf({1970, 1, 1}));
  EXPECT_EQ(stock->perShareSellTarget, Cents(2000));
  EXPECT_TRUE(stock->marginable);
  EXPECT_EQ(stock->mgnEquity, 50);
  EXPECT_EQ(stock->comment, "core holding");
}

TEST_F(PositionDialogsTest, MarginEquityQuestionAndCashPage) {
  dialogs.Then([](QDialog& dialog) {
    Type(dialog, "symbol", "T");
    Type(dialog, "marginPercent", "50");
    MessageScript messages;
    messages.Expect(2063, MessageAnswer::No);
    PressOk(dialog);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(InnerTab(dialog), QStringLiteral(" Margin Equity "));
    messages.Expect(2063, MessageAnswer::Yes);
    PressOk(dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
  });
  window->RunCommand(kCmdPositionNew);
  RunPosted();
  const std::unique_ptr<VLHoldingItem> stock = Stored(window->HeldList()->SelectedIds().at(0));
  EXPECT_FALSE(static_cast<VLStockHoldingItem&>(*stock).marginable);
  EXPECT_EQ(static_cast<VLStockHoldingItem&>(*stock).mgnEquity, 50);

  dialogs.Then([](QDialog& dialog) {
    Field<QTabWidget>(dialog, "tabs")->setCurrentIndex(1);
    QWidget& cash = *Field<QWidget>(dialog, "1590");
    Type(cash, "description", "Savings");
    MessageScript messages;
    // Each amount refused with its own reason: too small, not a number, negative, too large.
    for (const auto& [typed, id] :
         {std::pair{"0", 2068}, {"1234,56", 3000}, {"-5", 3002}, {"42949673", 3003}}) {
      Type(cash, "amount", QString::fromLatin1(typed));
      messages.Expect(id);
      PressOk(dialog);
      EXPECT_EQ(dialog.focusWidget(), Field(cash, "amount")) << typed;
    }
    Type(cash, "amount", "2,500.50");
    PressOk(dialog);
  });
  window->RunCommand(kCmdPositionNew);
  RunPosted();
  const std::unique_ptr<VLHoldingItem> cash = Stored(window->HeldList()->SelectedIds().at(0));
  ASSERT_EQ(cash->GetKind(), kHoldingCash);
  EXPECT_EQ(static_cast<VLCashHoldingItem&>(*cash).amount, 250050u);
  EXPECT_EQ(cash->name, "Savings");
}

TEST_F(PositionDialogsTest, EditingASoldPositionChecksTheSaleDateAndChangeSymbolRebinds) {
  const uint32_t id = host.AddStock(portfolio, "IBM", 10, 1000);  // bought 2004-11-09
  uint32_t remainder = 0;  // none: every share is sold, the position itself becomes the sold one
  ASSERT_EQ(host.database->SellPosition(host.otherConn, id, Shares(10), Cents(1500), 0, 0, remainder),
            VLResult::Ok);
  window->findChild<QTabBar*>(QStringLiteral("2148"))->setCurrentIndex(1);
  window->SoldList()->SelectIds({id});
  const QDate bought = StoredDateToQDate(1100000000);

  dialogs.Then([&](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Edit Position"));
    ASSERT_EQ(Field<QTabWidget>(dialog, "tabs")->count(), 1);
    ASSERT_EQ(InnerTabs(dialog)->count(), 4);
    EXPECT_EQ(InnerTabs(dialog)->tabText(3), QStringLiteral(" Sale "));
    EXPECT_TRUE(Field(dialog, "symbol")->isReadOnly());
    // It opens on the first field that can be changed, not on the read-only symbol.
    EXPECT_EQ(dialog.focusWidget(), Field(dialog, "quantity"));
    EXPECT_EQ(Field<QDateEdit>(dialog, "buyDate")->date(), bought);
    SetDate(dialog, "saleDate", bought.addDays(-1));
    MessageScript messages;
    messages.Expect(2112);
    PressOk(dialog);
    EXPECT_EQ(InnerTab(dialog), QStringLiteral(" Purchase "));
    SetDate(dialog, "saleDate", bought);
    Type(dialog, "saleCommission", "9.95");

    dialogs.Then([](QDialog& change) {
      EXPECT_EQ(change.windowTitle(), QStringLiteral("Change Symbol"));
      EXPECT_EQ(Field<QLabel>(change, "originalSymbol")->text(), QStringLiteral("IBM"));
      MessageScript inner;
      inner.Expect(2107);
      PressOk(change);
      Type(change, "newSymbol", " MSFT ");
      PressOk(change);
    });
    QTest::mouseClick(Field<QPushButton>(dialog, "changeSymbol"), Qt::LeftButton);
    EXPECT_EQ(Field<QLabel>(dialog, "information")->text(),
              QStringLiteral("Symbol changed from IBM to MSFT"));
    PressOk(dialog);
  });
  window->RunCommand(kCmdPositionEdit);
  RunPosted();
  const std::unique_ptr<VLHoldingItem> stored = Stored(id);
  const auto& sold = static_cast<const VLStockHoldingItem&>(*stored);
  EXPECT_EQ(sold.name, "MSFT");
  EXPECT_EQ(sold.saleCommission, 995u);
  EXPECT_EQ(sold.saleDate, QDateToStoredDate(bought));
}

// The optional currency field: empty for the exchange's, checked as typed, shown again when editing.
TEST_F(PositionDialogsTest, TheCurrencyFieldIsCheckedAndShownWhenEditing) {
  const uint32_t id = host.AddStock(portfolio, "HSBA.L", 10, 1000);
  window->HeldList()->SelectIds({id});
  dialogs.Then([](QDialog& dialog) {
    auto* currency = Field<QLineEdit>(dialog, "currency");
    EXPECT_EQ(currency->text(), QString());
    EXPECT_EQ(currency->accessibleName(), QStringLiteral("Currency"));
    EXPECT_EQ(currency->placeholderText(), QStringLiteral("from the exchange"));
    MessageScript messages;
    for (const char* refused : {"gbp", "GB"}) {
      Type(dialog, "currency", QString::fromLatin1(refused));
      messages.Expect(3019);
      PressOk(dialog);
      EXPECT_EQ(dialog.result(), QDialog::Rejected) << refused;
      EXPECT_EQ(dialog.focusWidget(), currency) << refused;
    }
    Type(dialog, "currency", "GBp");
    PressOk(dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
  });
  window->RunCommand(kCmdPositionEdit);
  RunPosted();
  EXPECT_EQ(static_cast<const VLStockHoldingItem&>(*Stored(id)).currency, "GBp");

  dialogs.Then([](QDialog& dialog) {
    EXPECT_EQ(Field<QLineEdit>(dialog, "currency")->text(), QStringLiteral("GBp"));
    Type(dialog, "currency", "");
    PressOk(dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
  });
  window->RunCommand(kCmdPositionEdit);
  RunPosted();
  EXPECT_EQ(static_cast<const VLStockHoldingItem&>(*Stored(id)).currency, "");
}

// The date pickers show the day a date stands for in every time zone, whether this version stored it or an
// older one did (as the local midnight of its zone), and give back the day's stored form.
TEST(DatePickers, ShowTheStoredDayInEveryTimeZone) {
  QWidget page;
  auto* form = new QFormLayout(&page);
  const DatePickerRow row = AddDateRow(form, QStringLiteral("&Buy date:"), QStringLiteral("buyDate"));
  int64_t tokyoMidnight = 0;
  {
    ScopedTimeZone tokyo("Asia/Tokyo");
    tokyoMidnight = LocalMidnightHere(2024, 3, 10);
  }
  for (const char* zone : kTestZones) {
    ScopedTimeZone here(zone);
    for (int64_t stored : {StoredDateOf({2024, 3, 10}), tokyoMidnight}) {
      WriteDateRow(row, stored);
      EXPECT_EQ(row.date->date(), QDate(2024, 3, 10)) << zone;
      EXPECT_EQ(ReadDateRow(row), StoredDateOf({2024, 3, 10})) << zone;
    }
    WriteDateRow(row, StoredDateOf({1970, 1, 1}));
    EXPECT_TRUE(row.check->isChecked()) << zone;
    EXPECT_EQ(row.date->date(), QDate(1970, 1, 1)) << zone;
  }
}

// With a base currency the purchase and sale pages take the rates the broker charged against it: shown
// as kept, refused with the field focused when they are no rate, stored against the base; without one the
// rows are not there.
TEST_F(PositionDialogsTest, RatesTheBrokerChargedAreTypedAgainstTheBaseCurrency) {
  VLStockHoldingItem stock;
  stock.name = "HSBA.L";
  stock.qty = Shares(100);
  stock.buyPricePerShare = Cents(100000);
  stock.salePricePerShare = Cents(120000);
  stock.purchaseDate = StoredDateOf({2025, 3, 14});
  stock.saleDate = StoredDateOf({2025, 9, 1});
  stock.rateCurrency = "EUR";
  FxRate kept;
  ASSERT_TRUE(ParseFxRate("0.8650", kept));
  stock.buyRate = kept;
  {
    CDlgHolding plain(true, kHoldingStock, &stock, nullptr);
    EXPECT_FALSE(Field(plain, "buyRate")->isVisibleTo(&plain));
  }
  CDlgHolding dialog(true, kHoldingStock, &stock, nullptr, "EUR");
  dialog.show();
  EXPECT_EQ(Field(dialog, "buyRate")->text(), QStringLiteral("0.865"));
  EXPECT_EQ(Field(dialog, "buyRate")->accessibleName(), QStringLiteral("Buy rate per 1 EUR"));
  EXPECT_EQ(Field(dialog, "saleRate")->text(), QString());
  MessageScript messages;
  Type(dialog, "saleRate", "1,2");
  messages.Expect(3021);
  PressOk(dialog);
  EXPECT_EQ(InnerTab(dialog), QStringLiteral(" Sale "));
  EXPECT_EQ(dialog.focusWidget(), Field(dialog, "saleRate"));
  Type(dialog, "saleRate", "0.8402");
  Type(dialog, "buyRate", "");
  PressOk(dialog);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.Stock().rateCurrency, "EUR");
  EXPECT_FALSE(dialog.Stock().buyRate.IsValid());
  EXPECT_EQ(FxRateText(dialog.Stock().saleRate), "0.8402");
}

TEST_F(PositionDialogsTest, TheFindersSayWhenTheyAreMissingAndEscapeCancels) {
  VLStockHoldingItem stock;
  stock.salePricePerShare = Cents(100);  // a sold position shows every page
  CDlgHolding dialog(false, kHoldingStock, &stock, nullptr);
  // The finders answer through the market-data windows; until those exist the default says so.
  dialog.show();
  MessageScript messages;
  messages.Expect(2076);
  QTest::mouseClick(Field<QPushButton>(dialog, "symbolFinder"), Qt::LeftButton);
  messages.Expect(2076);
  QTest::mouseClick(Field<QPushButton>(dialog, "buyPriceFinder"), Qt::LeftButton);
  Type(dialog, "quantity", "5");
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(dialog.Stock().qty, Shares(0));
}

}  // namespace
