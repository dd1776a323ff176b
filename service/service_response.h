#pragma once

#include <string>
#include <string_view>

// The request and answer types that the router and every page share, and the common answers. The pages
// include this header, not the router (which includes the pages).

// What the service needs of an HTTP request: the method, the raw target (path and query, as sent)
// and the Host header, whose first label picks a regional site.
struct ServiceRequest {
  std::string method = "GET";
  std::string target;
  std::string host;
};

struct ServiceResponse {
  int status = 200;
  std::string contentType;
  std::string body;
};

// A request split for the page functions; the query stays raw (see QueryString).
struct PageRequest {
  std::string_view path;
  std::string_view rawQuery;
  std::string_view host;
};

ServiceResponse BadRequest(const std::string& why);
ServiceResponse NotFound(std::string_view what);
// The service's own host for absolute links: the Host header when it is sane, else localhost:8642.
std::string LinkHost(std::string_view host);
