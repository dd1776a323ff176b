#include "ui/main/summary_panel.h"

#include <QAccessible>
#include <QImage>
#include <QLabel>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>

#include "summary_sample_database.h"
#include "ui/widgets/html_text_ctrl.h"

namespace {

class SummaryPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sample.ok);
    panel.resize(900, 80);
    panel.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
  }

  bool Update(bool forSelectedOnly, const std::vector<uint32_t>& ids, uint32_t portfolioId, bool held) {
    return panel.Update(*sample.db, sample.conn, forSelectedOnly, ids, portfolioId, held);
  }

  HtmlTextCtrl* Html() { return panel.findChild<HtmlTextCtrl*>(QStringLiteral("2138")); }
  QLabel* Message() { return panel.findChild<QLabel*>(QStringLiteral("2134")); }
  QToolButton* Button() { return panel.findChild<QToolButton*>(QStringLiteral("2087")); }

  // How many pixels of the drawn figures match `test`.
  int CountPixels(const std::function<bool(QColor)>& test) {
    const QImage image = Html()->grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) count += test(image.pixelColor(x, y)) ? 1 : 0;
    }
    return count;
  }

  SummarySampleDatabase sample;
  SummaryPanel panel;
};

bool IsRed(QColor c) {
  return c.red() > 200 && c.green() < 70 && c.blue() < 70;
}
bool IsDarkGreen(QColor c) {
  return c.red() < 60 && c.green() > 70 && c.green() < 130 && c.blue() < 60;
}
bool IsDark(QColor c) {
  return c.red() < 60 && c.green() < 60 && c.blue() < 60;
}

}  // namespace

TEST_F(SummaryPanelTest, ControlsCarryTheirIdsAndNames) {
  ASSERT_NE(Html(), nullptr);
  ASSERT_NE(Message(), nullptr);
  ASSERT_NE(Button(), nullptr);
  EXPECT_EQ(panel.GetHtmlCtrl(), Html());
  EXPECT_EQ(Html()->GetMarkup(), QStringLiteral("Portfolio summary"));
  EXPECT_EQ(Html()->accessibleName(), QStringLiteral("Portfolio summary"));
  EXPECT_EQ(Message()->text(),
            QStringLiteral("To display the portfolio summary, select one or more positions or uncheck the "
                           "\"For selected items only\" box."));
  EXPECT_FALSE(panel.accessibleName().isEmpty());
  EXPECT_FALSE(Message()->accessibleName().isEmpty());
  EXPECT_FALSE(Button()->accessibleName().isEmpty());
  EXPECT_TRUE(Button()->autoRaise());
}

TEST_F(SummaryPanelTest, HeldViewShowsEveryFigureInItsColour) {
  ASSERT_TRUE(Update(false, {}, sample.portfolioId, true));
  EXPECT_TRUE(Html()->isVisible());
  EXPECT_FALSE(Message()->isVisible());
  EXPECT_FALSE(Button()->isVisible());
  // AAA 100 x 12.00 (half of it marginable) + cash 500.00 = 1,700.00 against 1,500.00 paid; 300.00 owed.
  EXPECT_EQ(Html()->GetPlainText(),
            QStringLiteral("Current Value: 1,700.00 Equity: 1,400.00(82.35%) Marginable Equity: 600.00\n"
                           "Change: -50.00 (-2.94%) Margin Owed: 300.00\n"
                           "Gain: 200.00 (13.33%) Margin Available: 300.00"));
  // A screen reader finds static text that reads every figure.
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(Html());
  ASSERT_NE(accessible, nullptr);
  EXPECT_EQ(accessible->role(), QAccessible::StaticText);
  EXPECT_EQ(accessible->text(QAccessible::Name),
            QStringLiteral("Current Value: 1,700.00 Equity: 1,400.00(82.35%) Marginable Equity: 600.00; "
                           "Change: -50.00 (-2.94%) Margin Owed: 300.00; "
                           "Gain: 200.00 (13.33%) Margin Available: 300.00"));
  const QString markup = Html()->GetMarkup();
  EXPECT_TRUE(markup.contains(QStringLiteral("bgcolor=whitesmoke")));
  EXPECT_TRUE(markup.contains(QStringLiteral("color=red>-50.00  (-2.94%)</font>")));
  EXPECT_TRUE(markup.contains(QStringLiteral("color=red>300.00</font>")));
  EXPECT_TRUE(markup.contains(QStringLiteral("color=black>200.00  (13.33%)</font>")));
  EXPECT_TRUE(markup.contains(QStringLiteral("color=darkgreen>300.00</font>")));
  // Drawn: dark labels and figures, red and dark green figures, the band in white smoke.
  EXPECT_GT(CountPixels(IsDark), 200);
  EXPECT_GT(CountPixels(IsRed), 10);
  EXPECT_GT(CountPixels(IsDarkGreen), 10);
  EXPECT_EQ(Html()->grab().toImage().pixelColor(Html()->width() - 2, 1), QColor(245, 245, 245));
}

