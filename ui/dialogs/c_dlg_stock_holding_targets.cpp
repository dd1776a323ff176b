#include "ui/dialogs/c_dlg_stock_holding_targets.h"

#include <QFormLayout>
#include <QLineEdit>

#include "ui/dialogs/dialog_fields.h"

CDlgStockHoldingTargets::CDlgStockHoldingTargets(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("1606"));
  auto* form = new QFormLayout(this);
  buyTarget = AddEditRow(form, QStringLiteral("&Buy:"), QStringLiteral("buyTarget"));
  sellTarget = AddEditRow(form, QStringLiteral("S&ell:"), QStringLiteral("sellTarget"));
  stopLossTarget = AddEditRow(form, QStringLiteral("Sto&p loss:"), QStringLiteral("stopLossTarget"));
  // Screen readers hear which price each field is.
  buyTarget->setAccessibleDescription(QStringLiteral("Per-share buy target"));
  sellTarget->setAccessibleDescription(QStringLiteral("Per-share sell target"));
  stopLossTarget->setAccessibleDescription(QStringLiteral("Per-share stop loss target"));
}
