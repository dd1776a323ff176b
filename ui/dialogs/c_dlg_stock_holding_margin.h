#pragma once
#include <QWidget>

class QCheckBox;
class QLineEdit;

// The " Margin Equity " page: whether the security is marginable, at what percentage and above which
// per-share price.
class CDlgStockHoldingMargin : public QWidget {
  Q_OBJECT

 public:
  explicit CDlgStockHoldingMargin(QWidget* parent = nullptr);

  QCheckBox* marginable = nullptr;
  QLineEdit* percent = nullptr;
  QLineEdit* threshold = nullptr;
};
