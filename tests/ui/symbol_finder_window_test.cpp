// The symbol finder driven offscreen against an in-process look-up service.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTreeWidget>

#include <mutex>

#include "market_window_support.h"
#include "ui/marketdata/c_dlg_symbol_finder.h"

namespace {

class SymbolFinderWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server.Routes().Get("/lookup", [this](const httplib::Request& req, httplib::Response& res) {
      const int offset = req.has_param("b") ? std::stoi(req.get_param_value("b")) : 0;
      {
        std::lock_guard<std::mutex> lock(mutex);
        requests.push_back(req.target);
      }
      res.set_content(LookupPage(req.get_param_value("s"), total, offset), "text/html");
    });
    server.Routes().Get("/vellumar/data/index.xml",
                        [this](const httplib::Request& req, httplib::Response& res) {
                          {
                            std::lock_guard<std::mutex> lock(mutex);
                            requests.push_back(req.target);
                          }
                          res.set_content(ReadFixture("index.xml"), "text/xml");
                        });
    ASSERT_TRUE(server.Start());
    hosts = std::make_unique<ScopedServiceHosts>(server.Host());
    dialog = std::make_unique<CDlgSymbolFinder>();
    dialog->show();
  }

  size_t RequestCount() {
    std::lock_guard<std::mutex> lock(mutex);
    return requests.size();
  }
  void Search(const QString& text) {
    QLineEdit* edit = Control<QLineEdit>(*dialog, 1034);
    edit->clear();
    QTest::keyClicks(edit, text);
    QTest::mouseClick(Control<QPushButton>(*dialog, 1036), Qt::LeftButton);
  }
  QStringList Column(int column) const {
    QStringList texts;
    auto* list = Control<QTreeWidget>(*dialog, 1035);
    for (int r = 0; r < list->topLevelItemCount(); ++r) texts << list->topLevelItem(r)->text(column);
    return texts;
  }
  QString Status() const { return dialog->findChild<QStatusBar*>()->currentMessage(); }

  TestServer server;
  std::unique_ptr<ScopedServiceHosts> hosts;
  std::unique_ptr<CDlgSymbolFinder> dialog;
  std::mutex mutex;
  std::vector<std::string> requests;
  int total = 60;
};

TEST_F(SymbolFinderWindowTest, TypeRulesAndTheThreeCharacterRule) {
  MessageScript messages;
  messages.Expect(2085);
  Search(QStringLiteral(" ab "));
  EXPECT_EQ(RequestCount(), 0u);
  EXPECT_TRUE(Control<QLineEdit>(*dialog, 1034)->hasSelectedText());

  // Index: no text needed; the edit is emptied and disabled with the worldwide box; "Find All".
  QTest::mouseClick(Control<QRadioButton>(*dialog, 2121), Qt::LeftButton);
  EXPECT_EQ(dialog->SearchType(), 4);
  EXPECT_TRUE(Control<QLineEdit>(*dialog, 1034)->text().isEmpty());
  EXPECT_FALSE(Control<QLineEdit>(*dialog, 1034)->isEnabled());
  EXPECT_FALSE(Control<QCheckBox>(*dialog, 1102)->isEnabled());
  EXPECT_EQ(Control<QPushButton>(*dialog, 1036)->text(), QStringLiteral("Find All"));
  QTest::mouseClick(Control<QPushButton>(*dialog, 1036), Qt::LeftButton);
  EXPECT_EQ(requests, (std::vector<std::string>{"/vellumar/data/index.xml"}));
  EXPECT_EQ(Status(), QStringLiteral(" 4 items found"));
  EXPECT_EQ(Column(0).first(), QStringLiteral("^DJI"));
  EXPECT_EQ(Column(2).first(), QStringLiteral("United States"));

  QTest::mouseClick(Control<QRadioButton>(*dialog, 2120), Qt::LeftButton);
  EXPECT_EQ(dialog->SearchType(), 3);
  EXPECT_TRUE(Control<QLineEdit>(*dialog, 1034)->isEnabled());
  EXPECT_TRUE(Control<QCheckBox>(*dialog, 1102)->isEnabled());
  EXPECT_EQ(Control<QPushButton>(*dialog, 1036)->text(), QStringLiteral("&Find"));
}

TEST_F(SymbolFinderWindowTest, TheCommonPhraseQuestionIsCaseSensitive) {
  MessageScript messages;
  total = 0;
  Search(QStringLiteral("Bank of america"));  // no question
  ASSERT_EQ(RequestCount(), 1u);
  EXPECT_EQ(requests[0], "/lookup?m=US&t=S&s=Bank%20of%20america");
  EXPECT_EQ(Status(), QStringLiteral(" No securities matched \"Bank of america\""));
  EXPECT_EQ(Control<QTreeWidget>(*dialog, 1035)->topLevelItemCount(), 0);

  messages.Expect(2089, MessageAnswer::No);
  Search(QStringLiteral("BANK OF AMERICA"));
  EXPECT_EQ(RequestCount(), 1u);
  ASSERT_EQ(messages.shown.size(), 1u);
}

