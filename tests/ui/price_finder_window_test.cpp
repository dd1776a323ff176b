// The historical price finder driven offscreen against an in-process price service.
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <QTimer>
#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "market_window_support.h"
#include "marketdata/market_date.h"
#include "ui/marketdata/c_dlg_historical_price_finder.h"
#include "ui/marketdata/market_data_finder_windows.h"

namespace {

class PriceFinderWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server.Routes().Get("/table.csv", [this](const httplib::Request& req, httplib::Response& res) {
      std::lock_guard<std::mutex> lock(mutex);
      requests.push_back(req.target);
      if (slow) std::this_thread::sleep_for(std::chrono::milliseconds(300));
      res.set_content(body, "text/csv");
    });
    ASSERT_TRUE(server.Start());
    hosts = std::make_unique<ScopedServiceHosts>(server.Host());
    dialog = std::make_unique<CDlgHistoricalPriceFinder>();
  }

  QStringList Row(int row) const {
    QStringList texts;
    QTreeWidgetItem* item = Control<QTreeWidget>(*dialog, 1035)->topLevelItem(row);
    for (int c = 0; item && c < 4; ++c) texts << item->text(c);
    return texts;
  }
  QString Header(int column) const { return Control<QTreeWidget>(*dialog, 1035)->headerItem()->text(column); }
  void SelectRow(int row) {
    auto* list = Control<QTreeWidget>(*dialog, 1035);
    list->setCurrentItem(list->topLevelItem(row));
  }

  TestServer server;
  std::unique_ptr<ScopedServiceHosts> hosts;
  std::unique_ptr<CDlgHistoricalPriceFinder> dialog;
  std::mutex mutex;
  std::vector<std::string> requests;
  std::string body = ReadFixture("history.csv");
  std::atomic<bool> slow{false};
};

TEST_F(PriceFinderWindowTest, OpenedWithASymbolItSearchesThePickedMonthAtOnce) {
  MessageScript messages;
  dialog->SetInitialSymbol(QStringLiteral(" msft "));
  dialog->SetInitialDate(QDate(2007, 1, 20));
  dialog->show();
  EXPECT_EQ(Control<QDateEdit>(*dialog, 2139)->displayFormat(), QStringLiteral("MMM yyyy"));
  EXPECT_EQ(Control<QDateEdit>(*dialog, 2139)->text(), QLocale().toString(QDate(2007, 1, 1), "MMM yyyy"));
  RunPosted();

  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0], "/table.csv?s=msft&a=0&b=1&c=2007&d=0&e=31&f=2007&g=d&ignore=.csv");
  EXPECT_EQ(Control<QLabel>(*dialog, 2098)->text(), QStringLiteral("&Historical prices for MSFT:"));
  EXPECT_EQ(Header(1), QStringLiteral("Close"));
  EXPECT_EQ(Control<QTreeWidget>(*dialog, 1035)->topLevelItemCount(), 3);
  EXPECT_EQ(Row(0), (QStringList{"5-Jan-2007", "29.64", "29.45", "29.75"}));
  EXPECT_TRUE(Control<QPushButton>(*dialog, 1033)->isEnabled());
}

TEST_F(PriceFinderWindowTest, SelectReadsTheAdjustBoxWhenItIsPressed) {
  MessageScript messages;
  dialog->show();
  QTest::keyClicks(Control<QLineEdit>(*dialog, 2088), QStringLiteral("MSFT"));
  Control<QDateEdit>(*dialog, 2139)->setDate(QDate(2007, 1, 1));
  QTest::keyClick(Control<QCheckBox>(*dialog, 2101), Qt::Key_Space);
  QTest::keyClick(Control<QLineEdit>(*dialog, 2088), Qt::Key_Return);  // Find is the default button
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(Control<QLabel>(*dialog, 2098)->text(), QStringLiteral("Adjusted &historical prices for MSFT:"));
  EXPECT_EQ(Header(1), QStringLiteral("Adj. Close"));
  EXPECT_EQ(Row(2), (QStringList{"3-Jan-2007", "25.12", "29.40", "30.25"}));

  // Unchecked after the search: the list stays as it is, but Select takes the close.
  QTest::keyClick(Control<QCheckBox>(*dialog, 2101), Qt::Key_Space);
  EXPECT_EQ(Header(1), QStringLiteral("Adj. Close"));
  messages.Expect(2094);
  QTest::mouseClick(Control<QPushButton>(*dialog, 1033), Qt::LeftButton);
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  SelectRow(0);
  QTest::mouseClick(Control<QPushButton>(*dialog, 1033), Qt::LeftButton);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(dialog->ChosenPrice(), QStringLiteral("29.64"));
  int64_t midnight = 0;
  ASSERT_TRUE(LocalMidnight(2007, 1, 5, &midnight));
  EXPECT_EQ(dialog->ChosenDate(), midnight);

  QTest::keyClick(Control<QCheckBox>(*dialog, 2101), Qt::Key_Space);
  dialog->setResult(QDialog::Rejected);
  SelectRow(1);
  QTest::mouseClick(Control<QPushButton>(*dialog, 1033), Qt::LeftButton);
  EXPECT_EQ(dialog->ChosenPrice(), QStringLiteral("25.08"));
}

