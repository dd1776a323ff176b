#pragma once

#include <string>
#include <string_view>
#include <vector>

// Which Host headers the service answers. A web page the user visits can make the browser send requests to
// localhost; by pointing a name of its own at 127.0.0.1 (DNS rebinding) it could even read the answers.
// Such requests carry the page's name in their Host header, so the service answers only names of this
// machine: localhost and its sub-domains (the regional sites), the loopback addresses, and the names it was
// given (the address it listens on, the machine's host name, and any --host NAME), with any port.
class HostCheck {
 public:
  // `names`: further names of this machine, in any letter case; empty ones and "0.0.0.0"/"::" are ignored.
  explicit HostCheck(std::vector<std::string> names = {});

  // Whether a request with this Host header (as sent; "" when there was none) is for this machine.
  bool Allows(std::string_view hostHeader) const;

  // The host name of this machine, as the system reports it ("" when it does not).
  static std::string MachineName();

 private:
  std::vector<std::string> names;  // lower case
};