TEST_F(SymbolFinderWindowTest, ATwoPageSearchShowsItsProgressAndCannotBeStartedTwice) {
  MessageScript messages;
  auto* bar = Control<QProgressBar>(*dialog, 1056);
  std::vector<int> progress;
  std::vector<QString> percents;
  bool checkedDuringSearch = false;
  QObject::connect(bar, &QProgressBar::valueChanged, dialog.get(), [&](int value) {
    progress.push_back(value);
    percents.push_back(Control<QLabel>(*dialog, 1057)->text());
    if (value == 0 || checkedDuringSearch) return;
    checkedDuringSearch = true;
    // The searching state, and a second Find, a close and Escape that all do nothing.
    EXPECT_FALSE(Control<QPushButton>(*dialog, 1036)->isEnabled());
    EXPECT_FALSE(Control<QLineEdit>(*dialog, 1034)->isEnabled());
    EXPECT_FALSE(Control<QRadioButton>(*dialog, 2095)->isEnabled());
    EXPECT_FALSE(Control<QPushButton>(*dialog, 1033)->isVisible());
    EXPECT_FALSE(Control<QPushButton>(*dialog, 2)->isVisible());
    EXPECT_TRUE(Control<QPushButton>(*dialog, 1055)->isVisible());
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(Status(), QStringLiteral(" Searching..."));
    dialog->OnFind();
    dialog->close();
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
  });
  QTest::keyClick(Control<QCheckBox>(*dialog, 1102), Qt::Key_Space);  // by keyboard
  Search(QStringLiteral("bank"));

  EXPECT_TRUE(checkedDuringSearch);
  EXPECT_EQ(requests,
            (std::vector<std::string>{"/lookup?m=ALL&t=S&s=bank", "/lookup?m=ALL&t=S&s=bank&b=50"}));
  EXPECT_EQ(progress, (std::vector<int>{0, 83, 100}));
  EXPECT_EQ(percents.back(), QStringLiteral("100%"));
  EXPECT_EQ(Column(0).size(), 59);  // the index among them is not listed
  EXPECT_EQ(Column(1)[0], QStringLiteral("Bank 1 & Trust"));
  EXPECT_EQ(Status(), QStringLiteral(" 59 securities matched \"bank\""));
  EXPECT_TRUE(Control<QPushButton>(*dialog, 1036)->isEnabled());
  EXPECT_TRUE(Control<QPushButton>(*dialog, 1033)->isVisible());
  EXPECT_FALSE(Control<QPushButton>(*dialog, 1055)->isVisible());
  EXPECT_FALSE(bar->isVisible());
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SymbolFinderWindowTest, CancelAfterTheFirstPageKeepsItsResults) {
  MessageScript messages;
  total = 120;
  auto* bar = Control<QProgressBar>(*dialog, 1056);
  QObject::connect(bar, &QProgressBar::valueChanged, dialog.get(), [&](int value) {
    if (value > 0) QTest::mouseClick(Control<QPushButton>(*dialog, 1055), Qt::LeftButton);
  });
  Search(QStringLiteral("trust"));
  EXPECT_EQ(RequestCount(), 1u);
  EXPECT_EQ(Column(0).size(), 49);
  EXPECT_EQ(Status(), QStringLiteral(" 49 securities matched \"trust\""));
  EXPECT_FALSE(dialog->IsSearching());

  total = 1;
  Search(QStringLiteral("trust"));
  EXPECT_EQ(Status(), QStringLiteral(" 1 security matched \"trust\""));
}

TEST_F(SymbolFinderWindowTest, SelectNeedsAHighlightedResultAndDoubleClickSelects) {
  MessageScript messages;
  total = 3;
  Search(QStringLiteral("trust"));
  messages.Expect(2093);
  QTest::mouseClick(Control<QPushButton>(*dialog, 1033), Qt::LeftButton);
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  EXPECT_TRUE(dialog->isVisible());

  auto* list = Control<QTreeWidget>(*dialog, 1035);
  list->setCurrentItem(list->topLevelItem(1));
  QTest::mouseClick(Control<QPushButton>(*dialog, 1033), Qt::LeftButton);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(dialog->ChosenSymbol(), QStringLiteral("B2"));

  // Double-click (here: Enter on the row) is posted as Select.
  dialog->setResult(QDialog::Rejected);
  dialog->show();
  list->setCurrentItem(list->topLevelItem(2));
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  RunPosted();
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(dialog->ChosenSymbol(), QStringLiteral("B3"));
}

TEST_F(SymbolFinderWindowTest, BrowseOnlyHidesSelect) {
  dialog->SetMaySelect(false);
  EXPECT_FALSE(Control<QPushButton>(*dialog, 1033)->isVisible());
  dialog->SetInitialText(QStringLiteral("Acme"));
  EXPECT_EQ(Control<QLineEdit>(*dialog, 1034)->text(), QStringLiteral("Acme"));
}

}  // namespace
