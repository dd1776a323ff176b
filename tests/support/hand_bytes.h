#pragma once
// Builds expected file bytes by hand from the stored layout, independently of the archive code:
// little-endian 32-bit integers, time stamps as the marker 0x8000000A and 8 bytes, strings with a
// one-byte length (texts here stay below 255 bytes), scrambled strings with every text byte complemented.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class HandBytes {
 public:
  HandBytes& U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return *this;
  }
  HandBytes& Time(int64_t seconds) {
    U32(0x8000000A);
    const auto u = static_cast<uint64_t>(seconds);
    for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<uint8_t>(u >> (8 * i)));
    return *this;
  }
  HandBytes& Str(std::string_view s) {
    bytes.push_back(static_cast<uint8_t>(s.size()));
    bytes.insert(bytes.end(), s.begin(), s.end());
    return *this;
  }
  HandBytes& Scrambled(std::string_view s) {
    bytes.push_back(static_cast<uint8_t>(s.size()));
    for (char c : s) bytes.push_back(static_cast<uint8_t>(~static_cast<uint8_t>(c)));
    return *this;
  }
  // A record's type key and version.
  HandBytes& Key(std::string_view key, uint32_t version) { return Str(key).U32(version); }

  std::vector<uint8_t> bytes;
};
