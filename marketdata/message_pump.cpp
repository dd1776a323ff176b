#include "marketdata/message_pump.h"

#include <utility>

static MessagePump& InstalledPump() {
  static MessagePump pump;
  return pump;
}

MessagePump SetMessagePump(MessagePump pump) {
  return std::exchange(InstalledPump(), std::move(pump));
}

void PumpMessages() {
  // A copy, so a pump that installs another pump while it runs stays alive until it returns.
  MessagePump pump = InstalledPump();
  if (pump) pump();
}
