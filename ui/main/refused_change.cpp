#include "ui/main/refused_change.h"

#include "portfolio/database/vl_database.h"
#include "ui/widgets/string_table.h"

namespace {
// Refusals that are not the change's fault, and what the box adds below its message about them.
struct RefusalDetail {
  int32_t code;
  StringId detail;
};
constexpr RefusalDetail kRefusalDetails[] = {
    {kVLBusy, StringId::DatabaseBusy},
    {kVLStoreFull, StringId::DatabaseFull},
};
}  // namespace

void ShowRefusedChange(QWidget* parent, StringId id, int32_t code, MessageIcon icon, const QStringList& arguments) {
  QString detail;
  for (const RefusalDetail& refusal : kRefusalDetails) {
    if (refusal.code == code) detail = LoadString(refusal.detail);
  }
  ShowMessageWithDetail(parent, id, detail, icon, MessageButtons::Ok, arguments);
}
