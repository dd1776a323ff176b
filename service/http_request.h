#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The head of one HTTP/1.x request, read strictly: whatever two parties could read in two ways (two lengths,
// a length beside a transfer coding, two hosts, a folded line, a control character) is refused, because a
// proxy or a browser in front of the service might read it the other way.
struct HttpRequestHead {
  std::string method;
  std::string target;
  bool http10 = false;  // HTTP/1.0 rather than HTTP/1.1
  std::vector<std::pair<std::string, std::string>>
      headers;  // names as sent, values without the blanks around
  size_t contentLength = 0;
  bool keepAlive = true;        // HTTP/1.1 unless "Connection: close"; HTTP/1.0 only with "keep-alive"
  bool expectContinue = false;  // "Expect: 100-continue"
  bool hasHost = false;
  std::string host;

  // The value of the first header of that name (letter case aside); "" when there is none.
  std::string Header(std::string_view name) const;
};

inline constexpr size_t kMaxRequestLineBytes = 16 * 1024 + 64;  // a target up to the router's limit
inline constexpr size_t kMaxRequestHeadBytes = 32 * 1024;
inline constexpr size_t kMaxRequestHeaders = 100;
inline constexpr size_t kMaxRequestBodyBytes = 64 * 1024;

enum class HeadState { Incomplete, Complete, Refused };

struct HeadResult {
  HeadState state = HeadState::Incomplete;
  size_t length = 0;  // bytes of the head, its blank line included, when Complete
  int status = 0;     // the answer to a refused head: 400, 411, 413, 414, 431 or 505
  std::string why;    // for a person, when refused
};

// Reads the head at the start of `bytes` (a request line, header lines, a blank line; lines end in CRLF or
// LF). Incomplete while the blank line has not arrived and the limits allow more; `head` is filled only
// when Complete.
[[nodiscard]] HeadResult ParseRequestHead(std::string_view bytes, HttpRequestHead& head);
