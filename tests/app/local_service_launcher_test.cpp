// The bundled service is started only for this machine when nothing answers there and the settings allow
// it, and it ends with the launcher.
#include "app/local_service_launcher.h"

#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "marketdata/service_hosts.h"

namespace {
bool Answers(quint16 port) {
  QTcpSocket socket;
  socket.connectToHost(QStringLiteral("127.0.0.1"), port);
  return socket.waitForConnected(1000);
}

// A port that nothing listens on right now.
quint16 FreePort() {
  QTcpServer probe;
  if (!probe.listen(QHostAddress::LocalHost, 0)) return 0;
  return probe.serverPort();
}

ServiceHosts LocalHosts(quint16 port) {
  ServiceHosts hosts;
  hosts.SetAllHosts("localhost:" + std::to_string(port));
  return hosts;
}

// A folder whose "vellumar-marketd" only leaves a mark that it was started.
class MarkingProgram {
 public:
  MarkingProgram() {
    QFile program(folder.filePath(QStringLiteral("vellumar-marketd")));
    program.open(QIODevice::WriteOnly);
    program.write("#!/bin/sh\ntouch \"$(dirname \"$0\")/started\"\n");
    program.close();
    program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  QString Folder() const { return folder.path() + QStringLiteral("/"); }
  // Gives a wrongly started program a moment to leave its mark.
  bool Started() const {
    return QTest::qWaitFor([this] { return QFile::exists(folder.filePath(QStringLiteral("started"))); },
                           1000);
  }

 private:
  QTemporaryDir folder;
};
}  // namespace

TEST(LocalServiceLauncher, OnlyThisMachineIsLocal) {
  for (const char* host :
       {"localhost:8642", "LOCALHOST", "quotes.localhost:80", "127.0.0.1:8642", "127.1.2.3", "[::1]:8642"}) {
    EXPECT_TRUE(LocalServiceLauncher::IsLoopbackHost(QString::fromLatin1(host))) << host;
  }
  for (const char* host :
       {"quotes.example.com:8642", "localhost.example.com", "10.0.0.1:8642", "my-localhost", "128.0.0.1"}) {
    EXPECT_FALSE(LocalServiceLauncher::IsLoopbackHost(QString::fromLatin1(host))) << host;
  }
}

TEST(LocalServiceLauncher, StartsTheServiceWhenNothingAnswersAndStopsItAtTheEnd) {
  const quint16 port = FreePort();
  ASSERT_NE(port, 0);
  const QString programs = QStringLiteral(VL_BINARY_DIR "/bin/");
  {
    LocalServiceLauncher launcher;
    ASSERT_TRUE(launcher.EnsureRunning(LocalHosts(port), programs));
    EXPECT_TRUE(Answers(port));
    launcher.Stop();
    EXPECT_FALSE(Answers(port));
    ASSERT_TRUE(launcher.EnsureRunning(LocalHosts(port), programs));
  }
  // The launcher's end is the application's exit: the service goes with it.
  EXPECT_FALSE(Answers(port));
}

TEST(LocalServiceLauncher, NotStartedWhenSomethingAnswersTheHostIsRemoteOrTheSettingsSayNo) {
  QTcpServer running;
  ASSERT_TRUE(running.listen(QHostAddress::LocalHost, 0));
  MarkingProgram program;
  LocalServiceLauncher launcher;
  EXPECT_TRUE(launcher.EnsureRunning(LocalHosts(running.serverPort()), program.Folder()));

  ServiceHosts remote;
  remote.SetAllHosts("quotes.example.com:8642");
  EXPECT_FALSE(launcher.EnsureRunning(remote, program.Folder()));

  ServiceHosts refused = LocalHosts(FreePort());
  refused.startLocalService = false;
  EXPECT_FALSE(launcher.EnsureRunning(refused, program.Folder()));
  EXPECT_FALSE(program.Started());
}

TEST(LocalServiceLauncher, AMissingProgramIsNoService) {
  QTemporaryDir empty;
  LocalServiceLauncher launcher;
  EXPECT_FALSE(launcher.EnsureRunning(LocalHosts(FreePort()), empty.path() + QStringLiteral("/")));
}
