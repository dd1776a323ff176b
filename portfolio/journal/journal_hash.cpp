#include "portfolio/journal/journal_hash.h"

#include <bit>
#include <cstring>

namespace {

constexpr uint64_t kMul1 = 0x9E3779B185EBCA87ULL;
constexpr uint64_t kMul2 = 0xC2B2AE3D27D4EB4FULL;

uint64_t Rotl(uint64_t v, int bits) {
  return (v << bits) | (v >> (64 - bits));
}

uint64_t Word(const char* p) {
  uint64_t w;
  std::memcpy(&w, p, 8);
  if constexpr (std::endian::native == std::endian::big) w = __builtin_bswap64(w);
  return w;
}

// Every bit of the state moves every bit of the result.
uint64_t Avalanche(uint64_t h) {
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDULL;
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53ULL;
  h ^= h >> 33;
  return h;
}

}  // namespace

uint64_t JournalHash(std::string_view bytes, uint64_t seed) {
  const char* p = bytes.data();
  size_t n = bytes.size();
  uint64_t h = seed ^ (n * kMul2);
  for (; n >= 8; n -= 8, p += 8) {
    h ^= Rotl(Word(p) * kMul2, 31) * kMul1;
    h = Rotl(h, 27) * kMul1 + 0x52DCE729;
  }
  uint64_t tail = 0;
  for (size_t i = n; i > 0; --i) tail = (tail << 8) | static_cast<unsigned char>(p[i - 1]);
  h ^= Rotl((tail ^ (uint64_t{n} << 56)) * kMul2, 31) * kMul1;
  return Avalanche(h);
}
