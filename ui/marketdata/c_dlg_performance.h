#pragma once
#include <QDate>
#include <QString>
#include <cstdint>
#include <memory>

#include "portfolio/database/vl_database_event.h"
#include "portfolio/performance/performance_calculator.h"
#include "ui/marketdata/busy_dialog.h"

class IDailyCloseSource;
class IVLCommandWindow;
class PerformanceChart;
class QAbstractButton;
class QButtonGroup;
class QDateEdit;
class QFormLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class VLDatabase;
class VLDatabaseConn;

// How one portfolio has done: its value and invested capital over a span as a chart, the time-weighted,
// annualized and money-weighted rates and the realized gains by year as text. Modeless, one per portfolio.
// The histories arrive one symbol at a time while the window repaints; Cancel (or closing the window) stops
// before the next symbol. The window reads the positions through its own connection and computes again when
// those of its portfolio change.
class ISplitEventSource;

class CDlgPerformance : public BusyDialog, public IVLDatabaseListener {
  Q_OBJECT

 public:
  enum class Span { OneMonth, SixMonths, YearToDate, OneYear, ThreeYears, All };

  // `source` gives the closes; null takes the history shared by every window of the session. The splits the
  // figures are checked against come from where the closes come from: the service's events page with the
  // session's history, else `splits` (none: no check).
  CDlgPerformance(VLDatabase& db, uint32_t portfolioId, QWidget* parent = nullptr,
                  IDailyCloseSource* source = nullptr, ISplitEventSource* splits = nullptr);
  ~CDlgPerformance() override;

  // The open window of a portfolio, or null.
  static CDlgPerformance* ForPortfolio(uint32_t portfolioId);

  uint32_t PortfolioId() const { return portfolioId; }
  const PerformanceOutcome& Outcome() const { return outcome; }
  bool IsComputing() const { return computing; }

  void OnDatabaseEvent(const VLDatabaseEvent& event) override;

 public slots:
  // Computes the figures of the span the pickers show (the whole history with "All").
  void Recompute();
  void SetSpan(Span span);
  void OnCancel();

 signals:
  void Computed();

 protected:
  bool Busy() const override { return computing; }
  void OnCloseDeferred() override { cancelRequested = true; }
  void showEvent(QShowEvent* event) override;

 private:
  void CreateControls();
  QWidget* CreateFigures();
  void SetComputing(bool on);
  bool ShowProgress(int done, int total, const std::string& symbol);
  void ShowFigures();
  void ShowYears(const PerformanceFigures& f);
  void ShowRefusal();
  // The exchange rates the portfolio's base currency needs, fetched when the database has not got them.
  void FetchMissingRates();
  void ClearFigures();
  void UpdateTitle();
  // Computes again from the event loop, once however often it is asked before then.
  void PostRecompute();

  VLDatabase& db;
  uint32_t portfolioId;
  IDailyCloseSource& source;
  std::unique_ptr<ISplitEventSource> serviceSplits;
  ISplitEventSource* splitSource = nullptr;
  std::shared_ptr<IVLCommandWindow> commandTarget;
  VLDatabaseConn* conn = nullptr;
  QString portfolioName;
  bool allHistory = true;  // the span starts at the first purchase
  PerformanceOutcome outcome;
  bool computing = false;
  bool cancelRequested = false;
  bool recomputeAfter = false;
  bool recomputePosted = false;
  QDate appliedFrom;  // the dates of the last computation
  QDate appliedTo;
  bool shownOnce = false;

  QButtonGroup* spanButtons = nullptr;
  QDateEdit* fromEdit = nullptr;
  QDateEdit* toEdit = nullptr;
  QPushButton* updateButton = nullptr;
  PerformanceChart* chart = nullptr;
  QLabel* spanLabel = nullptr;
  QLabel* ttwrorValue = nullptr;
  QLabel* annualizedValue = nullptr;
  QLabel* irrValue = nullptr;
  QLabel* priceValue = nullptr;  // the price-only rate, shown for a portfolio with income
  QFormLayout* figuresForm = nullptr;
  bool withIncome = false;  // whether the portfolio has income records, as last read
  QLabel* valueValue = nullptr;
  QLabel* investedValue = nullptr;
  QTableWidget* gainsTable = nullptr;
  QLabel* notesLabel = nullptr;
  QLabel* progressLabel = nullptr;
  QProgressBar* progressBar = nullptr;
  QPushButton* cancelButton = nullptr;
  QPushButton* closeButton = nullptr;
};
