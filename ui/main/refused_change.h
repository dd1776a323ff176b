#pragma once
#include <QStringList>
#include <cstdint>

#include "framework/string_id.h"
#include "ui/widgets/message_box.h"

class QWidget;

// Shows the message of a change the database refused. When another program kept the file locked for the
// whole wait (the database's busy result), the box also says so, so that the user knows to try again
// rather than suspect the file; likewise when the file has no number left for another record.
void ShowRefusedChange(QWidget* parent, StringId id, int32_t code, MessageIcon icon = MessageIcon::None,
                       const QStringList& arguments = {});
