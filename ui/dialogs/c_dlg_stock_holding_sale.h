#pragma once
#include <QWidget>

#include "ui/dialogs/dialog_fields.h"

class QLineEdit;
class QPushButton;

// The " Sale " page of a sold position: sale price per share, sale date and sale commission.
class CDlgStockHoldingSale : public QWidget {
  Q_OBJECT

 public:
  explicit CDlgStockHoldingSale(QWidget* parent = nullptr);

  QLineEdit* salePrice = nullptr;
  QPushButton* priceFinder = nullptr;
  DatePickerRow saleDate;
  QLineEdit* saleCommission = nullptr;
};
