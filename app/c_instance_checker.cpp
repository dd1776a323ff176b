#include "app/c_instance_checker.h"

#include <unistd.h>

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

namespace {
constexpr int kAnswerWaitMs = 500;
const QByteArray kActivate = "activate\n";

// The same folder however it was spelled (a trailing slash, "..", a link); short enough for a socket path.
QString FolderKey(const QString& folder) {
  const QString canonical = QDir(folder).canonicalPath();
  const QByteArray path =
      (canonical.isEmpty() ? QDir::cleanPath(QDir(folder).absolutePath()) : canonical).toUtf8();
  return QString::fromLatin1(QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex().left(16));
}

}  // namespace

CInstanceChecker::CInstanceChecker(const QString& name, const QString& folder, QObject* parent)
    : QObject(parent),
      serverName(name + QStringLiteral("-") + QString::number(::getuid()) + QStringLiteral("-") +
                 FolderKey(folder)) {}

CInstanceChecker::~CInstanceChecker() = default;

bool CInstanceChecker::PreviousInstanceRunning() {
  QLocalSocket probe;
  probe.connectToServer(serverName);
  return probe.waitForConnected(kAnswerWaitMs);
}

void CInstanceChecker::ActivatePreviousInstance() {
  QLocalSocket socket;
  socket.connectToServer(serverName);
  if (!socket.waitForConnected(kAnswerWaitMs)) return;
  socket.write(kActivate);
  socket.waitForBytesWritten(kAnswerWaitMs);
  socket.disconnectFromServer();
}

bool CInstanceChecker::TrackFirstInstanceRunning(QWidget* window) {
  if (PreviousInstanceRunning()) return false;
  mainWindow = window;
  server = new QLocalServer(this);
  // A socket file left by an instance that crashed would block the name; nobody answers on it.
  QLocalServer::removeServer(serverName);
  if (!server->listen(serverName)) return true;  // runs alone all the same, just cannot be found
  connect(server, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* peer = server->nextPendingConnection()) {
      connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
        if (peer->readAll().startsWith(kActivate.trimmed())) BringToFront();
      });
      connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
    }
  });
  return true;
}

void CInstanceChecker::BringToFront() {
  if (!mainWindow) return;
  if (mainWindow->isMinimized()) mainWindow->showNormal();
  mainWindow->show();
  mainWindow->raise();
  mainWindow->activateWindow();
  // A dialog waiting for an answer blocks the window: it comes up above it and takes the keyboard, or the
  // user would see a window that ignores every click.
  if (QWidget* modal = QApplication::activeModalWidget()) {
    modal->raise();
    modal->activateWindow();
  }
}
