#pragma once
#include "marketdata/message_pump.h"

// For its life, lets the pending Qt events run whenever a request pumps messages, so windows repaint and
// Cancel works while the request blocks the UI thread. The pump installed before comes back afterwards.
class ScopedUiMessagePump {
 public:
  ScopedUiMessagePump();
  ~ScopedUiMessagePump();
  ScopedUiMessagePump(const ScopedUiMessagePump&) = delete;
  ScopedUiMessagePump& operator=(const ScopedUiMessagePump&) = delete;

 private:
  MessagePump previous;
};
