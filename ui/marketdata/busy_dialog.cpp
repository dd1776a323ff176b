#include "ui/marketdata/busy_dialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>

BusyDialog::BusyDialog(QWidget* parent, Qt::WindowFlags flags, CloseWhileBusy closePolicy)
    : QDialog(parent, flags), policy(closePolicy) {}

bool BusyDialog::HoldClose() {
  if (!Busy()) return false;
  if (policy == CloseWhileBusy::Beep) {
    QApplication::beep();
    return true;
  }
  closeWhenDone = true;
  OnCloseDeferred();
  return true;
}

void BusyDialog::reject() {
  if (HoldClose()) return;
  QDialog::reject();
}

void BusyDialog::closeEvent(QCloseEvent* event) {
  if (HoldClose()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void BusyDialog::EndBusy() {
  if (!closeWhenDone) return;
  // Reset first: a window shown again later starts without a pending close.
  closeWhenDone = false;
  close();
}

void BusyDialog::SelectOnEnter(QAbstractItemView* list, std::function<void()> select) {
  enterList = list;
  onEnter = std::move(select);
  list->installEventFilter(this);
}

void BusyDialog::Post(std::function<void()> call) {
  QPointer<BusyDialog> self(this);
  QMetaObject::invokeMethod(
      this,
      [self, call = std::move(call)] {
        if (self) call();
      },
      Qt::QueuedConnection);
}

bool BusyDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == enterList && enterList != nullptr && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      // Reached by Tab, the list shows its focused row without selecting it; Enter means that row.
      const QModelIndex current = enterList->currentIndex();
      if (current.isValid() && !enterList->selectionModel()->isSelected(current))
        enterList->selectionModel()->select(current,
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
      if (onEnter) onEnter();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}
