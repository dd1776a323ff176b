#include "app/local_service_launcher.h"

#include <signal.h>
#include <sys/prctl.h>

#include <QFileInfo>
#include <QTcpSocket>
#include <QThread>

#include "marketdata/service_hosts.h"

namespace {

constexpr int kProbeMs = 300;
constexpr int kStartWaitMs = 5000;

// "localhost:8642" -> ("localhost", 8642); the port defaults to 80.
void SplitHost(const QString& host, QString& name, quint16& port) {
  const qsizetype colon = host.lastIndexOf(':');
  name = colon < 0 ? host : host.left(colon);
  bool ok = false;
  const uint value = colon < 0 ? 80 : host.mid(colon + 1).toUInt(&ok);
  port = static_cast<quint16>(colon < 0 || ok ? value : 80);
}

bool Answers(const QString& name, quint16 port) {
  QTcpSocket socket;
  socket.connectToHost(name == QStringLiteral("localhost") ? QStringLiteral("127.0.0.1") : name, port);
  return socket.waitForConnected(kProbeMs);
}

}  // namespace

LocalServiceLauncher::LocalServiceLauncher(QObject* parent) : QObject(parent) {}

LocalServiceLauncher::~LocalServiceLauncher() { Stop(); }

bool LocalServiceLauncher::IsLoopbackHost(const QString& host) {
  QString name;
  quint16 port = 0;
  SplitHost(host, name, port);
  name = name.toLower();
  return name == QStringLiteral("localhost") || name.endsWith(QStringLiteral(".localhost")) ||
         name.startsWith(QStringLiteral("127.")) || name == QStringLiteral("[::1]");
}

bool LocalServiceLauncher::EnsureRunning(const ServiceHosts& hosts, const QString& programFolder) {
  const QString host = QString::fromStdString(hosts.quoteCsvHost);
  if (!hosts.startLocalService || !IsLoopbackHost(host)) return false;
  QString name;
  quint16 port = 0;
  SplitHost(host, name, port);
  if (Answers(name, port)) return true;

  const QString program = programFolder + QStringLiteral("vellumar-marketd");
  if (!QFileInfo(program).isExecutable()) return false;
  process.setProgram(program);
  process.setArguments({QStringLiteral("--port"), QString::number(port), QStringLiteral("--quiet")});
  process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  // The service ends with the application even when the application is killed.
  process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
  process.start();
  if (!process.waitForStarted(kStartWaitMs)) return false;
  for (int waited = 0; waited < kStartWaitMs; waited += 100) {
    if (Answers(name, port)) return true;
    if (process.state() != QProcess::Running) return false;
    QThread::msleep(100);
  }
  return false;
}

void LocalServiceLauncher::Stop() {
  if (process.state() == QProcess::NotRunning) return;
  process.terminate();
  if (!process.waitForFinished(2000)) {
    process.kill();
    process.waitForFinished(1000);
  }
}
