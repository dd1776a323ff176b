#include "ui/marketdata/symbol_list_edit.h"

#include <QLineEdit>
#include <QListWidget>

#include "ui/widgets/message_box.h"

bool AddSymbolFromEdit(QWidget* parent, QLineEdit* edit, QListWidget* list, QStringList& symbols) {
  const QString symbol = edit->text().trimmed();
  if (symbol.isEmpty()) {
    ShowMessage(parent, StringId::SymbolMissing);
    edit->setFocus();
    return false;
  }
  symbols.append(symbol);
  list->addItem(symbol);
  edit->clear();
  return true;
}

bool RemoveSelectedSymbols(QWidget* parent, QListWidget* list, QStringList& symbols) {
  const QList<QListWidgetItem*> selected = list->selectedItems();
  if (selected.isEmpty()) {
    ShowMessage(parent, StringId::SelectSymbolsToRemove);
    list->setFocus();
    return false;
  }
  for (QListWidgetItem* item : selected) delete item;
  symbols.clear();
  for (int i = 0; i < list->count(); ++i) symbols.append(list->item(i)->text());
  return true;
}
