#pragma once
#include <QObject>
#include <QString>

#include "marketdata/local_service.h"

struct ServiceHosts;

// Starts the bundled market-data service beside the application when the settings point at this machine
// and nothing answers there yet, and stops it when the application ends (see marketdata/local_service.h,
// which the command-line tool uses as well).
class LocalServiceLauncher : public QObject {
  Q_OBJECT

 public:
  explicit LocalServiceLauncher(QObject* parent = nullptr);
  ~LocalServiceLauncher() override;

  // True when the service answers afterwards (already running, or started now).
  [[nodiscard]] bool EnsureRunning(const ServiceHosts& hosts, const QString& programFolder);
  void Stop();
  // True while a service this launcher started runs.
  bool IsOurs() const { return service.Pid() > 0; }

  // Whether `host` ("name[:port]") names this machine.
  static bool IsLoopbackHost(const QString& host);

 private:
  LocalService service;
};
