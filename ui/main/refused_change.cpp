#include "ui/main/refused_change.h"

#include "portfolio/database/vl_database.h"
#include "ui/widgets/string_table.h"

void ShowRefusedChange(QWidget* parent, StringId id, int32_t code, MessageIcon icon, const QStringList& arguments) {
  const QString detail = code == kVLBusy ? LoadString(StringId::DatabaseBusy) : QString();
  ShowMessageWithDetail(parent, id, detail, icon, MessageButtons::Ok, arguments);
}
