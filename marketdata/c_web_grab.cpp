#include "marketdata/c_web_grab.h"

#include <curl/curl.h>
#include <sys/socket.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>

#include "marketdata/message_pump.h"
#include "marketdata/url_encode.h"

using SteadyClock = std::chrono::steady_clock;

// How long one wait for network activity may last before the message pump runs again.
static constexpr int kPollMs = 20;
// Status texts quote the platform's message up to this length.
static constexpr size_t kMaxMessageChars = 255;
// Raw headers beyond this are not kept (the body limit covers the body).
static constexpr size_t kMaxHeaderBytes = 1u << 20;

struct CWebGrab::Transfer {
  CWebGrabSession* session = nullptr;
  std::string* content = nullptr;
  std::string* rawHeaders = nullptr;
  double* rate = nullptr;
  std::string host;
  size_t received = 0;      // body bytes as they came, kept or not
  size_t maxLineBytes = 0;  // 0: every byte is kept
  size_t lineBytes = 0;     // bytes of the line that is being received; above the limit: being dropped
  size_t linesDropped = 0;
  SteadyClock::time_point start;
  SteadyClock::time_point lastActivity;
  bool responseStarted = false;  // the server has begun to answer: later failures are read errors
  bool bodyTooLarge = false;
  bool timedOut = false;
  CURLcode result = CURLE_OK;
  char errorBuffer[CURL_ERROR_SIZE] = {};
};

bool CWebGrab::Initialize(const std::string& agent, IStatusWindow* statusWindow) {
  Close();
  statusCode = 0;
  session = std::make_unique<CWebGrabSession>(agent, statusWindow);
  if (!session->IsOpen()) {
    session.reset();
    return false;
  }
  if (receiveTimeout != 0) session->SetReceiveTimeout(receiveTimeout);
  if (useProxy) session->SetProxy(proxyHost + ":" + std::to_string(proxyPort));
  return true;
}

std::string CWebGrab::ThroughputText(size_t totalBytes, long long elapsedSeconds, double* rateOut) {
  std::string text = " Read " + std::to_string(totalBytes) + " bytes";
  if (elapsedSeconds <= 0) {
    *rateOut = static_cast<double>(totalBytes);
    return text;
  }
  *rateOut = static_cast<double>(totalBytes) / 1024.0 / static_cast<double>(elapsedSeconds);
  // to_chars: the status text keeps its "." whatever the user's locale.
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, *rateOut, std::chars_format::fixed, 1);
  return text + " (" + std::string(buf, r.ptr) + " Kb/s)";
}

// Appends `data` to the body. A line longer than `t.maxLineBytes` is dropped whole (its line end stays), so
// that no parser sees a line with its end cut off.
static void KeepBody(CWebGrab::Transfer& t, const char* data, size_t n) {
  if (t.maxLineBytes == 0) {
    t.content->append(data, n);
    return;
  }
  const char* const end = data + n;
  while (data < end) {
    const char* lineEnd = std::find_if(data, end, [](char c) { return c == '\n' || c == '\r'; });
    const size_t length = static_cast<size_t>(lineEnd - data);
    if (t.lineBytes > t.maxLineBytes) {
      // already dropping this line
    } else if (t.lineBytes + length > t.maxLineBytes) {
      ++t.linesDropped;
      t.content->resize(t.content->size() - t.lineBytes);  // the part kept so far
      t.lineBytes = t.maxLineBytes + 1;
    } else {
      t.content->append(data, length);
      t.lineBytes += length;
    }
    data = lineEnd;
    if (data < end) {
      t.content->push_back(*data++);
      t.lineBytes = 0;
    }
  }
}

