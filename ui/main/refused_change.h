#pragma once
#include <QStringList>
#include <cstdint>

#include "framework/string_id.h"
#include "portfolio/database/vl_result.h"
#include "ui/widgets/message_box.h"

class QWidget;
class VLDatabase;
class VLDatabaseConn;

// Shows the message of a change the database refused, with why below it: another program kept the file
// locked (try again), the file has no number left for another record, the database may only be read, or the
// save failed (the file and the system's reason). When the file was deleted or replaced underneath the
// window, it then offers to write the window's data back to the path, and says why when that fails too.
void ShowRefusedChange(QWidget* parent, VLDatabase& database, VLDatabaseConn* conn, StringId id,
                       VLResult code, MessageIcon icon = MessageIcon::None,
                       const QStringList& arguments = {});
