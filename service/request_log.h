#pragma once

#include <string>
#include <string_view>

// The line the service logs for one request: "address method target -> status, bytes, time". The method and
// target come from the client as sent, so every control character and byte beyond ASCII in them is written
// as \xNN (and a backslash as \\): a request cannot move the terminal's cursor, change its colours or forge
// a log line of its own. Targets longer than 160 characters are cut, marked with "...".
std::string RequestLogLine(std::string_view address, std::string_view method, std::string_view target,
                           int status, size_t bytes, double milliseconds);

// `text` with control characters, bytes beyond ASCII and backslashes escaped as above.
std::string EscapeForLog(std::string_view text);
