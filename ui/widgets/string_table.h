#pragma once
#include <QString>

// The user-visible texts of the application, by their string numbers. "%s" is filled with the name, path
// or symbol concerned (FormatString).
QString LoadString(int id);
QString FormatString(int id, const QString& argument);
