#include "ui/main/record_lists.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

QTreeWidget* MakeRecordList(QWidget* parent, const QString& objectName, const QString& name,
                            const QStringList& headers) {
  auto* list = new QTreeWidget(parent);
  list->setObjectName(objectName);
  list->setAccessibleName(name);
  list->setColumnCount(static_cast<int>(headers.size()));
  list->setHeaderLabels(headers);
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setAllColumnsShowFocus(true);
  list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  list->header()->setStretchLastSection(true);
  return list;
}

void AddRecordCancel(QDialog* dialog, QVBoxLayout* layout) {
  auto* buttons = new QDialogButtonBox(dialog);
  QPushButton* record = buttons->addButton(QStringLiteral("&Record"), QDialogButtonBox::AcceptRole);
  record->setObjectName(QStringLiteral("record"));
  record->setAccessibleName(QStringLiteral("Record"));
  record->setDefault(true);
  QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
  cancel->setObjectName(QStringLiteral("cancel"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  layout->addWidget(buttons);
}
