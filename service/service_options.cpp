#include "service/service_options.h"

#include "service/text_format.h"

#include <charconv>
#include <cstdio>

static bool ReadUnsigned(std::string_view text, uint64_t high, uint64_t& value) {
  uint64_t v = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || ec != std::errc() || ptr != text.data() + text.size() || v > high) return false;
  value = v;
  return true;
}

bool ParseClockText(std::string_view text, SysSeconds& at) {
  if (text.size() < 16 || text.size() > 25) return false;
  const std::string s(text);
  int y, mo, d, h, mi, sec = 0, consumed = 0;
  if (std::sscanf(s.c_str(), "%4d-%2d-%2dT%2d:%2d%n", &y, &mo, &d, &h, &mi, &consumed) != 5 || consumed != 16)
    return false;
  size_t pos = 16;
  if (pos < s.size() && s[pos] == ':') {
    int n = 0;
    if (std::sscanf(s.c_str() + pos, ":%2d%n", &sec, &n) != 1 || n != 3) return false;
    pos += 3;
  }
  int offsetMinutes = 0;
  if (pos < s.size()) {
    if (s[pos] == 'Z' && pos + 1 == s.size()) {
      pos = s.size();
    } else if (s[pos] == '+' || s[pos] == '-') {
      int oh = 0, om = 0, n = 0;
      if (std::sscanf(s.c_str() + pos + 1, "%2d:%2d%n", &oh, &om, &n) != 2 || pos + 1 + n != s.size() ||
          oh > 18 || om > 59)
        return false;
      offsetMinutes = (oh * 60 + om) * (s[pos] == '-' ? -1 : 1);
    } else {
      return false;
    }
  }
  int day = 0;
  if (h > 23 || mi > 59 || sec > 59 || !MakeDay(y, mo, d, day)) return false;
  at = SysSeconds{std::chrono::seconds{int64_t{day} * 86400 + h * 3600 + mi * 60 + sec - offsetMinutes * 60}};
  return true;
}

bool ParseServiceOptions(int argc, const char* const* argv, ServiceOptions& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    auto value = [&](std::string_view& out) {
      if (i + 1 >= argc) {
        error = std::string(arg) + " needs a value";
        return false;
      }
      out = argv[++i];
      return true;
    };
    std::string_view v;
    uint64_t number = 0;
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--quiet" || arg == "-q") {
      options.quiet = true;
    } else if (arg == "--port") {
      if (!value(v)) return false;
      if (!ReadUnsigned(v, 65535, number)) {
        error = "--port needs a number from 0 to 65535";
        return false;
      }
      options.port = static_cast<int>(number);
    } else if (arg == "--fetch") {
      options.fetch = true;
      while (i + 1 < argc && argv[i + 1][0] != '-') options.fetchSymbols.emplace_back(argv[++i]);
    } else if (arg == "--refresh") {
      if (!value(v)) return false;
      if (!ReadUnsigned(v, 7 * 24 * 60, number)) {
        error = "--refresh needs minutes from 0 (off) to 10080";
        return false;
      }
      options.refreshMinutes = static_cast<int>(number);
    } else if (arg == "--bind") {
      if (!value(v)) return false;
      options.bind = std::string(v);
    } else if (arg == "--host") {
      if (!value(v)) return false;
      options.hostNames.emplace_back(v);
    } else if (arg == "--data") {
      if (!value(v)) return false;
      options.dataDir = std::string(v);
    } else if (arg == "--seed") {
      if (!value(v)) return false;
      if (!ReadUnsigned(v, UINT64_MAX, number)) {
        error = "--seed needs a whole number";
        return false;
      }
      options.seed = number;
    } else if (arg == "--now") {
      if (!value(v)) return false;
      SysSeconds at;
      if (!ParseClockText(v, at)) {
        error = "--now needs a time like 2026-12-04T15:30:00Z or 2026-12-04T15:30:00-05:00";
        return false;
      }
      options.now = at;
    } else {
      error = "unknown option " + std::string(arg);
      return false;
    }
  }
  return true;
}

std::string ServiceUsage() {
  return "usage: vellumar-marketd [--port 8642] [--bind 127.0.0.1] [--host NAME] [--data DIR] [--seed N]\n"
         "                        [--now 2026-12-04T15:30:00-05:00] [--quiet] [--refresh MINUTES]\n"
         "       vellumar-marketd [--data DIR] --fetch [SYMBOL...]\n"
         "       vellumar-marketd --version\n"
         "  --port N     TCP port (0 picks a free one; the chosen port is printed)\n"
         "  --bind ADDR  address to listen on (loopback unless you mean otherwise)\n"
         "  --host NAME  a further name clients use for this machine (repeatable); requests naming any\n"
         "               other host than localhost, loopback, the address bound or the machine's name get "
         "421\n"
         "  --data DIR   folder with your securities.csv, events.csv (splits, symbol changes),\n"
         "               history/SYMBOL.csv, dividends/SYMBOL.csv and rates/EUR.csv; default: data beside "
         "the\n"
         "               program when its folder is writable, else $XDG_DATA_HOME/vellumar/marketdata\n"
         "               (~/.local/share/vellumar/marketdata, made when missing)\n"
         "  --seed N     seed of the simulated market (default 1)\n"
         "  --now TIME   fixed clock instead of the system clock\n"
         "  --quiet      no line per request\n"
         "  --refresh N  fetch real prices of the stored symbols every N minutes (0: off, the default)\n"
         "  --fetch      fetch real prices of the symbols (default: those with a history file, and the\n"
         "               exchange rates when fetched before) and exit; a currency pair such as EURUSD=X\n"
         "               fetches the reference rates of every currency; the sources are set in\n"
         "               DIR/sources.ini\n";
}
