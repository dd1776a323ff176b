#include "ui/dialogs/c_dlg_set_price.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "portfolio/checks/text_limits.h"
#include "portfolio/columns/clock.h"
#include "ui/dialogs/dialog_fields.h"
#include "ui/widgets/string_table.h"

CDlgSetPrice::CDlgSetPrice(const QString& initialSymbol, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("setPrice"));
  setWindowTitle(LoadString(StringId::SetPriceTitle));
  auto* layout = new QVBoxLayout(this);
  auto* info =
      new QLabel(QStringLiteral("For a symbol the market-data service does not know. Its positions show\n"
                                "their figures from the newest price set, until the service knows it."),
                 this);
  info->setObjectName(QStringLiteral("information"));
  layout->addWidget(info);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  symbol = AddEditRow(form, QStringLiteral("&Symbol:"), QStringLiteral("symbol"));
  symbol->setMaxLength(static_cast<int>(kMaxSymbolCharacters));
  symbol->setText(initialSymbol);
  price = AddEditRow(form, QStringLiteral("&Price per share:"), QStringLiteral("price"));
  date = AddDayRow(form, QStringLiteral("&Date:"), QStringLiteral("date"));
  QDialogButtonBox* buttons = AddOkCancel(this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CDlgSetPrice::OnOk);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  FocusEdit(initialSymbol.isEmpty() ? symbol : price);
}

void CDlgSetPrice::OnOk() {
  const ManualPriceEntry entry{ToStd(symbol->text()), ToStd(price->text()), QDateToStoredDate(date->date())};
  const EntryCheck check = CheckManualPrice(entry, TodayDayNumber(), result);
  if (check.Ok()) {
    accept();
    return;
  }
  ShowCheckMessage(this, check);
  if (check.field == EntryField::BuyDate) {
    date->setFocus(Qt::OtherFocusReason);
    return;
  }
  FocusEdit(check.field == EntryField::Symbol ? symbol : price);
}
