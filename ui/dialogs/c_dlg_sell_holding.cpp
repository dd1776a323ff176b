#include "ui/dialogs/c_dlg_sell_holding.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "portfolio/records/vl_stock_holding_item.h"
#include "ui/dialogs/market_data_windows.h"
#include "ui/widgets/string_table.h"

CDlgSellHolding::CDlgSellHolding(const VLStockHoldingItem& position, QWidget* parent)
    : QDialog(parent), heldQty(position.qty), symbol(ToQt(position.name)) {
  setObjectName(QStringLiteral("1609"));
  setWindowTitle(QStringLiteral("Sell Position"));
  auto* layout = new QVBoxLayout(this);
  auto* info = new QLabel(this);
  info->setObjectName(QStringLiteral("information"));
  info->setText(QStringLiteral("%1 shares of %2, bought at %3")
                    .arg(QuantityText(position.qty), symbol, PriceEntryText(position.buyPricePerShare)));
  layout->addWidget(info);

  auto* form = new QFormLayout;
  layout->addLayout(form);
  auto* of = new QLabel(FormatString(StringId::SharesHeld, QStringList{QuantityText(position.qty)}), this);
  of->setObjectName(QStringLiteral("of"));
  quantity = AddEditRow(form, QStringLiteral("&Quantity:"), QStringLiteral("quantity"), of);
  quantity->setText(QuantityText(position.qty));
  QPushButton* finder = MakeButton(this, QStringLiteral("P&rice Finder..."), QStringLiteral("priceFinder"));
  salePrice = AddEditRow(form, QStringLiteral("&Per-share sale price:"), QStringLiteral("salePrice"), finder);
  saleDate = AddDateRow(form, QStringLiteral("&Sale date:"), QStringLiteral("saleDate"));
  saleCommission = AddEditRow(form, QStringLiteral("Sale co&mmission:"), QStringLiteral("saleCommission"));
  connect(finder, &QPushButton::clicked, this, [this] {
    const std::optional<int64_t> date = ReadDateRow(saleDate);
    const QDate day = date ? StoredDateToQDate(*date) : QDate::currentDate();
    if (std::optional<int64_t> cents = MarketDataWindows().FindPrice(this, symbol, day)) {
      salePrice->setText(CentsText(*cents));
    }
    salePrice->setFocus();
  });

  QDialogButtonBox* buttons = AddOkCancel(this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CDlgSellHolding::OnOk);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  FocusEdit(quantity);
}

void CDlgSellHolding::OnOk() {
  const SellEntry entry{ToStd(quantity->text()), ToStd(salePrice->text()), ReadDateRow(saleDate),
                        ToStd(saleCommission->text())};
  const EntryCheck check = CheckSell(entry, heldQty, result);
  if (check.Ok()) {
    accept();
    return;
  }
  ShowCheckMessage(this, check);
  if (check.field == EntryField::SaleDate) {
    saleDate.check->setFocus(Qt::OtherFocusReason);
    return;
  }
  QLineEdit* field = check.field == EntryField::Quantity    ? quantity
                     : check.field == EntryField::SalePrice ? salePrice
                                                            : saleCommission;
  FocusEdit(field);
}
