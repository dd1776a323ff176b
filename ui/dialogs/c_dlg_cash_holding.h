#pragma once
#include <QWidget>

#include "portfolio/checks/holding_checks.h"

class QLineEdit;

// The amount page of a cash position ("&Amount:" and "&Description:"); CDlgMarginHolding is the same page
// for a margin debt.
class CDlgCashHolding : public QWidget {
  Q_OBJECT

 public:
  // `amount` in cents (0 for a new position shows an empty field).
  CDlgCashHolding(uint32_t amount, const std::string& description, QWidget* parent = nullptr);

  MoneyHoldingEntry Entry() const;
  // Shows the failed check's message and focuses its field.
  void ShowFailure(const EntryCheck& check);

  QLineEdit* amount = nullptr;
  QLineEdit* description = nullptr;
};

class CDlgMarginHolding : public CDlgCashHolding {
  Q_OBJECT

 public:
  CDlgMarginHolding(uint32_t amountOwed, const std::string& description, QWidget* parent = nullptr);
};
