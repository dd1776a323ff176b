#pragma once
#include <string>

struct ServiceHosts;

// "name[:port]" names this machine: "localhost", a name ending in ".localhost", 127.x.x.x or ::1.
bool IsLoopbackHost(const std::string& host);
// Every configured market-data host is this machine (the bundled service answers without a network).
bool AllHostsLoopback(const ServiceHosts& hosts);
// Whether market data can be reached: a network interface other than loopback is up and running, or
// every host is a loopback name.
bool IsInternetConnected(const ServiceHosts& hosts);
