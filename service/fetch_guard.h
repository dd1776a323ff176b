#pragma once

#include <string>
#include <string_view>

class HostCheck;

// A header only programs send: a web page cannot add it to a request without the browser asking the service
// first (a preflight, which the service does not grant).
inline constexpr char kFetchClientHeader[] = "X-Vellumar-Client";

// Whether a POST of /vellumar/fetch may change files. Any web page the user opens can make the browser send
// it (a form, or a script's request without asking); such a request names the page in Origin and says
// "cross-site" in Sec-Fetch-Site, and it cannot carry kFetchClientHeader. So the fetch needs that header, an
// Origin (when there is one) of this machine, and a Sec-Fetch-Site (when there is one) of "same-origin" or
// "none". False with the reason in `why`. Arguments are the header values, "" when absent.
[[nodiscard]] bool FetchAllowed(const HostCheck& hosts, std::string_view clientHeader,
                                std::string_view origin, std::string_view fetchSite, std::string& why);
