#include "ui/dialogs/c_dlg_stock_holding_margin.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

CDlgStockHoldingMargin::CDlgStockHoldingMargin(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("1607"));
  // One sentence across two lines: "[x] This equity is marginable at [50] % when the per-share /
  // price is at least [5.00]".
  auto* grid = new QGridLayout(this);
  marginable = new QCheckBox(QStringLiteral("This equity is &marginable at"), this);
  marginable->setObjectName(QStringLiteral("marginable"));
  percent = new QLineEdit(this);
  percent->setObjectName(QStringLiteral("marginPercent"));
  percent->setAccessibleName(QStringLiteral("Margin equity percentage"));
  percent->setMaximumWidth(percent->fontMetrics().averageCharWidth() * 8);
  auto* percentLabel = new QLabel(QStringLiteral("% when the per-share"), this);
  auto* priceLabel = new QLabel(QStringLiteral("price is at least"), this);
  threshold = new QLineEdit(this);
  threshold->setObjectName(QStringLiteral("marginThreshold"));
  threshold->setAccessibleName(QStringLiteral("Price is at least"));
  threshold->setMaximumWidth(threshold->fontMetrics().averageCharWidth() * 14);
  priceLabel->setBuddy(threshold);
  grid->addWidget(marginable, 0, 0);
  grid->addWidget(percent, 0, 1);
  grid->addWidget(percentLabel, 0, 2);
  grid->addWidget(priceLabel, 1, 0, Qt::AlignRight);
  grid->addWidget(threshold, 1, 1, 1, 2, Qt::AlignLeft);
  grid->setColumnStretch(3, 1);
  grid->setRowStretch(2, 1);
}
