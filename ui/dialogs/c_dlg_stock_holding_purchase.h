#pragma once
#include <QWidget>

#include "ui/dialogs/dialog_fields.h"

class QLineEdit;
class QPushButton;

// The " Purchase " page of the security page: price paid per share, buy date and buy commission, and, for a
// portfolio with a base currency, the exchange rate the purchase was made at.
class CDlgStockHoldingPurchase : public QWidget {
  Q_OBJECT

 public:
  // `baseCurrency`: the portfolio's; without one the rate row is not shown.
  explicit CDlgStockHoldingPurchase(QWidget* parent = nullptr, const QString& baseCurrency = {});

  QLineEdit* buyPrice = nullptr;
  QPushButton* priceFinder = nullptr;
  DatePickerRow buyDate;
  QLineEdit* buyCommission = nullptr;
  QLineEdit* buyRate = nullptr;
};
