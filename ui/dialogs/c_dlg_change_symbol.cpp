#include "ui/dialogs/c_dlg_change_symbol.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "portfolio/checks/sell_checks.h"
#include "ui/dialogs/dialog_fields.h"
#include "ui/dialogs/market_data_windows.h"

CDlgChangeSymbol::CDlgChangeSymbol(const QString& currentSymbol, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("1602"));
  setWindowTitle(QStringLiteral("Change Symbol"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  auto* current = new QLabel(currentSymbol, this);
  current->setObjectName(QStringLiteral("originalSymbol"));
  current->setAccessibleDescription(QStringLiteral("Original symbol"));  // spoken by the symbol it shows
  current->setTextInteractionFlags(Qt::TextSelectableByMouse);
  form->addRow(QStringLiteral("Original symbol:"), current);
  QPushButton* finder = MakeButton(this, QStringLiteral("&Symbol Finder..."), QStringLiteral("symbolFinder"));
  newSymbol = AddEditRow(form, QStringLiteral("&New symbol:"), QStringLiteral("newSymbol"), finder);
  newSymbol->setMaxLength(16);
  newSymbol->setMinimumWidth(newSymbol->fontMetrics().averageCharWidth() * 16);
  QDialogButtonBox* buttons = AddOkCancel(this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CDlgChangeSymbol::OnOk);
  connect(finder, &QPushButton::clicked, this, [this] {
    if (std::optional<QString> chosen = MarketDataWindows().FindSymbol(this, newSymbol->text())) {
      newSymbol->setText(*chosen);
    }
    newSymbol->setFocus();
  });
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  newSymbol->setFocus();
}

void CDlgChangeSymbol::OnOk() {
  std::string typed;
  const EntryCheck check = CheckNewSymbol(ToStd(newSymbol->text()), typed);
  if (!check.Ok()) {
    ShowCheckMessage(this, check);
    FocusEdit(newSymbol);
    return;
  }
  result = ToQt(typed);
  accept();
}
