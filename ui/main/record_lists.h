#pragma once
#include <QString>
#include <QStringList>

class QDialog;
class QTreeWidget;
class QVBoxLayout;
class QWidget;

// What the windows of recorded events (corporate actions, income) share: their flat lists and the Record
// and Cancel buttons of the proposals a check of the market-data service finds.

// A flat list of rows named `name` for a screen reader, whole rows focused, columns sized to their contents.
QTreeWidget* MakeRecordList(QWidget* parent, const QString& objectName, const QString& name,
                            const QStringList& headers);

// Record (the default, accepting) and Cancel at the foot of `layout`.
void AddRecordCancel(QDialog* dialog, QVBoxLayout* layout);
