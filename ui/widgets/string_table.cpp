#include "ui/widgets/string_table.h"

#include <map>

namespace {

const std::map<int, const char*>& Table() {
  static const std::map<int, const char*> table = {
      {109, "Updated: %s"},
      {2048, "[ %s ]\n\nVellumar was unable to create this database\nfile."},
      {2049, "An error occured while opening the Vellumar\ndatabase.  The database file may be corrupt."},
      {2126, "[ %s ]\n\nVellumar was unable to create this backup folder."},
      {2127, "[ %s ]\n\nVellumar was unable to backup its database to this folder."},
      {2128, "[ %s ]\n\nVellumar was unable to create this backup of its database."},
      {2129, "[ %s ]\n\nVellumar will save a backup copy of its database to this file."},
      {57344, "Vellumar!"},
  };
  return table;
}

}  // namespace

QString LoadString(int id) {
  auto it = Table().find(id);
  return it == Table().end() ? QString() : QString::fromUtf8(it->second);
}

QString FormatString(int id, const QString& argument) {
  QString text = LoadString(id);
  const qsizetype at = text.indexOf(QStringLiteral("%s"));
  if (at >= 0) text.replace(at, 2, argument);
  return text;
}
