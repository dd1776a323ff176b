#pragma once
#include <cstdint>

// How much more memory this process may take: the smallest of what the system reports available, the room
// left under the process's address-space and data limits, and the room left under its control group's
// memory limit. UINT64_MAX when none of them is known. A store that would not fit is refused before it is
// read, rather than ending in an allocation failure or the system's out-of-memory killer half-way.
uint64_t AvailableMemoryBytes();

// The memory a store of `fileBytes` bytes takes once loaded and shown, with room for the copies a reload and
// the windows' lists make: a few times the file.
constexpr uint64_t kMemoryPerStoredByte = 4;

// Tests set the answer of AvailableMemoryBytes; 0 puts the measurement back.
void SetAvailableMemoryForTesting(uint64_t bytes);
