#pragma once
#include <QObject>
#include <QPointer>
#include <QString>

class QLocalServer;
class QWidget;

// Lets one instance of the application run per database folder: the first listens on a local socket named
// after the application, the user and the folder; a later one on the same folder asks it to come to the
// front and ends. A copy of the program that keeps its database elsewhere (a portable copy) runs on its own.
class CInstanceChecker : public QObject {
  Q_OBJECT

 public:
  // `folder` is the folder of the database the instance works on.
  CInstanceChecker(const QString& name, const QString& folder, QObject* parent = nullptr);
  ~CInstanceChecker() override;

  // True when another instance answers on the socket.
  bool PreviousInstanceRunning();
  // Asks the running instance to show its main window (restoring it when minimised).
  void ActivatePreviousInstance();
  // Starts listening for later instances, which bring `window` to the front. False when another runs.
  [[nodiscard]] bool TrackFirstInstanceRunning(QWidget* window);
  // The local socket's name.
  const QString& ServerName() const { return serverName; }

 private:
  void BringToFront();

  QString serverName;
  QLocalServer* server = nullptr;
  QPointer<QWidget> mainWindow;
};
