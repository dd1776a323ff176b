#pragma once
#include <QString>
#include <QWidget>
#include <optional>
#include <string>

#include "portfolio/checks/holding_checks.h"

class CDlgStockHoldingMargin;
class CDlgStockHoldingPurchase;
class CDlgStockHoldingSale;
class CDlgStockHoldingTargets;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class VLStockHoldingItem;

// The security page of the position dialog: symbol, quantity and comment over the inner pages
// " Purchase ", " Targets ", " Margin Equity " and, for a sold position, " Sale ". It maps its fields to
// a StockHoldingEntry and back; the checks themselves are CheckStockHolding.
class CDlgStockHolding : public QWidget {
  Q_OBJECT

 public:
  // `editing`: the symbol is fixed and only "Change symbol" alters it. `baseCurrency`: the portfolio's,
  // against which the rates the broker charged are typed; empty: no rate rows.
  CDlgStockHolding(const VLStockHoldingItem& holding, bool editing, QWidget* parent = nullptr,
                   const std::string& baseCurrency = {});

  StockHoldingEntry Entry() const;
  // Runs the checks; on failure shows the message, switches to the inner page and focuses the field.
  bool CheckAndStore(VLStockHoldingItem& holding);
  // The symbol chosen with "Change symbol" when it differs from the position's.
  const std::optional<std::string>& NewSymbol() const { return newSymbol; }

  QLineEdit* symbol = nullptr;
  QLineEdit* quantity = nullptr;
  QLineEdit* comment = nullptr;
  QLineEdit* currency = nullptr;  // the position's own currency; empty: its exchange's
  QLabel* information = nullptr;
  QTabWidget* innerTabs = nullptr;
  CDlgStockHoldingPurchase* purchase = nullptr;
  CDlgStockHoldingTargets* targets = nullptr;
  CDlgStockHoldingMargin* margin = nullptr;
  CDlgStockHoldingSale* sale = nullptr;  // null unless the position is sold

 private:
  void Fill(const VLStockHoldingItem& holding);
  void ShowFailure(const EntryCheck& check);
  void OnSymbolFinder();
  void OnChangeSymbol();
  void OnPriceFinder(QLineEdit* price, const std::optional<int64_t>& date);

  bool editing;
  std::string baseCurrency;
  std::string originalSymbol;
  std::optional<std::string> newSymbol;
};
