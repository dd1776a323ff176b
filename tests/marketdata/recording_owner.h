#pragma once
#include <functional>
#include <vector>

#include "marketdata/command_target.h"

// An owner window that records the commands it receives and may react to each.
class RecordingOwner : public ICommandTarget {
 public:
  std::vector<uint32_t> commands;
  std::function<void()> onCommand;
  void OnCommand(uint32_t commandId) override {
    commands.push_back(commandId);
    if (onCommand) onCommand();
  }
};
