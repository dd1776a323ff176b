#pragma once
#include <string>

// Percent-encodes a text that goes into a URL as one query value: blanks, control and non-ASCII
// bytes, and the characters that would end the value or change the URL's meaning ("&", "#", "%",
// "+", "?", quotes, angle brackets...). Ordinary symbols ("MSFT", "^DJI", "BHP.AX", "BRK-B") come
// out unchanged.
std::string EncodeUrlValue(const std::string& value);

// Makes a complete URL valid without changing its meaning: only blanks, control and non-ASCII bytes
// are encoded. Used on every URL before it is requested (links taken from pages may hold blanks).
std::string EscapeUnsafeUrlBytes(const std::string& url);
