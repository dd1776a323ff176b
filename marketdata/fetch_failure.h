#pragma once
#include <string>

// Why a request failed, kept beside a provider's own error text (which stays as it is): the host asked,
// and the transport error or the HTTP status it answered with.
struct FetchFailure {
  std::string host;       // "name[:port]" of the request
  std::string cause;      // the transport error, or "HTTP status N"
  bool noAnswer = false;  // no usable answer came back: refused, timed out, broken off, too large

  bool IsSet() const { return !cause.empty(); }
  // "host: cause", or "" when nothing failed in the transfer (a page that parsed badly, say).
  std::string Describe() const;
  // The host is this machine and it did not answer: the local market-data service is not running.
  bool IsLocalServiceDown() const;
};

// "localhost", a sub-domain of it, 127.x.x.x or ::1, with or without a port.
bool IsLocalHost(const std::string& hostAndPort);
