#pragma once
#include <functional>

// While a request runs, the fetch loop keeps the user interface alive by calling the installed
// message pump (the UI installs one that processes pending events). None is installed by default.
using MessagePump = std::function<void()>;

// Installs `pump` (an empty function removes it) and returns the one installed before.
MessagePump SetMessagePump(MessagePump pump);

// Processes pending messages through the installed pump; does nothing when none is installed.
void PumpMessages();
