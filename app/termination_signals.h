#pragma once
#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal, so that a log-out, a Ctrl+C in the terminal or a plain
// `kill` ends the application as its Exit command does: settings written, the bundled service stopped.
// The handler only writes one byte into a socket pair; everything else runs in the event loop.
// One instance at a time; the default handlers come back when it is destroyed.
class CTerminationSignals : public QObject {
  Q_OBJECT

 public:
  explicit CTerminationSignals(QObject* parent = nullptr);
  ~CTerminationSignals() override;
  CTerminationSignals(const CTerminationSignals&) = delete;
  CTerminationSignals& operator=(const CTerminationSignals&) = delete;

  // True once a signal arrived, also before the event loop ran to deliver Terminate().
  bool Received() const;

 signals:
  void Terminate();

 private:
  void OnReadable();

  QSocketNotifier* notifier = nullptr;
};
