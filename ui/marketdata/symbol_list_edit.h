#pragma once
#include <QStringList>

class QLineEdit;
class QListWidget;
class QPushButton;
class QVBoxLayout;
class QWidget;

// The symbol list of the chart and news windows: the same controls, and "Add Symbol" and "Remove" work the
// same in both.

struct SymbolListControls {
  QLineEdit* edit = nullptr;
  QPushButton* finder = nullptr;  // "S": the symbol finder for the edit
  QPushButton* add = nullptr;
  QListWidget* list = nullptr;
  QPushButton* remove = nullptr;
};

// Creates the controls in `owner`, top to bottom in `column`: the edit with "S" beside it, "Add Symbol", the
// list (taking the column's spare height) and "Remove". `finderId` is the "S" button's id in that window.
// "S" is wired to the symbol finder; Add and Remove are left to the window.
SymbolListControls CreateSymbolListControls(QWidget* owner, QVBoxLayout* column, int finderId);

// Opens the symbol finder on the trimmed text of `edit` and puts the chosen symbol into it; false when the
// user cancelled.
bool ChooseSymbolInto(QWidget* parent, QLineEdit* edit);

// Moves the trimmed symbol of `edit` into `list` and `symbols` and empties the edit. An empty edit shows
// the missing-symbol message, focuses the edit and returns false.
bool AddSymbolFromEdit(QWidget* parent, QLineEdit* edit, QListWidget* list, QStringList& symbols);

// Deletes the selected rows and rebuilds `symbols` from what is left. Without a selection it shows the
// select-to-remove message, focuses the list and returns false.
bool RemoveSelectedSymbols(QWidget* parent, QListWidget* list, QStringList& symbols);
