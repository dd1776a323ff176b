#pragma once
#include <QDialog>
#include <QTimer>
#include <cstdint>
#include <vector>

#include "portfolio/records/vl_income_item.h"

class IDividendSource;
class QLabel;
class QPushButton;
class QTreeWidget;
class VLDatabase;
class VLDatabaseConn;
struct IncomeFetch;

// A portfolio's income: its payments newest first, with Add, Edit, Delete and Fetch Dividends (the
// market-data service's dividends its positions were entitled to, offered to be recorded), and the totals
// by year. Modeless, one per portfolio; it follows the database as any program changes it.
class CDlgDividends : public QDialog {
  Q_OBJECT

 public:
  // `conn` is the main window's connection, which outlives this window (its child).
  CDlgDividends(VLDatabase& database, VLDatabaseConn* conn, uint32_t portfolioId, QWidget* parent);
  ~CDlgDividends() override;

  // The open window of that portfolio, if any.
  static CDlgDividends* ForPortfolio(uint32_t portfolioId);

  // Lists the payments again when the database changed since (or always, with `force`).
  void Reload(bool force = false);
  void AddPayment();
  void EditPayment();
  void DeletePayment();
  // Asks the service (or the source set for tests) and offers the payments not recorded yet.
  void FetchDividends();
  // Offers what a fetch found, ticked, and records the ones the user keeps as one change.
  void OfferPayments(const IncomeFetch& fetch);

  QTreeWidget* List() const { return list; }
  QTreeWidget* Totals() const { return totals; }
  QLabel* Note() const { return note; }
  // Tests: where Fetch Dividends asks (null: the service).
  void SetDividendSource(IDividendSource* source) { testSource = source; }

 private:
  void UpdateTitle();
  // The record of the current row; false when none is chosen.
  bool CurrentRecord(VLIncomeItem& record) const;

  VLDatabase& database;
  VLDatabaseConn* conn;
  uint32_t portfolioId;
  std::vector<VLIncomeItem> records;  // as listed, newest first
  QTreeWidget* list = nullptr;
  QTreeWidget* totals = nullptr;
  QLabel* note = nullptr;
  QPushButton* editButton = nullptr;
  QPushButton* deleteButton = nullptr;
  QTimer timer;
  uint64_t shownFingerprint = 0;
  bool shown = false;
  IDividendSource* testSource = nullptr;
};
