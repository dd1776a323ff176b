#pragma once
#include <QStringList>

class QLineEdit;
class QListWidget;
class QWidget;

// The symbol list of the chart and news windows: "Add Symbol" and "Remove" work the same in both.

// Moves the trimmed symbol of `edit` into `list` and `symbols` and empties the edit. An empty edit shows
// the missing-symbol message, focuses the edit and returns false.
bool AddSymbolFromEdit(QWidget* parent, QLineEdit* edit, QListWidget* list, QStringList& symbols);

// Deletes the selected rows and rebuilds `symbols` from what is left. Without a selection it shows the
// select-to-remove message, focuses the list and returns false.
bool RemoveSelectedSymbols(QWidget* parent, QListWidget* list, QStringList& symbols);
