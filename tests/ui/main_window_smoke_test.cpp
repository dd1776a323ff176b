#include <QApplication>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include "ui/main/c_dlg_vellumar.h"

namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "vl_ui_tests";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication app(argc, argv);
  return app;
}

}  // namespace

TEST(MainWindowSmoke, ShowsWithItsTitle) {
  App();
  CDlgVellumar window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Vellumar!"));
  EXPECT_TRUE(window.isVisible());
  window.close();
  EXPECT_FALSE(window.isVisible());
}
