#pragma once
#include <QDate>
#include <QString>
#include <cstdint>

#include "marketdata/historical_price_provider.h"
#include "ui/marketdata/busy_dialog.h"

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// Shows the daily prices of one symbol for one calendar month and lets the user pick a day's price. Opened
// with a symbol, it searches at once. The caller reads ChosenPrice() and ChosenDate() after OK.
class CDlgHistoricalPriceFinder : public BusyDialog {
  Q_OBJECT

 public:
  explicit CDlgHistoricalPriceFinder(QWidget* parent = nullptr);
  ~CDlgHistoricalPriceFinder() override;

  // Before the dialog is shown.
  void SetInitialSymbol(const QString& symbol);
  void SetInitialDate(const QDate& date);  // the month shown; an invalid date keeps the current month
  void SetMaySelect(bool maySelect);

  QString ChosenPrice() const { return chosenPrice; }
  int64_t ChosenDate() const { return chosenDate; }  // local midnight of the chosen day
  QDate PickedMonth() const;
  bool IsFetching() const { return fetching; }

 public slots:
  void OnFind();
  void OnSelect();

 signals:
  void FindFinished();

 protected:
  void showEvent(QShowEvent* event) override;
  bool Busy() const override { return fetching; }

 private:
  void CreateControls();
  void OnSymbolFinder();
  void PostSelect();

  HistoricalPriceProvider provider;
  HistoricalPriceProvider::Results results;
  bool maySelect = true;
  bool fetching = false;
  bool shownOnce = false;
  QString initialSymbol;
  QString chosenPrice;
  int64_t chosenDate = 0;

  QLineEdit* symbolEdit = nullptr;
  QPushButton* finderButton = nullptr;
  QDateEdit* monthPicker = nullptr;
  QPushButton* findButton = nullptr;
  QCheckBox* adjustCheck = nullptr;
  QLabel* resultsLabel = nullptr;
  QTreeWidget* resultList = nullptr;
  QPushButton* selectButton = nullptr;
  QPushButton* closeButton = nullptr;
};
