#pragma once
#include <QList>
#include <QString>
#include <QStringList>

#include "framework/string_id.h"

// The user-visible texts of the application, by their string ids. "%s" and "%d" are filled, in order, with
// the arguments (FormatString); "%%" is a percent sign. An id without a text gives an empty string.
QString LoadString(StringId id);
QString FormatString(StringId id, const QStringList& arguments);
QString FormatString(StringId id, const QString& argument);
// The same by number, for an id that arrives as a plain number.
QString LoadString(int id);
QString FormatString(int id, const QString& argument);
// Fills the placeholders of `pattern` as FormatString does; missing arguments leave the placeholder out.
QString FormatText(const QString& pattern, const QStringList& arguments);
// Every id the table has a text for, ascending.
QList<StringId> StringTableIds();
