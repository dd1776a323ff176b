#pragma once
#include <QWidget>

class QLineEdit;

// The " Targets " page: per-share buy, sell and stop-loss target prices (empty = none).
class CDlgStockHoldingTargets : public QWidget {
  Q_OBJECT

 public:
  explicit CDlgStockHoldingTargets(QWidget* parent = nullptr);

  QLineEdit* buyTarget = nullptr;
  QLineEdit* sellTarget = nullptr;
  QLineEdit* stopLossTarget = nullptr;
};
