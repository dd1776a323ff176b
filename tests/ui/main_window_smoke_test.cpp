#include <QtTest/QTest>

#include <gtest/gtest.h>

#include "ui/main/c_dlg_vellumar.h"

TEST(MainWindowSmoke, ShowsWithItsTitle) {
  CDlgVellumar window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Vellumar!"));
  EXPECT_TRUE(window.isVisible());
  window.close();
  EXPECT_FALSE(window.isVisible());
}
