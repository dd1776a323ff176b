#include "ui/widgets/string_table.h"

#include <map>

namespace {

const std::map<StringId, const char*>& Table() {
  static const std::map<StringId, const char*> table = {
      {StringId::UpdatedAt, "Updated: %s"},
      {StringId::DatabaseCreateError, "[ %s ]\n\nVellumar was unable to create this database\nfile."},
      {StringId::DatabaseOpenError,
       "An error occured while opening the Vellumar\ndatabase.  The database file may be corrupt."},
      {StringId::BackupFolderCreateError, "[ %s ]\n\nVellumar was unable to create this backup folder."},
      {StringId::BackupFolderFullError,
       "[ %s ]\n\nVellumar was unable to backup its database to this folder."},
      {StringId::BackupCreateError, "[ %s ]\n\nVellumar was unable to create this backup of its database."},
      {StringId::BackupConfirm, "[ %s ]\n\nVellumar will save a backup copy of its database to this file."},
      {StringId::AppTitle, "Vellumar!"},
  };
  return table;
}

}  // namespace

QString LoadString(StringId id) {
  auto it = Table().find(id);
  return it == Table().end() ? QString() : QString::fromUtf8(it->second);
}

QString FormatString(StringId id, const QString& argument) {
  QString text = LoadString(id);
  const qsizetype at = text.indexOf(QStringLiteral("%s"));
  if (at >= 0) text.replace(at, 2, argument);
  return text;
}

QString LoadString(int id) {
  return LoadString(static_cast<StringId>(id));
}

QString FormatString(int id, const QString& argument) {
  return FormatString(static_cast<StringId>(id), argument);
}
