#include "service/request_log.h"

#include <cstdio>

std::string EscapeForLog(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '\\') {
      out += "\\\\";
    } else if (byte < 0x20 || byte >= 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out;
}

std::string RequestLogLine(std::string_view address, std::string_view method, std::string_view target,
                           int status, size_t bytes, double milliseconds) {
  constexpr size_t kShownTarget = 160;
  std::string shown = EscapeForLog(target.substr(0, kShownTarget));
  if (target.size() > kShownTarget) shown += "...";
  char tail[96];
  std::snprintf(tail, sizeof tail, " -> %d, %zu bytes, %.1f ms", status, bytes, milliseconds);
  return EscapeForLog(address) + " " + EscapeForLog(method) + " " + shown + tail;
}
