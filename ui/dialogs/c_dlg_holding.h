#pragma once
#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "portfolio/records/vl_cash_holding_item.h"
#include "portfolio/records/vl_margin_holding_item.h"
#include "portfolio/records/vl_stock_holding_item.h"

class CDlgCashHolding;
class CDlgMarginHolding;
class CDlgStockHolding;
class QTabWidget;

// The position dialog: a stock position, a cash position or a margin debt on the tabs " Security ",
// " Cash " and " Margin Debt " (only the edited kind's tab when editing). It edits private copies; after
// OK the caller reads the holding of Kind() and, for an edited stock position, NewSymbol().
class CDlgHolding : public QDialog {
  Q_OBJECT

 public:
  // `holding` is copied into the page of its kind; null for a new position (kind chooses the first tab).
  // `baseCurrency`: the portfolio's, for the rates the broker charged (none: no rate rows).
  CDlgHolding(bool editing, int32_t kind, const VLHoldingItem* holding, QWidget* parent = nullptr,
              const std::string& baseCurrency = {});
  ~CDlgHolding() override;

  int32_t Kind() const { return kind; }
  const VLStockHoldingItem& Stock() const { return stock; }
  const VLCashHoldingItem& Cash() const { return cash; }
  const VLMarginHoldingItem& Margin() const { return margin; }
  std::optional<std::string> NewSymbol() const;
  // Called on OK once every check has passed, to store what was entered; when it answers false (it has
  // shown why) the dialog stays open with everything typed.
  void SetCommit(std::function<bool()> store) { commit = std::move(store); }

  QTabWidget* Tabs() const { return tabs; }
  CDlgStockHolding* StockPage() const { return stockPage; }
  CDlgCashHolding* CashPage() const { return cashPage; }
  CDlgMarginHolding* MarginPage() const { return marginPage; }

 private:
  // The control a page opens on: its first enabled field that can be typed in.
  static QWidget* FirstEntryField(QWidget* page);
  void OnOk();

  bool editing;
  int32_t kind;
  VLStockHoldingItem stock;
  VLCashHoldingItem cash;
  VLMarginHoldingItem margin;
  QTabWidget* tabs = nullptr;
  CDlgStockHolding* stockPage = nullptr;
  CDlgCashHolding* cashPage = nullptr;
  CDlgMarginHolding* marginPage = nullptr;
  std::function<bool()> commit;
};
