#include "ui/dialogs/c_dlg_stock_holding.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "portfolio/checks/sell_checks.h"
#include "portfolio/records/vl_stock_holding_item.h"
#include "ui/dialogs/c_dlg_change_symbol.h"
#include "ui/dialogs/c_dlg_stock_holding_margin.h"
#include "ui/dialogs/c_dlg_stock_holding_purchase.h"
#include "ui/dialogs/c_dlg_stock_holding_sale.h"
#include "ui/dialogs/c_dlg_stock_holding_targets.h"
#include "ui/dialogs/dialog_fields.h"
#include "ui/dialogs/market_data_windows.h"
#include "ui/widgets/dialog_runner.h"
#include "ui/widgets/string_table.h"

CDlgStockHolding::CDlgStockHolding(const VLStockHoldingItem& holding, bool editing, QWidget* parent,
                                   const std::string& baseCurrency)
    : QWidget(parent), editing(editing), baseCurrency(baseCurrency), originalSymbol(holding.name) {
  setObjectName(QStringLiteral("1589"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  QPushButton* finder = MakeButton(this, QStringLiteral("Symbol &Finder..."), QStringLiteral("symbolFinder"));
  symbol = AddEditRow(form, QStringLiteral("&Symbol:"), QStringLiteral("symbol"), finder);
  symbol->setMaxLength(16);
  QPushButton* change = MakeButton(this, QStringLiteral("Change symbol"), QStringLiteral("changeSymbol"));
  form->addRow(QString(), change);
  quantity = AddEditRow(form, QStringLiteral("&Quantity:"), QStringLiteral("quantity"));
  comment = AddEditRow(form, QStringLiteral("&Comment:"), QStringLiteral("comment"));
  currency = AddEditRow(form, QStringLiteral("C&urrency:"), QStringLiteral("currency"));
  currency->setMaxLength(3);
  currency->setPlaceholderText(QStringLiteral("from the exchange"));
  currency->setAccessibleDescription(
      QStringLiteral("The currency the prices are in (USD, EUR, GBp for pence); empty: the exchange's"));
  information = new QLabel(this);
  information->setObjectName(QStringLiteral("information"));
  information->setWordWrap(true);
  information->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(information);

  innerTabs = new QTabWidget(this);
  innerTabs->setObjectName(QStringLiteral("innerTabs"));
  innerTabs->setAccessibleName(QStringLiteral("Position details"));
  purchase = new CDlgStockHoldingPurchase(innerTabs, ToQt(baseCurrency));
  targets = new CDlgStockHoldingTargets(innerTabs);
  margin = new CDlgStockHoldingMargin(innerTabs);
  innerTabs->addTab(purchase, QStringLiteral(" Purchase "));
  innerTabs->addTab(targets, QStringLiteral(" Targets "));
  innerTabs->addTab(margin, QStringLiteral(" Margin Equity "));
  if (holding.IsSold()) {
    sale = new CDlgStockHoldingSale(innerTabs, ToQt(baseCurrency));
    innerTabs->addTab(sale, QStringLiteral(" Sale "));
  }
  layout->addWidget(innerTabs);
  FocusPageOnSwitch(innerTabs);

  // An edited position keeps its symbol; only "Change symbol" alters it.
  symbol->setReadOnly(editing);
  finder->setEnabled(!editing);
  change->setEnabled(editing);
  connect(finder, &QPushButton::clicked, this, &CDlgStockHolding::OnSymbolFinder);
  connect(change, &QPushButton::clicked, this, &CDlgStockHolding::OnChangeSymbol);
  connect(purchase->priceFinder, &QPushButton::clicked, this,
          [this] { OnPriceFinder(purchase->buyPrice, ReadDateRow(purchase->buyDate)); });
  if (sale) {
    connect(sale->priceFinder, &QPushButton::clicked, this,
            [this] { OnPriceFinder(sale->salePrice, ReadDateRow(sale->saleDate)); });
  }
  setTabOrder(finder, change);
  setTabOrder(change, quantity);
  Fill(holding);
}

void CDlgStockHolding::Fill(const VLStockHoldingItem& h) {
  symbol->setText(ToQt(h.name));
  const bool fresh = !editing;
  quantity->setText(QuantityText(h.qty, fresh));
  comment->setText(ToQt(h.comment));
  currency->setText(ToQt(h.currency));
  if (editing && !h.quote->name.empty()) {
    information->setText(QStringLiteral("(%1) %2").arg(ToQt(h.name), ToQt(h.quote->name)));
  }
  purchase->buyPrice->setText(PriceEntryText(h.buyPricePerShare, fresh));
  WriteDateRow(purchase->buyDate, h.purchaseDate);
  purchase->buyCommission->setText(CentsText(h.buyCommission, fresh));
  // The rates kept against this base; those of another base stay, unseen, until one is typed.
  const bool ownRates = !baseCurrency.empty() && h.rateCurrency == baseCurrency;
  purchase->buyRate->setText(ownRates && h.buyRate.IsValid() ? ToQt(FxRateText(h.buyRate)) : QString());
  targets->buyTarget->setText(PriceEntryText(h.perShareBuyTarget, true));
  targets->sellTarget->setText(PriceEntryText(h.perShareSellTarget, true));
  targets->stopLossTarget->setText(PriceEntryText(h.perShareStopLossTarget, true));
  margin->marginable->setChecked(h.marginable);
  margin->percent->setText(h.mgnEquity != 0 ? QString::number(h.mgnEquity) : QString());
  margin->threshold->setText(CentsText(h.mgnThreshold, true));
  if (sale) {
    sale->salePrice->setText(PriceEntryText(h.salePricePerShare));
    WriteDateRow(sale->saleDate, h.saleDate);
    sale->saleCommission->setText(CentsText(h.saleCommission));
    sale->saleRate->setText(ownRates && h.saleRate.IsValid() ? ToQt(FxRateText(h.saleRate)) : QString());
  }
}

StockHoldingEntry CDlgStockHolding::Entry() const {
  StockHoldingEntry entry;
  entry.symbolFixed = editing;
  entry.symbol = ToStd(symbol->text());
  entry.quantity = ToStd(quantity->text());
  entry.comment = ToStd(comment->text());
  entry.currency = ToStd(currency->text());
  entry.buyPrice = ToStd(purchase->buyPrice->text());
  entry.buyDate = ReadDateRow(purchase->buyDate);
  entry.buyCommission = ToStd(purchase->buyCommission->text());
  entry.buyTarget = ToStd(targets->buyTarget->text());
  entry.sellTarget = ToStd(targets->sellTarget->text());
  entry.stopLossTarget = ToStd(targets->stopLossTarget->text());
  entry.marginable = margin->marginable->isChecked();
  entry.marginPercent = ToStd(margin->percent->text());
  entry.marginThreshold = ToStd(margin->threshold->text());
  entry.sold = sale != nullptr;
  if (sale) {
    entry.salePrice = ToStd(sale->salePrice->text());
    entry.saleDate = ReadDateRow(sale->saleDate);
    entry.saleCommission = ToStd(sale->saleCommission->text());
  }
  if (!baseCurrency.empty()) {
    entry.baseCurrency = baseCurrency;
    entry.buyRate = ToStd(purchase->buyRate->text());
    if (sale) entry.saleRate = ToStd(sale->saleRate->text());
  }
  return entry;
}

bool CDlgStockHolding::CheckAndStore(VLStockHoldingItem& holding) {
  const auto ask = [this](StringId question) {
    return ShowMessage(this, question, MessageIcon::Question, MessageButtons::YesNo) == MessageAnswer::Yes;
  };
  const EntryCheck check = CheckStockHolding(Entry(), ask, holding);
  if (check.Ok()) return true;
  ShowFailure(check);
  return false;
}

void CDlgStockHolding::ShowFailure(const EntryCheck& check) {
  ShowCheckMessage(this, check);
  switch (check.page) {
    case EntryPage::Purchase:
      innerTabs->setCurrentWidget(purchase);
      break;
    case EntryPage::Targets:
      innerTabs->setCurrentWidget(targets);
      break;
    case EntryPage::MarginEquity:
      innerTabs->setCurrentWidget(margin);
      break;
    case EntryPage::Sale:
      if (sale) innerTabs->setCurrentWidget(sale);
      break;
    case EntryPage::None:
      break;
  }
  QWidget* field = nullptr;
  switch (check.field) {
    case EntryField::Symbol:
      field = symbol;
      break;
    case EntryField::Quantity:
      field = quantity;
      break;
    case EntryField::BuyPrice:
      field = purchase->buyPrice;
      break;
    case EntryField::BuyDate:
      field = purchase->buyDate.check;
      break;
    case EntryField::BuyCommission:
      field = purchase->buyCommission;
      break;
    case EntryField::BuyTarget:
      field = targets->buyTarget;
      break;
    case EntryField::SellTarget:
      field = targets->sellTarget;
      break;
    case EntryField::StopLossTarget:
      field = targets->stopLossTarget;
      break;
    case EntryField::MarginPercent:
      field = margin->percent;
      break;
    case EntryField::MarginThreshold:
      field = margin->threshold;
      break;
    case EntryField::SalePrice:
      field = sale ? sale->salePrice : nullptr;
      break;
    case EntryField::SaleDate:
      field = sale ? sale->saleDate.check : nullptr;
      break;
    case EntryField::SaleCommission:
      field = sale ? sale->saleCommission : nullptr;
      break;
    case EntryField::Comment:
      field = comment;
      break;
    case EntryField::Currency:
      field = currency;
      break;
    case EntryField::BuyRate:
      field = purchase->buyRate;
      break;
    case EntryField::SaleRate:
      field = sale ? sale->saleRate : nullptr;
      break;
    default:
      break;
  }
  if (auto* edit = qobject_cast<QLineEdit*>(field)) {
    FocusEdit(edit);
  } else if (field) {
    field->setFocus(Qt::OtherFocusReason);
  }
}

void CDlgStockHolding::OnSymbolFinder() {
  if (std::optional<QString> chosen = MarketDataWindows().FindSymbol(this, symbol->text()))
    symbol->setText(*chosen);
  symbol->setFocus();
}

void CDlgStockHolding::OnChangeSymbol() {
  CDlgChangeSymbol dialog(ToQt(newSymbol.value_or(originalSymbol)), this);
  if (RunDialog(dialog) != QDialog::Accepted) return;
  newSymbol = ChangedSymbol(ToStd(dialog.NewSymbol()), originalSymbol);
  if (newSymbol) {
    symbol->setText(ToQt(*newSymbol));
    information->setText(
        QStringLiteral("Symbol changed from %1 to %2").arg(ToQt(originalSymbol), ToQt(*newSymbol)));
  } else {
    symbol->setText(ToQt(originalSymbol));
    information->clear();
  }
}

void CDlgStockHolding::OnPriceFinder(QLineEdit* price, const std::optional<int64_t>& date) {
  const QDate day = date ? StoredDateToQDate(*date) : QDate::currentDate();
  if (std::optional<int64_t> cents = MarketDataWindows().FindPrice(this, symbol->text().trimmed(), day)) {
    price->setText(CentsText(*cents));
  }
  price->setFocus();
}
