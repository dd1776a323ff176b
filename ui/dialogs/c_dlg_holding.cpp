#include "ui/dialogs/c_dlg_holding.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/dialogs/c_dlg_cash_holding.h"
#include "ui/dialogs/c_dlg_stock_holding.h"
#include "ui/dialogs/dialog_fields.h"
#include "ui/widgets/string_table.h"

CDlgHolding::CDlgHolding(bool editing, int32_t kind, const VLHoldingItem* holding, QWidget* parent,
                         const std::string& baseCurrency)
    : QDialog(parent), editing(editing), kind(kind) {
  setObjectName(QStringLiteral("1601"));
  setWindowTitle(editing ? LoadString(StringId::EditPositionTitle) : QStringLiteral("New Position"));
  // The casts select the holding's own kind, so each copy is between two records of one kind and cannot fail.
  if (holding) {
    if (auto* s = dynamic_cast<const VLStockHoldingItem*>(holding)) (void)stock.CopyFrom(s);
    if (auto* c = dynamic_cast<const VLCashHoldingItem*>(holding)) (void)cash.CopyFrom(c);
    if (auto* m = dynamic_cast<const VLMarginHoldingItem*>(holding)) (void)margin.CopyFrom(m);
  }
  auto* layout = new QVBoxLayout(this);
  tabs = new QTabWidget(this);
  tabs->setObjectName(QStringLiteral("tabs"));
  tabs->setAccessibleName(QStringLiteral("Position kind"));
  if (!editing || kind == kHoldingStock) {
    stockPage = new CDlgStockHolding(stock, editing, tabs, baseCurrency);
    tabs->addTab(stockPage, QStringLiteral(" Security "));
  }
  if (!editing || kind == kHoldingCash) {
    cashPage = new CDlgCashHolding(cash.amount, cash.name, tabs);
    tabs->addTab(cashPage, QStringLiteral(" Cash "));
  }
  if (!editing || kind == kHoldingMargin) {
    marginPage = new CDlgMarginHolding(margin.amountOwed, margin.name, tabs);
    tabs->addTab(marginPage, QStringLiteral(" Margin Debt "));
  }
  layout->addWidget(tabs);
  QDialogButtonBox* buttons = AddOkCancel(this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CDlgHolding::OnOk);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  QWidget* pages[] = {stockPage, cashPage, marginPage};
  if (kind >= kHoldingStock && kind <= kHoldingMargin && pages[kind]) tabs->setCurrentWidget(pages[kind]);
  FocusPageOnSwitch(tabs);
  connect(tabs, &QTabWidget::currentChanged, this, [this] {
    QWidget* current = tabs->currentWidget();
    this->kind = current == cashPage ? kHoldingCash : current == marginPage ? kHoldingMargin : kHoldingStock;
  });
  if (QWidget* first = FirstEntryField(tabs->currentWidget())) first->setFocus();
}

QWidget* CDlgHolding::FirstEntryField(QWidget* page) {
  // The first control of the page that takes typing: an edited position's symbol is shown read-only.
  for (QWidget* w = page->nextInFocusChain(); w && w != page && page->isAncestorOf(w);
       w = w->nextInFocusChain()) {
    const auto* edit = qobject_cast<const QLineEdit*>(w);
    const bool typing = !qobject_cast<const QAbstractButton*>(w) && !(edit && edit->isReadOnly());
    if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && typing) return w;
  }
  return page->nextInFocusChain();
}

CDlgHolding::~CDlgHolding() = default;

std::optional<std::string> CDlgHolding::NewSymbol() const {
  return stockPage ? stockPage->NewSymbol() : std::nullopt;
}

void CDlgHolding::OnOk() {
  switch (kind) {
    case kHoldingStock:
      if (!stockPage->CheckAndStore(stock)) return;
      break;
    case kHoldingCash: {
      const EntryCheck check = CheckCashHolding(cashPage->Entry(), cash);
      if (!check.Ok()) return cashPage->ShowFailure(check);
      break;
    }
    default: {
      const EntryCheck check = CheckMarginHolding(marginPage->Entry(), margin);
      if (!check.Ok()) return marginPage->ShowFailure(check);
      break;
    }
  }
  if (commit && !commit()) return;
  accept();
}
