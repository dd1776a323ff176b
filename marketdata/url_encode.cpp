#include "marketdata/url_encode.h"

#include <cstring>

static bool IsUnsafeByte(unsigned char c) {
  return c <= 0x20 || c >= 0x7F;
}

static void AppendEscaped(std::string& out, unsigned char c) {
  static const char kHex[] = "0123456789ABCDEF";
  out += '%';
  out += kHex[c >> 4];
  out += kHex[c & 0x0F];
}

std::string EncodeUrlValue(const std::string& value) {
  // "^" stays: index symbols such as ^DJI travel unescaped, as the services expect.
  static const char kReserved[] = "\"#%&+<>?\\`{|}";
  std::string out;
  out.reserve(value.size());
  for (char ch : value) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (IsUnsafeByte(c) || std::strchr(kReserved, ch) != nullptr) {
      AppendEscaped(out, c);
    } else {
      out += ch;
    }
  }
  return out;
}

std::string EscapeUnsafeUrlBytes(const std::string& url) {
  std::string out;
  out.reserve(url.size());
  for (char ch : url) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (IsUnsafeByte(c)) {
      AppendEscaped(out, c);
    } else {
      out += ch;
    }
  }
  return out;
}