TEST_F(SummaryPanelTest, SoldViewShowsProceedsAndBothGains) {
  ASSERT_TRUE(Update(false, {}, sample.portfolioId, false));
  // BBB: 10 sold at 25.00 less 10.00 = 240.00 against 200.00 paid; now worth 10 x 30.00.
  EXPECT_EQ(Html()->GetPlainText(),
            QStringLiteral("Net Proceeds: 240.00\nGain: 40.00 (20.00%)\nPost-Sale Gain: 60.00"));
  EXPECT_TRUE(Html()->GetMarkup().contains(QStringLiteral("color=darkgreen>40.00  (20.00%)</font>")));
  EXPECT_TRUE(Html()->GetMarkup().contains(QStringLiteral("color=red>60.00</font>")));
  EXPECT_GT(CountPixels(IsDarkGreen), 10);
  EXPECT_GT(CountPixels(IsRed), 10);
  EXPECT_EQ(Html()->grab().toImage().pixelColor(Html()->width() - 2, 1), QColor(240, 255, 240));
}

TEST_F(SummaryPanelTest, SelectedOnlyShowsTheMessageUntilSomethingIsSelected) {
  QSignalSpy clicked(&panel, &SummaryPanel::MessageButtonClicked);
  ASSERT_TRUE(Update(true, {}, sample.portfolioId, true));
  EXPECT_FALSE(Html()->isVisible());
  EXPECT_TRUE(Message()->isVisible());
  EXPECT_TRUE(Button()->isVisible());
  QTest::mouseClick(Button(), Qt::LeftButton);
  EXPECT_EQ(clicked.count(), 1);
  Button()->setFocus();
  QTest::keyClick(Button(), Qt::Key_Space);
  EXPECT_EQ(clicked.count(), 2);

  ASSERT_TRUE(Update(true, {sample.cashId, sample.marginId}, sample.portfolioId, true));
  EXPECT_TRUE(Html()->isVisible());
  EXPECT_FALSE(Message()->isVisible());
  EXPECT_FALSE(Button()->isVisible());
  EXPECT_TRUE(Html()->GetPlainText().startsWith(
      QStringLiteral("Current Value: 500.00 Equity: 200.00(40.00%) Marginable Equity: 0.00\n"
                     "Change: 0.00 (0.00%) Margin Owed: 300.00\n")));
}

TEST_F(SummaryPanelTest, NoPortfolioHidesAllAndAFailureKeepsTheText) {
  ASSERT_TRUE(Update(false, {}, sample.portfolioId, false));
  const QString sold = Html()->GetMarkup();
  EXPECT_FALSE(Update(false, {}, sample.portfolioId + 100, true));
  EXPECT_EQ(Html()->GetMarkup(), sold);
  EXPECT_TRUE(Html()->isVisible());

  ASSERT_TRUE(Update(true, {}, 0, true));
  EXPECT_FALSE(Html()->isVisible());
  EXPECT_FALSE(Message()->isVisible());
  EXPECT_FALSE(Button()->isVisible());
}

TEST_F(SummaryPanelTest, TheFiguresGetAllTheRoomTheyAsk) {
  ASSERT_TRUE(Update(false, {}, sample.portfolioId, true));
  const QSize wanted = Html()->sizeHint();
  // Three rows of 13-pixel text, every label and figure side by side.
  EXPECT_GE(wanted.height(), 3 * 13);
  EXPECT_GT(wanted.width(), 400);
  panel.resize(panel.minimumSizeHint());
  QTest::qWait(0);
  EXPECT_GE(Html()->width(), wanted.width());
  EXPECT_GE(Html()->height(), wanted.height());
  // The panel keeps its height when only the message shows, so the lists below stay put, and a fresh panel
  // is as tall already.
  const int height = panel.sizeHint().height();
  ASSERT_TRUE(Update(true, {}, sample.portfolioId, true));
  EXPECT_EQ(panel.sizeHint().height(), height);
  EXPECT_EQ(SummaryPanel().sizeHint().height(), height);
}
