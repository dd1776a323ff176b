#include "ui/main/refused_change.h"

#include "portfolio/database/vl_database.h"
#include "ui/widgets/string_table.h"

namespace {

QString ToQString(const std::string& text) {
  return QString::fromStdString(text);
}

// What goes below the command's own message.
QString Detail(const VLDatabase& database, VLResult code) {
  if (code == VLResult::Busy) return LoadString(StringId::DatabaseBusy);
  if (code == VLResult::StoreFull) return LoadString(StringId::DatabaseFull);
  if (code == VLResult::ReadOnly) {
    const FileError& cause = database.GetReadOnlyCause();
    return FormatString(StringId::DatabaseReadOnly, {ToQString(cause.path), ToQString(cause.Cause())});
  }
  const FileError& error = database.GetLastFileError();
  if (code != VLResult::Failed || !error.IsSet() || database.IsFileLost()) return {};
  return FormatString(StringId::ChangeNotSaved, {ToQString(error.path), ToQString(error.Cause())});
}

}  // namespace

void ShowRefusedChange(QWidget* parent, VLDatabase& database, VLDatabaseConn* conn, StringId id,
                       VLResult code, MessageIcon icon, const QStringList& arguments) {
  ShowMessageWithDetail(parent, id, Detail(database, code), icon, MessageButtons::Ok, arguments);
  if (code != VLResult::Failed || !database.IsFileLost()) return;
  const QString path = ToQString(database.GetPath());
  if (ShowMessage(parent, StringId::DatabaseLostWriteBack, MessageIcon::Question, MessageButtons::YesNo,
                  {path}) != MessageAnswer::Yes) {
    return;
  }
  if (database.WriteBackFile(conn) == VLResult::Ok) return;
  ShowMessage(parent, StringId::WriteBackError, MessageIcon::Error, MessageButtons::Ok,
              {path, ToQString(database.GetLastFileError().Cause())});
}
