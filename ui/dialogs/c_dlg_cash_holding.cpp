#include "ui/dialogs/c_dlg_cash_holding.h"

#include <QFormLayout>
#include <QLineEdit>

#include "ui/dialogs/dialog_fields.h"

CDlgCashHolding::CDlgCashHolding(uint32_t cents, const std::string& text, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("1590"));
  auto* form = new QFormLayout(this);
  amount = AddEditRow(form, QStringLiteral("&Amount:"), QStringLiteral("amount"));
  description = AddEditRow(form, QStringLiteral("&Description:"), QStringLiteral("description"));
  amount->setText(CentsText(cents, true));
  description->setText(ToQt(text));
}

MoneyHoldingEntry CDlgCashHolding::Entry() const {
  return MoneyHoldingEntry{ToStd(amount->text()), ToStd(description->text())};
}

void CDlgCashHolding::ShowFailure(const EntryCheck& check) {
  ShowCheckMessage(this, check);
  FocusEdit(check.field == EntryField::Description ? description : amount);
}

CDlgMarginHolding::CDlgMarginHolding(uint32_t amountOwed, const std::string& text, QWidget* parent)
    : CDlgCashHolding(amountOwed, text, parent) {
  setObjectName(QStringLiteral("1591"));
}
