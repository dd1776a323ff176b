#include "service/upstream_http.h"

#include <curl/curl.h>

#include <memory>

namespace {

struct Transfer {
  std::string body;
  size_t maxBytes = 0;
  bool tooLong = false;
};

size_t Receive(char* data, size_t size, size_t count, void* context) {
  auto* transfer = static_cast<Transfer*>(context);
  const size_t n = size * count;
  if (transfer->body.size() + n > transfer->maxBytes) {
    transfer->tooLong = true;
    return 0;  // ends the transfer with a write error
  }
  transfer->body.append(data, n);
  return n;
}

struct CurlDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

}  // namespace

void UpstreamHttpInit() {
  curl_global_init(CURL_GLOBAL_DEFAULT);
}

UpstreamReply UpstreamGet(const std::string& url, const UpstreamLimits& limits) {
  UpstreamReply reply;
  std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
  if (!curl) {
    reply.error = "cannot start a transfer";
    return reply;
  }
  Transfer transfer;
  transfer.maxBytes = limits.maxBytes;
  CURL* c = curl.get();
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(c, CURLOPT_MAXREDIRS, 3L);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_TIMEOUT, static_cast<long>(limits.timeoutSeconds));
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, static_cast<long>(limits.timeoutSeconds));
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, static_cast<long>(limits.lowSpeedBytes));
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits.lowSpeedSeconds));
  curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
  curl_easy_setopt(c, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(c, CURLOPT_USERAGENT, "vellumar-marketd");
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, Receive);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
  const CURLcode result = curl_easy_perform(c);
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &reply.status);
  if (transfer.tooLong || result == CURLE_FILESIZE_EXCEEDED) {
    reply.error = "the answer is longer than " + std::to_string(limits.maxBytes / 1024) + " KB";
    return reply;
  }
  if (result != CURLE_OK) {
    reply.error = curl_easy_strerror(result);
    return reply;
  }
  if (reply.status != 200) {
    reply.error = "HTTP status " + std::to_string(reply.status);
    return reply;
  }
  reply.ok = true;
  reply.body = std::move(transfer.body);
  return reply;
}
