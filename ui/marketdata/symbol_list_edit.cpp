#include "ui/marketdata/symbol_list_edit.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/marketdata/c_dlg_symbol_finder.h"
#include "ui/marketdata/window_helpers.h"
#include "ui/widgets/dialog_runner.h"
#include "ui/widgets/message_box.h"

SymbolListControls CreateSymbolListControls(QWidget* owner, QVBoxLayout* column, int finderId) {
  SymbolListControls c;
  auto* symbolRow = new QHBoxLayout;
  c.edit = new QLineEdit(owner);
  NameControl(c.edit, 2088, QStringLiteral("Symbol"));
  c.edit->setMaxLength(16);
  c.finder = new QPushButton(QStringLiteral("S"), owner);
  NameControl(c.finder, finderId, QStringLiteral("Symbol Finder"));
  c.finder->setToolTip(QStringLiteral("Symbol Finder"));
  c.finder->setFixedWidth(c.finder->fontMetrics().horizontalAdvance(QStringLiteral("MM")) + 16);
  symbolRow->addWidget(c.edit, 1);
  symbolRow->addWidget(c.finder);
  column->addLayout(symbolRow);
  c.add = new QPushButton(QStringLiteral("&Add Symbol"), owner);
  NameControl(c.add, 1073, c.add->text());
  column->addWidget(c.add);
  c.list = new QListWidget(owner);
  NameControl(c.list, 1074, QStringLiteral("Symbols"));
  c.list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  column->addWidget(c.list, 1);
  c.remove = new QPushButton(QStringLiteral("&Remove"), owner);
  NameControl(c.remove, 1076, c.remove->text());
  column->addWidget(c.remove);
  for (QPushButton* button : {c.finder, c.add, c.remove}) button->setAutoDefault(false);
  QLineEdit* edit = c.edit;
  QObject::connect(c.finder, &QPushButton::clicked, owner, [owner, edit] {
    ChooseSymbolInto(owner, edit);
    edit->setFocus();
  });
  return c;
}

bool ChooseSymbolInto(QWidget* parent, QLineEdit* edit) {
  CDlgSymbolFinder finder(parent);
  finder.SetInitialText(edit->text().trimmed());
  if (RunDialog(finder) != QDialog::Accepted) return false;
  edit->setText(finder.ChosenSymbol());
  return true;
}

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
