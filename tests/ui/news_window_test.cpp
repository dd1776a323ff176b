// The news window and its options dialog driven offscreen against an in-process headlines service.
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

#include <mutex>

#include "market_window_support.h"
#include "prefs/vl_general_prefs.h"
#include "ui/main/web_page_opener.h"
#include "ui/marketdata/c_dlg_news.h"
#include "ui/marketdata/c_dlg_news_item_options.h"

namespace {

class NewsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    server.Routes().Get("/q/h", [this](const httplib::Request& req, httplib::Response& res) {
      std::lock_guard<std::mutex> lock(mutex);
      requests.push_back(req.target);
      const std::string symbol = req.get_param_value("s");
      const char* page = symbol == "MSFT"  ? (req.has_param("t") ? "news_msft_2.html" : "news_msft_1.html")
                         : symbol == "IBM" ? "news_ibm.html"
                                           : "news_none.html";
      res.set_content(ReadFixture(page), "text/html");
    });
    ASSERT_TRUE(server.Start());
    hosts = std::make_unique<ScopedServiceHosts>(server.Host());
    previousOpener = SetWebPageOpener([this](const QString& url) {
      opened << url;
      return openSucceeds;
    });
    news = std::make_unique<CDlgNews>(prefs);
    news->show();
  }
  void TearDown() override {
    SetWebPageOpener(previousOpener);
    QLocale::setDefault(QLocale::system());
  }

  void Add(const QString& symbol) {
    QTest::keyClicks(Control<QLineEdit>(*news, 2088), symbol);
    QTest::mouseClick(Control<QPushButton>(*news, 1073), Qt::LeftButton);
  }
  QStringList Row(int row) const {
    QStringList texts;
    QTreeWidgetItem* item = Control<QTreeWidget>(*news, 1072)->topLevelItem(row);
    for (int c = 0; item && c < 4; ++c) texts << item->text(c);
    return texts;
  }
  size_t RequestCount() {
    std::lock_guard<std::mutex> lock(mutex);
    return requests.size();
  }

  VLGeneralPrefs prefs;
  TestServer server;
  std::unique_ptr<ScopedServiceHosts> hosts;
  WebPageOpener previousOpener;
  QStringList opened;
  bool openSucceeds = true;
  std::unique_ptr<CDlgNews> news;
  std::mutex mutex;
  std::vector<std::string> requests;
};

TEST_F(NewsWindowTest, AddingASymbolUpdatesTheListNewestFirst) {
  MessageScript messages;
  Add(QStringLiteral("IBM"));
  EXPECT_EQ(news->windowTitle(), QStringLiteral("Recent News For IBM"));
  EXPECT_TRUE(Control<QLineEdit>(*news, 2088)->text().isEmpty());
  ASSERT_EQ(Control<QTreeWidget>(*news, 1072)->topLevelItemCount(), 3);
  EXPECT_EQ(Row(0), (QStringList{"Sat 6 Jan 2007", "IBM", "Second IBM story", "Wire One"}));
  EXPECT_EQ(Row(1)[2], QStringLiteral("Big Blue ships a mainframe"));
  EXPECT_EQ(Row(2)[0], QStringLiteral("Wed 3 Jan 2007"));  // no leading zero
  EXPECT_EQ(Control<QLabel>(*news, 1050)->text(), QStringLiteral("3 items"));
  EXPECT_TRUE(Control<QLabel>(*news, 1054)->text().startsWith(QStringLiteral("Updated: ")));
  EXPECT_TRUE(Control<QPushButton>(*news, 1053)->isVisible());
  EXPECT_FALSE(Control<QProgressBar>(*news, 1056)->isVisible());

  // Two symbols: progress between symbols, and nothing else can start meanwhile.
  std::vector<QString> percents;
  QObject::connect(Control<QProgressBar>(*news, 1056), &QProgressBar::valueChanged, news.get(), [&](int) {
    percents.push_back(Control<QLabel>(*news, 1060)->text());
    EXPECT_FALSE(Control<QPushButton>(*news, 1053)->isVisible());
    EXPECT_FALSE(Control<QPushButton>(*news, 1046)->isVisible());
    EXPECT_FALSE(Control<QPushButton>(*news, 1073)->isEnabled());
    const size_t before = RequestCount();
    news->OnUpdate();
    EXPECT_EQ(RequestCount(), before);
  });
  Add(QStringLiteral("MSFT"));
  EXPECT_EQ(news->windowTitle(), QStringLiteral("Recent News For IBM, MSFT"));
  EXPECT_FALSE(percents.empty());
  EXPECT_EQ(percents.back(), QStringLiteral("100%"));
  auto* list = Control<QTreeWidget>(*news, 1072);
  EXPECT_EQ(list->topLevelItemCount(), 7);
  EXPECT_TRUE(messages.shown.empty());
  // Every column fits the list, the source too; a headline cut short shows in full as its tool tip.
  news->resize(news->minimumSizeHint().width() + 200, news->height());
  QApplication::processEvents();
  QHeaderView* header = list->header();
  EXPECT_LE(header->sectionViewportPosition(3) + header->sectionSize(3), list->viewport()->width());
  EXPECT_GE(header->sectionSize(3), list->fontMetrics().horizontalAdvance(list->topLevelItem(0)->text(3)));
  EXPECT_EQ(list->topLevelItem(0)->toolTip(2), list->topLevelItem(0)->text(2));
}

