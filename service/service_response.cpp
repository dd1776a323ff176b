#include "service/service_response.h"

#include "service/text_format.h"

ServiceResponse BadRequest(const std::string& why) {
  return {400, "text/plain", "Bad request: " + why + "\n"};
}

ServiceResponse NotFound(std::string_view what) {
  return {404, "text/html",
          "<html><head><title>Not Found</title></head><body><h1>Not Found</h1><p>" + HtmlEscape(what) +
              " is not available on this server.</p></body></html>\n"};
}

std::string LinkHost(std::string_view host) {
  if (host.empty() || host.size() > 255) return "localhost:8642";
  for (char c : host) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                    c == '-' || c == ':' || c == '[' || c == ']';
    if (!ok) return "localhost:8642";
  }
  return std::string(host);
}
