#pragma once
#include <QObject>
#include <QPointer>
#include <QString>

class QLocalServer;
class QWidget;

// Lets one instance of the application run per user: the first listens on a local socket named after the
// application; a later one asks it to come to the front and ends.
class CInstanceChecker : public QObject {
  Q_OBJECT

 public:
  explicit CInstanceChecker(const QString& name, QObject* parent = nullptr);
  ~CInstanceChecker() override;

  // True when another instance answers on the socket.
  bool PreviousInstanceRunning();
  // Asks the running instance to show its main window (restoring it when minimised).
  void ActivatePreviousInstance();
  // Starts listening for later instances, which bring `window` to the front. False when another runs.
  [[nodiscard]] bool TrackFirstInstanceRunning(QWidget* window);

 private:
  void BringToFront();

  QString serverName;
  QLocalServer* server = nullptr;
  QPointer<QWidget> mainWindow;
};
