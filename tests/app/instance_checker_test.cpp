// One instance per database folder: a second one on the same folder finds the first, hands over to it and
// ends; one on another folder runs on its own.
#include "app/c_instance_checker.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstring>

namespace {
// A name of its own for every test, so that tests and parallel runs never meet.
QString UniqueName() {
  static int counter = 0;
  return QStringLiteral("VellumarTest-%1-%2").arg(QCoreApplication::applicationPid()).arg(++counter);
}
const QString kFolder = QDir::tempPath();
}  // namespace

TEST(InstanceChecker, ASecondInstanceHandsOverToTheFirst) {
  const QString name = UniqueName();
  QWidget window;
  CInstanceChecker first(name, kFolder);
  EXPECT_FALSE(first.PreviousInstanceRunning());
  ASSERT_TRUE(first.TrackFirstInstanceRunning(&window));

  // The same folder, however it is spelled, is the same instance.
  CInstanceChecker second(name, kFolder + QStringLiteral("/./"));
  EXPECT_TRUE(second.PreviousInstanceRunning());
  EXPECT_FALSE(second.TrackFirstInstanceRunning(nullptr));

  // The first instance's window was minimised; the hand-over restores it and shows it.
  window.showMinimized();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window.isMinimized(); }, 2000));
  second.ActivatePreviousInstance();
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.isVisible() && !window.isMinimized(); }, 5000));

  // Another name is another application; another folder (a portable copy elsewhere) another instance.
  EXPECT_FALSE(CInstanceChecker(UniqueName(), kFolder).PreviousInstanceRunning());
  CInstanceChecker elsewhere(name, QDir::homePath());
  EXPECT_FALSE(elsewhere.PreviousInstanceRunning());
  QWidget otherWindow;
  EXPECT_TRUE(elsewhere.TrackFirstInstanceRunning(&otherWindow));
}

TEST(InstanceChecker, TheHandOverBringsAnOpenDialogForwardNotTheWindowItBlocks) {
  const QString name = UniqueName();
  QWidget window;
  window.show();
  CInstanceChecker first(name, kFolder);
  ASSERT_TRUE(first.TrackFirstInstanceRunning(&window));
  QDialog dialog(&window);
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.show();
  QWidget other;  // another program's window had the focus meanwhile
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &other; }, 2000));

  CInstanceChecker(name, kFolder).ActivatePreviousInstance();
  // The dialog waits for an answer: it must come up above its window, with the keyboard.
  EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &dialog; }, 5000))
      << "active: "
      << (QApplication::activeWindow() ? QApplication::activeWindow()->metaObject()->className() : "none");
}

TEST(InstanceChecker, ASocketLeftByACrashedInstanceDoesNotCount) {
  const QString name = UniqueName();
  CInstanceChecker first(name, kFolder);
  // The socket file of an instance that died: bound, never listened on, never removed.
  const QByteArray path = QDir(QDir::tempPath()).filePath(first.ServerName()).toLocal8Bit();
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(static_cast<size_t>(path.size()), sizeof address.sun_path);
  std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ::close(fd);

  EXPECT_FALSE(first.PreviousInstanceRunning());
  QWidget window;
  EXPECT_TRUE(first.TrackFirstInstanceRunning(&window));
  EXPECT_TRUE(CInstanceChecker(name, kFolder).PreviousInstanceRunning());
}
