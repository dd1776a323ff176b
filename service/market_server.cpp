#include "service/market_server.h"

#include "service/arrival_watchdog.h"
#include "service/fetch_page.h"
#include "service/request_router.h"

#include <httplib.h>

#include <sys/socket.h>

#include <chrono>
#include <cstdio>

MarketServer::MarketServer(const Market& market, bool logRequests)
    : market(market),
      logRequests(logRequests),
      server(std::make_unique<httplib::Server>()),
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
  server->set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
    const ArrivalWatchdog::HandlingScope handling(*this->watchdog, req.remote_addr, req.remote_port);
    const auto started = std::chrono::steady_clock::now();
    ServiceRequest request;
    request.method = req.method;
    request.target = req.target;
    request.host = req.get_header_value("Host");
    const size_t mark = req.target.find('?');
    const std::string_view query =
        mark == std::string::npos ? std::string_view{} : std::string_view(req.target).substr(mark + 1);
    ServiceResponse response = req.method == "GET" && req.path == kFetchPath
                                   ? FetchPage(this->market, this->fetcher, query)
                                   : HandleServiceRequest(this->market, request);
    res.status = response.status;
    res.set_content(std::move(response.body), response.contentType.c_str());
    if (this->logRequests) {
      const double ms =
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
      const std::string shown = req.target.size() > 160 ? req.target.substr(0, 160) + "..." : req.target;
      std::fprintf(stderr, "%s %s %s -> %d, %zu bytes, %.1f ms\n", req.remote_addr.c_str(),
                   req.method.c_str(), shown.c_str(), res.status, res.body.size(), ms);
    }
    return httplib::Server::HandlerResponse::Handled;
  });
}

MarketServer::~MarketServer() = default;

bool MarketServer::Bind(const std::string& host, int requestedPort, std::string& error) {
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
