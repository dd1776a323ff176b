#pragma once
#include <QDialog>

#include "portfolio/checks/manual_price_checks.h"

class QDateEdit;
class QLineEdit;

// Asks for a price per share set by hand: the symbol (the selected position's to start with), the price and
// its day.
class CDlgSetPrice : public QDialog {
  Q_OBJECT

 public:
  explicit CDlgSetPrice(const QString& symbol, QWidget* parent = nullptr);
  // What was entered, checked, after OK.
  const ManualPriceResult& Result() const { return result; }

 private:
  void OnOk();

  QLineEdit* symbol = nullptr;
  QLineEdit* price = nullptr;
  QDateEdit* date = nullptr;
  ManualPriceResult result;
};
