#include "service/market_server.h"

#include "service/fetch_guard.h"
#include "service/fetch_page.h"
#include "service/http_server.h"
#include "service/request_log.h"
#include "service/request_router.h"
#include "service/service_response.h"

#include <chrono>
#include <cstdio>

MarketServer::MarketServer(const Market& market, bool logRequests)
    : market(market), logRequests(logRequests) {
  HttpServer::Limits limits;
  limits.workers = kWorkerThreads;
  limits.arrival = std::chrono::seconds(kArrivalSeconds);
  limits.idle = std::chrono::seconds(kKeepAliveIdleSeconds);
  server = std::make_unique<HttpServer>([this](const HttpRequest& req) { return Respond(req); }, limits);
}

MarketServer::~MarketServer() = default;

static std::string_view PathOf(const std::string& target) {
  return std::string_view(target).substr(0, target.find('?'));
}

ServiceResponse MarketServer::Fetch(const HttpRequest& req) {
  if (req.head.method != "POST") return {405, "text/plain", "A fetch changes files: send it as a POST\n"};
  std::string why;
  if (!FetchAllowed(hosts, req.head.Header(kFetchClientHeader), req.head.Header("Origin"),
                    req.head.Header("Sec-Fetch-Site"), why))
    return {403, "text/plain", why + "\n"};
  // Fetches run one at a time in the fetcher; a queue of them must not take every worker.
  if (++fetchesWaiting > kMaxFetchesWaiting) {
    --fetchesWaiting;
    return {503, "text/plain", "another fetch is running; try again when it has ended\n"};
  }
  const size_t mark = req.head.target.find('?');
  const std::string_view query =
      mark == std::string::npos ? std::string_view{} : std::string_view(req.head.target).substr(mark + 1);
  ServiceResponse response = FetchPage(market, fetcher, query);
  --fetchesWaiting;
  return response;
}

ServiceResponse MarketServer::Answer(const HttpRequest& req) {
  if (!hosts.Allows(req.head.host)) {
    return {421, "text/plain", "This service answers requests for this machine only (Host: localhost).\n"};
  }
  if (PathOf(req.head.target) == kFetchPath) return Fetch(req);
  ServiceRequest request;
  request.method = req.head.method;
  request.target = req.head.target;
  request.host = req.head.host;
  return HandleServiceRequest(market, request);
}

HttpResponse MarketServer::Respond(const HttpRequest& req) {
  const auto started = std::chrono::steady_clock::now();
  ServiceResponse answer = Answer(req);
  HttpResponse response{answer.status, answer.contentType, std::move(answer.body), {}};
  if (response.status == 405)
    response.headers.emplace_back("Allow", PathOf(req.head.target) == kFetchPath ? "POST" : "GET, HEAD");
  if (response.status == 503 && PathOf(req.head.target) == kFetchPath)
    response.headers.emplace_back("Retry-After", "5");
  if (!logRequests) return response;
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
  const std::string line = RequestLogLine(req.remoteAddress, req.head.method, req.head.target,
                                          response.status, response.body.size(), ms);
  std::fprintf(stderr, "%s\n", line.c_str());
  return response;
}

bool MarketServer::Bind(const std::string& host, int requestedPort, std::string& error) {
  std::vector<std::string> names = extraHostNames;
  names.push_back(host);
  names.push_back(HostCheck::MachineName());
  hosts = HostCheck(std::move(names));
  return server->Bind(host, requestedPort, error);
}

int MarketServer::Port() const {
  return server->Port();
}

bool MarketServer::Run() {
  return server->Run();
}

void MarketServer::Stop() {
  server->Stop();
}

bool MarketServer::IsRunning() const {
  return server->IsRunning();
}

size_t MarketServer::OpenConnections() const {
  return server->OpenConnections();
}
