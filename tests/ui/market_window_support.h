#pragma once
// What the market-data window tests share: an in-process market-data server whose pages the tests shape,
// pointed to by the service settings for the life of the fixture.
#include <QAbstractButton>
#include <QWidget>

#include <sstream>
#include <string>
#include <vector>

#include "marketdata/service_hosts.h"
#include "marketdata/text_helpers.h"
#include "tests/marketdata/test_server.h"
#include "ui_test_support.h"

// Points new providers at `host` for its life.
class ScopedServiceHosts {
 public:
  explicit ScopedServiceHosts(const std::string& host) : previous(GetServiceHosts()) {
    ServiceHosts hosts;
    hosts.SetAllHosts(host);
    SetServiceHosts(hosts);
  }
  ~ScopedServiceHosts() { SetServiceHosts(previous); }
  ScopedServiceHosts(const ScopedServiceHosts&) = delete;
  ScopedServiceHosts& operator=(const ScopedServiceHosts&) = delete;

 private:
  ServiceHosts previous;
};

// A look-up page of a search for `text` with `total` results, starting at `offset`; result 7 is an index.
inline std::string LookupPage(const std::string& text, int total, int offset) {
  std::string rows;
  const int last = std::min(offset + 50, total);
  for (int n = offset + 1; n <= last; ++n) {
    const std::string symbol = n == 7 ? "^BK7" : "B" + std::to_string(n);
    rows += "<tr bgcolor=\"ffffff\"><td><a href=\"/q?s=" + symbol + "\">" + symbol + "</a></td><td>Bank " +
            std::to_string(n) + " &amp; Trust</td><td>NYSE</td><td><a href=\"/add\">Add</a></td></tr>\n";
  }
  if (total == 0) return ReadFixture("lookup_none.html");
  std::string page = ReadFixture("lookup_page.html");
  page = ReplaceAll(page, "{TOTAL}", std::to_string(total));
  page = ReplaceAll(page, "{TEXT}", text);
  page = ReplaceAll(page, "{FROM}", std::to_string(offset + 1));
  page = ReplaceAll(page, "{TO}", std::to_string(last));
  return ReplaceAll(page, "{ROWS}", rows);
}

// The line of the test quotes (quotes.csv) for `symbol`, with its line feed; empty when there is none.
inline std::string FixtureQuoteLine(const std::string& symbol) {
  std::istringstream lines(ReadFixture("quotes.csv"));
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("\"" + symbol + "\"", 0) == 0) return line + "\n";
  }
  return {};
}

template <class T>
T* Control(const QWidget& window, int id) {
  T* control = window.findChild<T*>(QString::number(id));
  EXPECT_NE(control, nullptr) << "no control " << id;
  return control;
}
