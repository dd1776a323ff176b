#pragma once
#include <QString>
#include <QStringList>
#include <type_traits>

// The user-visible texts of the application, by their string numbers. "%s" and "%d" are filled, in order,
// with the arguments (FormatString); "%%" is a percent sign. An unknown number gives an empty text.
QString LoadString(int id);
QString FormatString(int id, const QStringList& arguments);
QString FormatString(int id, const QString& argument);
// Fills the placeholders of `pattern` as FormatString does; missing arguments leave the placeholder out.
QString FormatText(const QString& pattern, const QStringList& arguments);
// Every number the table knows, ascending.
QList<int> StringTableIds();

// The same for an enumeration of string numbers.
template <class Id>
  requires std::is_enum_v<Id>
QString LoadString(Id id) {
  return LoadString(static_cast<int>(id));
}
template <class Id>
  requires std::is_enum_v<Id>
QString FormatString(Id id, const QStringList& arguments) {
  return FormatString(static_cast<int>(id), arguments);
}
