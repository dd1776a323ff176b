#include "service/host_check.h"

#include "framework/text_util.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>

namespace {

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

// The host part of a Host header: "[::1]:8642" gives "::1", "localhost:8642" gives "localhost". Empty for
// anything malformed (a port that is not a number, an unclosed bracket).
std::string HostPart(std::string_view header) {
  if (!header.empty() && header.front() == '[') {
    const size_t close = header.find(']');
    if (close == std::string_view::npos) return {};
    const std::string_view rest = header.substr(close + 1);
    if (!rest.empty() && (rest.front() != ':' || !AllDigits(rest.substr(1)))) return {};
    return AsciiLower(header.substr(1, close - 1));
  }
  const size_t colon = header.find(':');
  if (colon == std::string_view::npos) return AsciiLower(header);
  if (!AllDigits(header.substr(colon + 1))) return {};
  return AsciiLower(header.substr(0, colon));
}

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// 127.x.y.z, the whole loopback network.
bool IsLoopbackAddress(std::string_view host) {
  if (host.substr(0, 4) != "127.") return false;
  int parts = 2;  // "127" and what follows its dot
  for (char c : host.substr(4)) {
    if (c == '.') {
      ++parts;
    } else if (!std::isdigit(static_cast<unsigned char>(c))) {
      return false;
    }
  }
  return parts == 4;
}

}  // namespace

HostCheck::HostCheck(std::vector<std::string> given) {
  for (const std::string& name : given) {
    std::string lower = AsciiLower(name);
    if (!lower.empty() && lower.front() == '[' && lower.back() == ']')
      lower = lower.substr(1, lower.size() - 2);
    if (lower.empty() || lower == "0.0.0.0" || lower == "::") continue;  // "any address" is no name
    names.push_back(std::move(lower));
  }
}

bool HostCheck::Allows(std::string_view hostHeader) const {
  std::string host = HostPart(hostHeader);
  if (!host.empty() && host.back() == '.') host.pop_back();  // "localhost." is localhost
  if (host.empty()) return false;
  if (host == "localhost" || EndsWith(host, ".localhost") || host == "::1" || IsLoopbackAddress(host))
    return true;
  return std::find(names.begin(), names.end(), host) != names.end();
}

std::string HostCheck::MachineName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}