TEST_F(NewsWindowTest, ClosingDuringAnUpdateStopsItAndClosesOnceWhenItEnds) {
  MessageScript messages;
  Add(QStringLiteral("IBM"));
  ASSERT_EQ(RequestCount(), 1u);
  bool closeNow = true;
  QObject::connect(Control<QProgressBar>(*news, 1056), &QProgressBar::valueChanged, news.get(),
                   [&](int value) {
                     if (value == 0 || !closeNow) return;
                     closeNow = false;
                     QTest::keyClick(news.get(), Qt::Key_Escape);
                     news->close();
                     EXPECT_TRUE(news->isVisible());  // the update still needs the window
                   });
  // The update of IBM and MSFT stops after IBM, the first symbol, and then the window closes.
  Add(QStringLiteral("MSFT"));
  EXPECT_FALSE(news->isVisible());
  EXPECT_EQ(RequestCount(), 2u);

  // Shown again, the window has no close pending: an update reads IBM and both pages of MSFT and it stays.
  news->show();
  news->OnUpdate();
  EXPECT_TRUE(news->isVisible());
  EXPECT_EQ(RequestCount(), 5u);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(NewsWindowTest, NoHeadlinesAndTheSelectionRules) {
  MessageScript messages;
  messages.Expect(2056);
  QTest::mouseClick(Control<QPushButton>(*news, 1073), Qt::LeftButton);
  EXPECT_EQ(RequestCount(), 0u);

  messages.Expect(2091);
  Add(QStringLiteral("ZZZZ"));
  EXPECT_EQ(Control<QLabel>(*news, 1050)->text(), QStringLiteral("0 items"));

  messages.Expect(2092);
  QTest::mouseClick(Control<QPushButton>(*news, 1076), Qt::LeftButton);
  Control<QListWidget>(*news, 1074)->item(0)->setSelected(true);
  messages.Expect(2091);
  QTest::mouseClick(Control<QPushButton>(*news, 1076), Qt::LeftButton);
  EXPECT_TRUE(news->Symbols().isEmpty());
  EXPECT_EQ(news->windowTitle(), QStringLiteral("Recent News"));
}

TEST_F(NewsWindowTest, ViewOpensTheHeadlineOrSaysWhyNot) {
  MessageScript messages;
  Add(QStringLiteral("IBM"));
  auto* list = Control<QTreeWidget>(*news, 1072);
  list->setCurrentItem(list->topLevelItem(1));
  QTest::mouseClick(Control<QPushButton>(*news, 1047), Qt::LeftButton);
  EXPECT_EQ(opened, QStringList{"http://news.test/ibm/d1"});

  openSucceeds = false;
  messages.Expect(2090);
  QTest::mouseClick(Control<QPushButton>(*news, 1047), Qt::LeftButton);
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(
      messages.texts[0],
      QStringLiteral("Vellumar was unable to display the news item\nlocated at http://news.test/ibm/d1."));
}

TEST_F(NewsWindowTest, TheOptionsDialogKeepsItsBounds) {
  MessageScript messages;
  CDlgNewsItemOptions options(10, 100);
  options.show();
  auto* days = Control<QLineEdit>(options, 2113);
  auto* items = Control<QLineEdit>(options, 2114);
  auto* ok = Control<QPushButton>(options, 1);
  auto set = [](QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
  };
  for (const char* bad : {"0", "1001", ""}) {
    set(days, QString::fromLatin1(bad));
    messages.Expect(2098);
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(options.result(), QDialog::Rejected);
    EXPECT_TRUE(days->hasSelectedText() || days->text().isEmpty());
  }
  set(days, QStringLiteral("1000"));
  set(items, QStringLiteral("5001"));
  messages.Expect(2099);
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_EQ(options.result(), QDialog::Rejected);
  set(items, QStringLiteral("5000"));
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_EQ(options.result(), QDialog::Accepted);
  EXPECT_EQ(options.Days(), 1000);
  EXPECT_EQ(options.Items(), 5000);

  // Through the news window: the preferences take the values.
  DialogScript runner([&](QDialog& dialog) {
    auto* opened = qobject_cast<CDlgNewsItemOptions*>(&dialog);
    EXPECT_EQ(Control<QLineEdit>(dialog, 2113)->text(),
              QStringLiteral("10"));  // the default of an unset limit
    Control<QLineEdit>(dialog, 2113)->setText(QStringLiteral("1"));
    opened->accept();
    return dialog.result();
  });
  QTest::mouseClick(Control<QPushButton>(*news, 1058), Qt::LeftButton);
  EXPECT_EQ(prefs.newsDuration, 1);
  EXPECT_EQ(prefs.newsItems, 100);
  // A day limit of 1 yields no headlines.
  messages.Expect(2091);
  Add(QStringLiteral("IBM"));
}

}  // namespace