static size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto* t = static_cast<CWebGrab::Transfer*>(user);
  const size_t n = size * count;
  t->lastActivity = SteadyClock::now();
  t->responseStarted = true;
  if (n > CWebGrab::kMaxBodyBytes - t->received) {
    t->bodyTooLarge = true;
    return 0;  // anything but n aborts the transfer
  }
  for (size_t done = 0; done < n;) {
    size_t piece = std::min(CWebGrab::kPieceBytes, n - done);
    KeepBody(*t, data + done, piece);
    t->received += piece;
    done += piece;
    double seconds = std::chrono::duration<double>(SteadyClock::now() - t->start).count();
    t->session->ShowStatus(CWebGrab::ThroughputText(t->received, std::llround(seconds), t->rate));
  }
  return n;
}

static size_t OnHeader(char* data, size_t size, size_t count, void* user) {
  auto* t = static_cast<CWebGrab::Transfer*>(user);
  const size_t n = size * count;
  t->lastActivity = SteadyClock::now();
  if (!t->responseStarted) {
    t->responseStarted = true;
    t->session->OnStatus(CWebGrabSession::kRequestSent);
    t->session->OnStatus(CWebGrabSession::kReceivingResponse);
  }
  if (t->rawHeaders->size() + n <= kMaxHeaderBytes) t->rawHeaders->append(data, n);
  // The blank line that ends a header block.
  if ((n == 2 && data[0] == '\r' && data[1] == '\n') || (n == 1 && data[0] == '\n')) {
    t->session->OnStatus(CWebGrabSession::kResponseReceived);
  }
  return n;
}

static curl_socket_t OnOpenSocket(void* user, curlsocktype, curl_sockaddr* address) {
  auto* t = static_cast<CWebGrab::Transfer*>(user);
  t->session->OnStatus(CWebGrabSession::kNameResolved, t->host);
  t->session->OnStatus(CWebGrabSession::kConnectingToServer);
  return socket(address->family, address->socktype, address->protocol);
}

static int OnPreRequest(void* user, char*, char*, int, int) {
  auto* t = static_cast<CWebGrab::Transfer*>(user);
  t->lastActivity = SteadyClock::now();
  t->session->OnStatus(CWebGrabSession::kConnectedToServer);
  t->session->OnStatus(CWebGrabSession::kSendingRequest);
  return CURL_PREREQFUNC_OK;
}

static std::string HostOf(const std::string& url) {
  std::string host;
  CURLU* u = curl_url();
  if (!u) return host;
  char* part = nullptr;
  if (curl_url_set(u, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
      curl_url_get(u, CURLUPART_HOST, &part, 0) == CURLUE_OK) {
    host = part;
    curl_free(part);
  }
  curl_url_cleanup(u);
  return host;
}

bool CWebGrab::RunTransfer(const std::string& url, Transfer& t) {
  CURL* h = session->GetHandle();
  const std::string safeUrl = EscapeUnsafeUrlBytes(url);
  curl_easy_setopt(h, CURLOPT_URL, safeUrl.c_str());
  if (postForm) {
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(postForm->size()));
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, postForm->c_str());
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, postHeaders);
  } else {
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
  }
  curl_easy_setopt(h, CURLOPT_FRESH_CONNECT, reload ? 1L : 0L);
  curl_easy_setopt(h, CURLOPT_ERRORBUFFER, t.errorBuffer);
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &t);
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, &t);
  curl_easy_setopt(h, CURLOPT_OPENSOCKETFUNCTION, OnOpenSocket);
  curl_easy_setopt(h, CURLOPT_OPENSOCKETDATA, &t);
  curl_easy_setopt(h, CURLOPT_PREREQFUNCTION, OnPreRequest);
  curl_easy_setopt(h, CURLOPT_PREREQDATA, &t);
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, kLowSpeedBytes);
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, kLowSpeedSeconds);

  // The error buffer lives in `t`; the handle may outlive it.
  struct ErrorBufferReset {
    CURL* h;
    ~ErrorBufferReset() { curl_easy_setopt(h, CURLOPT_ERRORBUFFER, nullptr); }
  } errorBufferReset{h};

  CURLM* multi = curl_multi_init();
  if (!multi) return false;
  if (curl_multi_add_handle(multi, h) != CURLM_OK) {
    curl_multi_cleanup(multi);
    return false;
  }
  t.session->OnStatus(CWebGrabSession::kResolvingName, t.host);
  const uint32_t timeoutMs = session->GetReceiveTimeout();
  int running = 1;
  bool finished = false;
  while (true) {
    // Windows repaint and Stop buttons work while the request runs.
    PumpMessages();
    if (curl_multi_perform(multi, &running) != CURLM_OK) break;
    if (running == 0) {
      finished = true;
      break;
    }
    auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - t.lastActivity);
    if (timeoutMs != 0 && idle.count() >= timeoutMs) {
      t.timedOut = true;
      break;
    }
    // The receive time-out restarts with every byte; this one does not.
    auto total = std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - t.start);
    if (requestTimeout != 0 && total.count() >= requestTimeout) {
      t.timedOut = true;
      break;
    }
    curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr);
  }
  t.result = CURLE_FAILED_INIT;
  if (finished) {
    int left = 0;
    while (CURLMsg* msg = curl_multi_info_read(multi, &left)) {
      if (msg->msg == CURLMSG_DONE && msg->easy_handle == h) t.result = msg->data.result;
    }
  }
  long code = 0;
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &code);
  statusCode = static_cast<uint32_t>(code);
  curl_multi_remove_handle(multi, h);
  t.session->OnStatus(CWebGrabSession::kClosingConnection);
  curl_multi_cleanup(multi);
  t.session->OnStatus(CWebGrabSession::kConnectionClosed);
  return finished && !t.timedOut && !t.bodyTooLarge && t.result == CURLE_OK;
}

