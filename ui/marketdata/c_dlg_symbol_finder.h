#pragma once
#include <QString>

#include "marketdata/command_target.h"
#include "marketdata/symbol_finder.h"
#include "ui/marketdata/busy_dialog.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTreeWidget;

// Looks up ticker symbols by name, or lists the exchange indexes, and lets the user pick one. The search
// runs on the UI thread page by page; while it runs the window repaints, Cancel stops it after the current
// page, and nothing can start a second search. The caller reads ChosenSymbol() after OK.
class CDlgSymbolFinder : public BusyDialog, public ICommandTarget {
  Q_OBJECT

 public:
  static constexpr uint32_t kProgressCommand = 32873;

  explicit CDlgSymbolFinder(QWidget* parent = nullptr);
  ~CDlgSymbolFinder() override;

  // Before the dialog is shown: the text put into the search edit, and whether Select is offered.
  void SetInitialText(const QString& text);
  void SetMaySelect(bool maySelect);
  QString ChosenSymbol() const { return chosenSymbol; }
  bool IsSearching() const { return searching; }
  int SearchType() const { return searchType; }

  void OnCommand(uint32_t commandId) override;

 public slots:
  void OnFind();
  void OnSelect();
  void OnCancel();

 signals:
  // A search has ended and the list shows its results.
  void SearchFinished();

 protected:
  bool Busy() const override { return searching; }

 private:
  void CreateControls();
  void OnTypeChanged();
  void SetSearching(bool on);
  void ShowProgress(int percent);
  void FillResults(const QString& text);
  void PostSelect();

  SymbolFinder finder;
  bool maySelect = true;
  bool searching = false;
  int searchType = SymbolFinder::kStocks;
  QString chosenSymbol;

  QLineEdit* searchEdit = nullptr;
  QPushButton* findButton = nullptr;
  QCheckBox* worldwideCheck = nullptr;
  QButtonGroup* typeGroup = nullptr;
  QTreeWidget* resultList = nullptr;
  QPushButton* selectButton = nullptr;
  QPushButton* closeButton = nullptr;
  QPushButton* cancelButton = nullptr;
  QProgressBar* progressBar = nullptr;
  QLabel* percentLabel = nullptr;
  QLabel* progressLabel = nullptr;
  QStatusBar* statusBar = nullptr;
  SymbolFinder::Results results;
};
