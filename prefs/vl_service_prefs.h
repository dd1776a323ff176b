#pragma once
#include "marketdata/service_hosts.h"
#include "prefs/prefs.h"

// The "Services" section: where market data comes from and how it is fetched. Written back with every
// value at exit so the user can see and edit them. Unlike "General", saving rewrites only its own keys in
// place and keeps whatever else the user put into the section.
class VLServicePrefs : public Prefs {
 public:
  VLServicePrefs();

  // Defaults, then every key; an empty host, a negative time-out or a port outside 1 to 65535 keeps the
  // default of that setting.
  void Load() override;
  // Writes every key in one file write; false when the file could not be read or written.
  [[nodiscard]] bool Save() override;
  void SetDefaults() override { hosts = ServiceHosts(); }

  ServiceHosts hosts;
};