TEST_F(PriceFinderWindowTest, AFetchKeepsTheWindowAndEnterOnAPriceSelectsIt) {
  MessageScript messages;
  dialog->show();
  QTest::keyClicks(Control<QLineEdit>(*dialog, 2088), QStringLiteral("MSFT"));
  Control<QDateEdit>(*dialog, 2139)->setDate(QDate(2007, 1, 1));
  slow = true;
  bool checkedDuringFetch = false;
  QTimer::singleShot(50, dialog.get(), [&] {
    checkedDuringFetch = true;
    EXPECT_TRUE(dialog->IsFetching());
    dialog->close();
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    QTest::mouseClick(Control<QPushButton>(*dialog, 2), Qt::LeftButton);
    EXPECT_TRUE(dialog->isVisible());
  });
  QTest::mouseClick(Control<QPushButton>(*dialog, 2097), Qt::LeftButton);
  EXPECT_TRUE(checkedDuringFetch);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  ASSERT_EQ(Control<QTreeWidget>(*dialog, 1035)->topLevelItemCount(), 3);

  // Enter on the focused price picks it, selected or not (Tab gives the list focus without a selection);
  // it does not press Find, the default button, again.
  auto* list = Control<QTreeWidget>(*dialog, 1035);
  list->selectionModel()->setCurrentIndex(list->model()->index(1, 0), QItemSelectionModel::NoUpdate);
  list->clearSelection();
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Return);
  RunPosted();
  EXPECT_EQ(requests.size(), 1u);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(dialog->ChosenPrice(), QStringLiteral("29.81"));
}

TEST_F(PriceFinderWindowTest, AnEmptySymbolOrAMonthWithoutPricesShowsItsMessage) {
  MessageScript messages;
  dialog->show();
  messages.Expect(2056);
  QTest::mouseClick(Control<QPushButton>(*dialog, 2097), Qt::LeftButton);
  EXPECT_TRUE(requests.empty());

  body = "Date,Open,High,Low,Close,Volume,Adj Close\n";
  QTest::keyClicks(Control<QLineEdit>(*dialog, 2088), QStringLiteral("ibm"));
  messages.Expect(134);
  QTest::mouseClick(Control<QPushButton>(*dialog, 2097), Qt::LeftButton);
  ASSERT_EQ(messages.texts.size(), 2u);
  EXPECT_EQ(messages.texts[1], QStringLiteral("[ibm]\n\nVellumar was unable to retrieve historical prices\n"
                                              "for this security for the selected period."));
  EXPECT_EQ(Control<QLabel>(*dialog, 2098)->text(), QStringLiteral("&Results:"));
  EXPECT_FALSE(Control<QPushButton>(*dialog, 1033)->isEnabled());
}

}  // namespace

namespace {

// The position dialogs' way to the finders: the chosen price comes back in cents, a cancel as nothing.
TEST_F(PriceFinderWindowTest, ThePositionDialogsGetTheChosenPriceInCents) {
  MessageScript messages;
  MarketDataFinderWindows windows;
  SetMarketDataWindows(&windows);
  bool adjust = false;
  DialogScript runner([&](QDialog& dialog) {
    auto* finder = qobject_cast<CDlgHistoricalPriceFinder*>(&dialog);
    EXPECT_NE(finder, nullptr);
    if (!finder) return int(QDialog::Rejected);
    EXPECT_EQ(finder->PickedMonth(), QDate(2007, 1, 1));
    finder->OnFind();
    Control<QCheckBox>(*finder, 2101)->setChecked(adjust);
    auto* list = Control<QTreeWidget>(*finder, 1035);
    list->setCurrentItem(list->topLevelItem(1));
    finder->OnSelect();
    return finder->result();
  });
  EXPECT_EQ(MarketDataWindows().FindPrice(nullptr, QStringLiteral("MSFT"), QDate(2007, 1, 9)), 2981);
  adjust = true;
  EXPECT_EQ(MarketDataWindows().FindPrice(nullptr, QStringLiteral("MSFT"), QDate(2007, 1, 9)), 2508);
  SetMarketDataWindows(nullptr);

  EXPECT_EQ(MarketDataFinderWindows::PriceTextToCents(QStringLiteral("29.645")), 2965);
  EXPECT_EQ(MarketDataFinderWindows::PriceTextToCents(QStringLiteral("30")), 3000);
  EXPECT_EQ(MarketDataFinderWindows::PriceTextToCents(QStringLiteral("0.5")), 50);
  EXPECT_EQ(MarketDataFinderWindows::PriceTextToCents(QStringLiteral("N/A")), std::nullopt);
  EXPECT_EQ(MarketDataFinderWindows::PriceTextToCents(QStringLiteral("-1.00")), std::nullopt);
}

}  // namespace
