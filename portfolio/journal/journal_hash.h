#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

// A 64-bit hash of bytes, the same on every machine (words are read little-endian). The journal uses it as
// the checksum of its entries and for the hash of each record that the store's fingerprint adds up.
uint64_t JournalHash(std::string_view bytes, uint64_t seed = 0);
