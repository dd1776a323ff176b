#pragma once
#include <QDialog>

#include "portfolio/checks/sell_checks.h"
#include "ui/dialogs/dialog_fields.h"

class QLabel;
class QLineEdit;
class VLStockHoldingItem;

// How much of a held stock position was sold, at what price, when and with what commission. After OK,
// Result() holds what the Sell command hands to the database.
class CDlgSellHolding : public QDialog {
  Q_OBJECT

 public:
  // `position` is read while the dialog is built and must hold shares.
  explicit CDlgSellHolding(const VLStockHoldingItem& position, QWidget* parent = nullptr);

  const SellResult& Result() const { return result; }

  QLineEdit* quantity = nullptr;
  QLineEdit* salePrice = nullptr;
  DatePickerRow saleDate;
  QLineEdit* saleCommission = nullptr;

 private:
  void OnOk();

  Quantity heldQty;
  QString symbol;
  SellResult result;
};