bool CWebGrab::PostForm(const std::string& url, const std::string& form, std::string& content,
                        const std::string& agent, IStatusWindow* statusWindow) {
  // The market-data service changes files only for a request that carries this header, which a web page
  // cannot make a browser add without asking the service first.
  struct HeaderList {
    curl_slist* list = curl_slist_append(nullptr, "X-Vellumar-Client: vellumar");
    ~HeaderList() { curl_slist_free_all(list); }
  } headers;
  postForm = &form;
  postHeaders = headers.list;
  const bool fetched = GetFile(url, content, agent, statusWindow);
  postForm = nullptr;
  postHeaders = nullptr;
  // The handle is reused: the next request is a GET again, never a repeat of this body or its headers.
  if (session) {
    curl_easy_setopt(session->GetHandle(), CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(session->GetHandle(), CURLOPT_HTTPHEADER, nullptr);
  }
  return fetched;
}

bool CWebGrab::GetFile(const std::string& url, std::string& content, const std::string& agent,
                       IStatusWindow* statusWindow) {
  rawHeaders.clear();
  content.clear();
  linesDropped = 0;
  errorText.clear();
  failureCause.clear();
  statusCode = 0;
  if (!session && !Initialize(agent, statusWindow)) return false;
  if (statusWindow) session->SetStatusWindow(statusWindow);
  session->OnStatus(CWebGrabSession::kHandleCreated);

  Transfer t;
  t.session = session.get();
  t.content = &content;
  t.rawHeaders = &rawHeaders;
  t.rate = &rate;
  t.maxLineBytes = maxLineBytes;
  t.host = HostOf(url);
  t.start = t.lastActivity = SteadyClock::now();
  const bool transferred = RunTransfer(url, t);
  linesDropped = t.linesDropped;
  if (transferred) {
    session->ShowStatus("");
    return true;
  }
  std::string message;
  if (t.timedOut) {
    message = curl_easy_strerror(CURLE_OPERATION_TIMEDOUT);
  } else if (t.bodyTooLarge) {
    message = "The response is larger than " + std::to_string(kMaxBodyBytes >> 20) + " MiB";
  } else if (t.errorBuffer[0] != '\0') {
    message = t.errorBuffer;
  } else {
    message = curl_easy_strerror(t.result);
  }
  if (message.size() > kMaxMessageChars) message.resize(kMaxMessageChars);
  // A partial body must never reach a parser as if it were the page.
  content.clear();
  if (t.responseStarted) errorText = message;
  failureCause = message;
  session->ShowStatus(message);
  return false;
}
