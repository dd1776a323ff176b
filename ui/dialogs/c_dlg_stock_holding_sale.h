#pragma once
#include <QWidget>

#include "ui/dialogs/dialog_fields.h"

class QLineEdit;
class QPushButton;

// The " Sale " page of a sold position: sale price per share, sale date and sale commission, and, for a
// portfolio with a base currency, the exchange rate the sale was made at.
class CDlgStockHoldingSale : public QWidget {
  Q_OBJECT

 public:
  // `baseCurrency`: the portfolio's; without one the rate row is not shown.
  explicit CDlgStockHoldingSale(QWidget* parent = nullptr, const QString& baseCurrency = {});

  QLineEdit* salePrice = nullptr;
  QPushButton* priceFinder = nullptr;
  DatePickerRow saleDate;
  QLineEdit* saleCommission = nullptr;
  QLineEdit* saleRate = nullptr;
};
