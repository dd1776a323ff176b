#include "ui/dialogs/c_dlg_stock_holding_purchase.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

CDlgStockHoldingPurchase::CDlgStockHoldingPurchase(QWidget* parent, const QString& baseCurrency)
    : QWidget(parent) {
  setObjectName(QStringLiteral("1605"));
  auto* form = new QFormLayout(this);
  priceFinder = MakeButton(this, QStringLiteral("P&rice Finder..."), QStringLiteral("buyPriceFinder"));
  buyPrice =
      AddEditRow(form, QStringLiteral("&Per-share buy price:"), QStringLiteral("buyPrice"), priceFinder);
  buyDate = AddDateRow(form, QStringLiteral("&Buy date:"), QStringLiteral("buyDate"));
  buyCommission = AddEditRow(form, QStringLiteral("Buy co&mmission:"), QStringLiteral("buyCommission"));
  buyRate = AddRateRow(form, QStringLiteral("Buy ra&te per 1 %1:"), QStringLiteral("buyRate"), baseCurrency,
                       QStringLiteral("the buy date"));
}
