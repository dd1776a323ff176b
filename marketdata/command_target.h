#pragma once
#include <cstdint>

// The owner window of a multi-page provider: receives the provider's progress command, synchronously,
// between pages. The window may set the provider's stop flag from it.
class ICommandTarget {
 public:
  virtual ~ICommandTarget() = default;
  virtual void OnCommand(uint32_t commandId) = 0;
};
