#include "service/http_request.h"

#include "framework/text_util.h"

#include <algorithm>
#include <cctype>

namespace {

bool IsTokenChar(unsigned char c) {
  static const std::string_view kMarks = "!#$%&'*+-.^_`|~";
  return std::isalnum(c) || kMarks.find(static_cast<char>(c)) != std::string_view::npos;
}

bool IsToken(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return IsTokenChar(c); });
}

// Without the optional white space HTTP allows around a header's value and a list's items: spaces and tabs.
std::string_view TrimOws(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

HeadResult Refuse(int status, std::string why) {
  HeadResult r;
  r.state = HeadState::Refused;
  r.status = status;
  r.why = std::move(why);
  return r;
}

// The lines of a head that has ended; a CR may only come right before its LF.
bool SplitLines(std::string_view head, std::vector<std::string_view>& lines) {
  size_t start = 0;
  while (start < head.size()) {
    const size_t end = head.find('\n', start);
    std::string_view line = head.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find('\r') != std::string_view::npos) return false;
    lines.push_back(line);
    start = end + 1;
  }
  return true;
}

HeadResult ReadRequestLine(std::string_view line, HttpRequestHead& head) {
  const size_t first = line.find(' ');
  const size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
  if (second == std::string_view::npos || line.find(' ', second + 1) != std::string_view::npos)
    return Refuse(400, "a request line is METHOD TARGET HTTP/1.1, one blank apart");
  const std::string_view method = line.substr(0, first), target = line.substr(first + 1, second - first - 1),
                         version = line.substr(second + 1);
  if (!IsToken(method)) return Refuse(400, "bad method");
  if (target.empty() || std::any_of(target.begin(), target.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b <= 0x20 || b == 0x7F;
      }))
    return Refuse(400, "bad request target");
  if (version != "HTTP/1.1" && version != "HTTP/1.0") {
    const bool http = version.size() == 8 && version.substr(0, 5) == "HTTP/" && std::isdigit(version[5]) &&
                      version[6] == '.' && std::isdigit(version[7]);
    return http ? Refuse(505, "only HTTP/1.0 and HTTP/1.1 are served") : Refuse(400, "bad HTTP version");
  }
  head.method = std::string(method);
  head.target = std::string(target);
  head.http10 = version == "HTTP/1.0";
  head.keepAlive = !head.http10;
  return {};
}

// Field values hold visible characters, blanks and tabs, and bytes beyond ASCII; nothing else.
bool CleanValue(std::string_view value) {
  return std::all_of(value.begin(), value.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b == '\t' || (b >= 0x20 && b != 0x7F);
  });
}

// A Host is a name or address and an optional port: nothing blank, no control character, ASCII only.
bool CleanHost(std::string_view host) {
  return std::all_of(host.begin(), host.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b > 0x20 && b < 0x7F;
  });
}

bool ReadLength(std::string_view value, size_t& length) {
  if (value.empty() || value.size() > 19 ||
      !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  size_t n = 0;
  for (char c : value) n = n * 10 + static_cast<size_t>(c - '0');
  length = n;
  return true;
}

// Every comma-separated token of a Connection header.
void ReadConnection(std::string_view value, HttpRequestHead& head) {
  size_t start = 0;
  while (start <= value.size()) {
    const size_t end = std::min(value.find(',', start), value.size());
    const std::string_view option = TrimOws(value.substr(start, end - start));
    if (EqualNoCase(option, "close")) head.keepAlive = false;
    if (EqualNoCase(option, "keep-alive") && head.http10) head.keepAlive = true;
    start = end + 1;
  }
}

HeadResult ReadHeader(std::string_view line, HttpRequestHead& head, bool& sawLength, bool& sawCoding) {
  if (line.front() == ' ' || line.front() == '\t') return Refuse(400, "folded header lines are not accepted");
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos || !IsToken(line.substr(0, colon)))
    return Refuse(400, "a header line is NAME: VALUE");
  const std::string_view name = line.substr(0, colon), value = TrimOws(line.substr(colon + 1));
  if (!CleanValue(value)) return Refuse(400, "control character in the header " + std::string(name));
  if (EqualNoCase(name, "Content-Length")) {
    if (sawLength) return Refuse(400, "more than one Content-Length");
    if (!ReadLength(value, head.contentLength)) return Refuse(400, "Content-Length must be digits only");
    if (head.contentLength > kMaxRequestBodyBytes) return Refuse(413, "the request body is too large");
    sawLength = true;
  } else if (EqualNoCase(name, "Transfer-Encoding")) {
    sawCoding = true;
  } else if (EqualNoCase(name, "Host")) {
    if (head.hasHost) return Refuse(400, "more than one Host");
    if (!CleanHost(value)) return Refuse(400, "bad Host");
    head.hasHost = true;
    head.host = std::string(value);
  } else if (EqualNoCase(name, "Connection")) {
    ReadConnection(value, head);
  } else if (EqualNoCase(name, "Expect")) {
    head.expectContinue = EqualNoCase(value, "100-continue");
  }
  head.headers.emplace_back(std::string(name), std::string(value));
  return {};
}

}  // namespace

std::string HttpRequestHead::Header(std::string_view name) const {
  for (const auto& [key, value] : headers) {
    if (EqualNoCase(key, name)) return value;
  }
  return {};
}

HeadResult ParseRequestHead(std::string_view bytes, HttpRequestHead& head) {
  // Blank lines before a request are allowed (a client may end its previous body with an extra line end).
  size_t skipped = 0;
  while (skipped < bytes.size() && (bytes[skipped] == '\r' || bytes[skipped] == '\n') && skipped < 8)
    ++skipped;
  const std::string_view rest = bytes.substr(skipped);
  const size_t lineEnd = rest.find('\n');
  if ((lineEnd == std::string_view::npos ? rest.size() : lineEnd) > kMaxRequestLineBytes)
    return Refuse(414, "the request line is too long");
  size_t end = rest.find("\n\r\n");
  size_t endLength = 3;
  const size_t bare = rest.find("\n\n");
  if (bare != std::string_view::npos && (end == std::string_view::npos || bare < end)) {
    end = bare;
    endLength = 2;
  }
  if (end == std::string_view::npos) {
    if (rest.size() > kMaxRequestHeadBytes) return Refuse(431, "the request head is too large");
    return {};
  }
  if (end + endLength > kMaxRequestHeadBytes) return Refuse(431, "the request head is too large");
  std::vector<std::string_view> lines;
  if (!SplitLines(rest.substr(0, end + 1), lines) || lines.empty())
    return Refuse(400, "a carriage return inside a line");
  if (lines.size() - 1 > kMaxRequestHeaders) return Refuse(431, "too many header lines");
  HttpRequestHead parsed;
  HeadResult result = ReadRequestLine(lines[0], parsed);
  if (result.state == HeadState::Refused) return result;
  bool sawLength = false, sawCoding = false;
  for (size_t i = 1; i < lines.size(); ++i) {
    if (lines[i].empty()) return Refuse(400, "an empty header line");
    result = ReadHeader(lines[i], parsed, sawLength, sawCoding);
    if (result.state == HeadState::Refused) return result;
  }
  if (sawCoding && sawLength) return Refuse(400, "both Content-Length and Transfer-Encoding");
  if (sawCoding) return Refuse(411, "a request body needs a Content-Length");
  if (!parsed.http10 && !parsed.hasHost) return Refuse(400, "an HTTP/1.1 request needs a Host");
  head = std::move(parsed);
  result.state = HeadState::Complete;
  result.length = skipped + end + endLength;
  return result;
}
