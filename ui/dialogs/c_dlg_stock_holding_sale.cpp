#include "ui/dialogs/c_dlg_stock_holding_sale.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

CDlgStockHoldingSale::CDlgStockHoldingSale(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("1608"));
  auto* form = new QFormLayout(this);
  priceFinder = MakeButton(this, QStringLiteral("P&rice Finder..."), QStringLiteral("salePriceFinder"));
  salePrice =
      AddEditRow(form, QStringLiteral("&Per-share sale price:"), QStringLiteral("salePrice"), priceFinder);
  saleDate = AddDateRow(form, QStringLiteral("Sal&e date:"), QStringLiteral("saleDate"));
  saleCommission = AddEditRow(form, QStringLiteral("Sale co&mmission:"), QStringLiteral("saleCommission"));
}
