#include "app/local_service_launcher.h"

#include "marketdata/service_hosts.h"

LocalServiceLauncher::LocalServiceLauncher(QObject* parent) : QObject(parent) {}

LocalServiceLauncher::~LocalServiceLauncher() {
  Stop();
}

bool LocalServiceLauncher::IsLoopbackHost(const QString& host) {
  return ::IsLoopbackHost(host.toStdString());
}

bool LocalServiceLauncher::EnsureRunning(const ServiceHosts& hosts, const QString& programFolder) {
  return ServiceAnswers(service.EnsureRunning(hosts, programFolder.toStdString()));
}

void LocalServiceLauncher::Stop() {
  service.Stop();
}
