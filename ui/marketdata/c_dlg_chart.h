#pragma once
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

#include "marketdata/chart_provider.h"
#include "marketdata/chart_provider_params.h"
#include "ui/marketdata/busy_dialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QTextBrowser;

// A modeless window with the price chart of one or more symbols and a quote line for the first. The chart
// image is downloaded into a temporary GIF file in the data folder (beside the program when it runs
// portably), wrapped in a temporary HTML page and
// shown in a text browser; both files go when the window is destroyed. While an update runs the window
// repaints, nothing starts a second update, and a close waits until the update has ended.
class CDlgChart : public BusyDialog {
  Q_OBJECT

 public:
  // `provider` draws the charts; null uses the alternative chart service.
  explicit CDlgChart(const QStringList& symbols, QWidget* parent = nullptr,
                     std::unique_ptr<ChartProvider> provider = nullptr);
  ~CDlgChart() override;

  const QStringList& Symbols() const { return symbols; }
  const ChartProviderParams& Params() const { return params; }
  QString GifPath() const { return gifPath; }
  QString HtmlPath() const { return htmlPath; }
  // The page text last shown, as read back from the HTML file.
  QString PageText() const { return pageText; }
  bool IsUpdating() const { return updating; }

 public slots:
  void UpdateChart();
  void OnAddSymbol();
  void OnRemove();
  void SetPeriod(int period);

 signals:
  void ChartUpdated();

 protected:
  void showEvent(QShowEvent* event) override;
  void reject() override;
  void closeEvent(QCloseEvent* event) override;
  bool Busy() const override { return updating; }

 private:
  void CreateControls();
  void ReadOptions();
  void ShowQuoteLine();
  void SetBusy(bool busy);

  QStringList symbols;
  ChartProviderParams params;
  std::unique_ptr<ChartProvider> provider;
  QString gifPath;
  QString htmlPath;
  QString pageText;
  bool updating = false;
  bool closing = false;
  bool shownOnce = false;

  QLineEdit* symbolEdit = nullptr;
  QPushButton* addButton = nullptr;
  QPushButton* finderButton = nullptr;
  QListWidget* symbolList = nullptr;
  QPushButton* removeButton = nullptr;
  QPushButton* intervalButton = nullptr;
  QMenu* periodMenu = nullptr;
  QCheckBox* average50 = nullptr;
  QCheckBox* average200 = nullptr;
  QCheckBox* compareDjia = nullptr;
  QCheckBox* compareNasdaq = nullptr;
  QCheckBox* compareSp500 = nullptr;
  QPushButton* updateButton = nullptr;
  QPushButton* closeButton = nullptr;
  QTextBrowser* chartArea = nullptr;
  QLabel* gettingLabel = nullptr;
  QLabel* quoteLine = nullptr;
};
