#include "ui/main/connection_check.h"

#include <QNetworkInterface>

#include "marketdata/local_service.h"
#include "marketdata/service_hosts.h"

bool AllHostsLoopback(const ServiceHosts& hosts) {
  for (const ServiceHosts::HostField& field : ServiceHosts::HostFields()) {
    if (!IsLoopbackHost(hosts.*field.member)) return false;
  }
  return true;
}

bool IsInternetConnected(const ServiceHosts& hosts) {
  if (AllHostsLoopback(hosts)) return true;
  for (const QNetworkInterface& network : QNetworkInterface::allInterfaces()) {
    const auto flags = network.flags();
    if (network.type() == QNetworkInterface::Loopback || flags.testFlag(QNetworkInterface::IsLoopBack))
      continue;
    if (flags.testFlag(QNetworkInterface::IsUp) && flags.testFlag(QNetworkInterface::IsRunning)) return true;
  }
  return false;
}
