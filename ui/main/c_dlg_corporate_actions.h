#pragma once
#include <QDialog>
#include <QTimer>
#include <cstdint>
#include <memory>

class ISplitEventSource;
struct SplitCheck;
class QLabel;
class QPushButton;
class QTreeWidget;
class VLDatabase;
class VLDatabaseConn;

// The recorded splits and symbol changes, oldest first, with Record Split (the dialog) and Check for Splits
// (the market-data service's splits of the held symbols that are not recorded, offered to be recorded).
// Modeless; it follows the database as any program changes it.
class CDlgCorporateActions : public QDialog {
  Q_OBJECT

 public:
  // `conn` is the main window's connection, which outlives this window (its child).
  CDlgCorporateActions(VLDatabase& database, VLDatabaseConn* conn, QWidget* parent);
  ~CDlgCorporateActions() override;

  // Lists the actions again when the database changed since (or always, with `force`).
  void Reload(bool force = false);
  // Asks the market-data service (or the source set for tests) and offers what it found.
  void CheckForSplits();
  // Offers the splits a check found, ticked, and records those the user keeps, oldest first.
  void OfferSplits(const SplitCheck& check);
  QTreeWidget* List() const { return list; }
  QLabel* Note() const { return note; }
  // Tests: where Check for Splits asks (the window keeps using it; null: the service again).
  void SetSplitSource(ISplitEventSource* source) { testSource = source; }

 signals:
  void RecordSplitRequested();

 private:
  VLDatabase& database;
  VLDatabaseConn* conn;
  QTreeWidget* list = nullptr;
  QLabel* note = nullptr;
  QPushButton* checkButton = nullptr;
  QTimer timer;
  uint64_t shownFingerprint = 0;
  bool shown = false;
  ISplitEventSource* testSource = nullptr;
};
