#pragma once

#include <string>

// The outcome of one bounded GET of a source's download.
struct UpstreamReply {
  bool ok = false;  // an answer with status 200 came back whole within the limits
  long status = 0;
  std::string body;
  std::string error;  // why not, when !ok: the transfer's fault or the status
};

struct UpstreamLimits {
  int timeoutSeconds = 20;  // whole request, connection included
  int lowSpeedBytes = 100;
  int lowSpeedSeconds = 10;
  size_t maxBytes = 16u << 20;
};

// Fetches `url` over http or https only, following at most three redirects; never waits longer than
// the total deadline. Thread-safe; call UpstreamHttpInit once before any thread starts.
UpstreamReply UpstreamGet(const std::string& url, const UpstreamLimits& limits);
void UpstreamHttpInit();
