#include "service/market_server.h"

#include "service/arrival_watchdog.h"
#include "service/connection_stream.h"
#include "service/fetch_page.h"
#include "service/request_log.h"
#include "service/request_router.h"
#include "service/service_response.h"

#include <httplib.h>

#include <sys/socket.h>

#include <chrono>
#include <cstdio>

MarketServer::MarketServer(const Market& market, bool logRequests)
    : market(market),
      logRequests(logRequests),
      server(std::make_unique<PipeliningServer>()),
      watchdog(std::make_unique<ArrivalWatchdog>(std::chrono::seconds(kArrivalSeconds))) {
  server->set_keep_alive_max_count(100);
  server->set_keep_alive_timeout(kKeepAliveIdleSeconds);
  server->set_read_timeout(kArrivalPauseSeconds, 0);
  server->new_task_queue = [] { return new httplib::ThreadPool(kWorkerThreads); };
  server->set_payload_max_length(64 * 1024);
  // Headers and body go out in separate writes; without this a keep-alive client waits for its own
  // delayed acknowledgement (about 40 ms) on every request.
  server->set_tcp_nodelay(true);
  // Address reuse only: the library's default also shares the port with any other process that asks,
  // so a second service would start silently instead of reporting the port as taken.
  server->set_socket_options([](socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  // A POST goes through the library's routing, which reads its body first, so that the next request on the
  // connection starts where it should; everything else is answered here.
  server->set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
    if (req.method == "POST") return httplib::Server::HandlerResponse::Unhandled;
    Respond(req, res);
    return httplib::Server::HandlerResponse::Handled;
  });
  server->Post(".*", [this](const httplib::Request& req, httplib::Response& res) { Respond(req, res); });
}

ServiceResponse MarketServer::Answer(const httplib::Request& req) const {
  if (!hosts.Allows(req.get_header_value("Host"))) {
    return {421, "text/plain", "This service answers requests for this machine only (Host: localhost).\n"};
  }
  if (req.path == kFetchPath) {
    if (req.method != "POST") return {405, "text/plain", "A fetch changes files: send it as a POST\n"};
    const size_t mark = req.target.find('?');
    const std::string_view query =
        mark == std::string::npos ? std::string_view{} : std::string_view(req.target).substr(mark + 1);
    return FetchPage(market, fetcher, query);
  }
  ServiceRequest request;
  request.method = req.method;
  request.target = req.target;
  request.host = req.get_header_value("Host");
  return HandleServiceRequest(market, request);
}

void MarketServer::Respond(const httplib::Request& req, httplib::Response& res) {
  const ArrivalWatchdog::HandlingScope handling(*watchdog, req.remote_addr, req.remote_port);
  const auto started = std::chrono::steady_clock::now();
  ServiceResponse response = Answer(req);
  res.status = response.status;
  if (response.status == 405) res.set_header("Allow", req.path == kFetchPath ? "POST" : "GET, HEAD");
  res.set_content(std::move(response.body), response.contentType.c_str());
  if (!logRequests) return;
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
  const std::string line =
      RequestLogLine(req.remote_addr, req.method, req.target, res.status, res.body.size(), ms);
  std::fprintf(stderr, "%s\n", line.c_str());
}

MarketServer::~MarketServer() = default;

bool MarketServer::Bind(const std::string& host, int requestedPort, std::string& error) {
  std::vector<std::string> names = extraHostNames;
  names.push_back(host);
  names.push_back(HostCheck::MachineName());
  hosts = HostCheck(std::move(names));
  if (requestedPort == 0) {
    port = server->bind_to_any_port(host);
  } else {
    port = server->bind_to_port(host, requestedPort) ? requestedPort : -1;
  }
  if (port <= 0) {
    error = "cannot listen on " + host + ":" + std::to_string(requestedPort);
    return false;
  }
  return true;
}

bool MarketServer::Run() {
  watchdog->Start(port);
  const bool stopped = server->listen_after_bind();
  watchdog->Stop();
  return stopped;
}

void MarketServer::Stop() {
  server->stop();
}

bool MarketServer::IsRunning() const {
  return server->is_running();
}
