#pragma once
#include <QString>

#include "framework/string_id.h"

// The user-visible texts of the application, by their string ids. "%s" is filled with the name, path
// or symbol concerned (FormatString). An id without a text gives an empty string.
QString LoadString(StringId id);
QString FormatString(StringId id, const QString& argument);
// The same by number, for an id that arrives as a plain number.
QString LoadString(int id);
QString FormatString(int id, const QString& argument);
