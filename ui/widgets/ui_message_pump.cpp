#include "ui/widgets/ui_message_pump.h"

#include <QCoreApplication>

ScopedUiMessagePump::ScopedUiMessagePump()
    : previous(SetMessagePump([] { QCoreApplication::processEvents(QEventLoop::AllEvents); })) {}

ScopedUiMessagePump::~ScopedUiMessagePump() {
  SetMessagePump(std::move(previous));
}
