#pragma once
#include <string>

#include "marketdata/local_service.h"  // IsLoopbackHost

struct ServiceHosts;

// Every configured market-data host is this machine (the bundled service answers without a network).
bool AllHostsLoopback(const ServiceHosts& hosts);
// Whether market data can be reached: a network interface other than loopback is up and running, or
// every host is a loopback name.
bool IsInternetConnected(const ServiceHosts& hosts);
