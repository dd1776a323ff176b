#pragma once

#include "service/trading_calendar.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Command line of vellumar-marketd.
struct ServiceOptions {
  int port = 8642;
  std::string bind = "127.0.0.1";
  std::vector<std::string> hostNames;  // --host: further names of this machine that requests may carry
  std::string dataDir;  // empty: the bundled data folder when portable, else the user's market-data folder
  uint64_t seed = 1;
  std::optional<SysSeconds> now;  // a fixed clock, for reproducible answers
  bool quiet = false;
  bool fetch = false;                     // fetch real prices and exit instead of serving
  std::vector<std::string> fetchSymbols;  // empty: every symbol with a history file
  int refreshMinutes = 0;                 // fetch stored symbols this often while serving; 0: never
  bool help = false;
  bool version = false;
};

// False with `error` on an unknown option or a bad value; nothing is half-applied that matters,
// since the caller exits then.
[[nodiscard]] bool ParseServiceOptions(int argc, const char* const* argv, ServiceOptions& options,
                                       std::string& error);
// "2026-12-04T15:30:00Z", "2026-12-04T15:30:00-05:00", "2026-12-04T15:30" (UTC).
[[nodiscard]] bool ParseClockText(std::string_view text, SysSeconds& at);
std::string ServiceUsage();
