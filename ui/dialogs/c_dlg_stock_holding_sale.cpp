#include "ui/dialogs/c_dlg_stock_holding_sale.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

CDlgStockHoldingSale::CDlgStockHoldingSale(QWidget* parent, const QString& baseCurrency) : QWidget(parent) {
  setObjectName(QStringLiteral("1608"));
  auto* form = new QFormLayout(this);
  priceFinder = MakeButton(this, QStringLiteral("P&rice Finder..."), QStringLiteral("salePriceFinder"));
  salePrice =
      AddEditRow(form, QStringLiteral("&Per-share sale price:"), QStringLiteral("salePrice"), priceFinder);
  saleDate = AddDateRow(form, QStringLiteral("Sal&e date:"), QStringLiteral("saleDate"));
  saleCommission = AddEditRow(form, QStringLiteral("Sale co&mmission:"), QStringLiteral("saleCommission"));
  saleRate = AddRateRow(form, QStringLiteral("Sale ra&te per 1 %1:"), QStringLiteral("saleRate"),
                        baseCurrency, QStringLiteral("the sale date"));
}
