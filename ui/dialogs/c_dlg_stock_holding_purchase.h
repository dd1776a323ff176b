#pragma once
#include <QWidget>

#include "ui/dialogs/dialog_fields.h"

class QLineEdit;
class QPushButton;

// The " Purchase " page of the security page: price paid per share, buy date and buy commission.
class CDlgStockHoldingPurchase : public QWidget {
  Q_OBJECT

 public:
  explicit CDlgStockHoldingPurchase(QWidget* parent = nullptr);

  QLineEdit* buyPrice = nullptr;
  QPushButton* priceFinder = nullptr;
  DatePickerRow buyDate;
  QLineEdit* buyCommission = nullptr;
};
