#pragma once
#include <QDialog>
#include <cstdint>
#include <string>

class QListWidget;
class QPushButton;
class QStatusBar;
class VLDatabase;
class VLDatabaseConn;

// Picks the portfolio that positions are copied or moved to. The source portfolio is never listed;
// "New..." adds a portfolio on the spot. After OK, Chosen() is the picked portfolio's id.
class CDlgSelectPortfolio : public QDialog {
  Q_OBJECT

 public:
  // `leaveOut` 0 lists every portfolio; `preselect` 0 selects none. A portfolio added with "New..." starts
  // with `defaultBase` as its base currency, as one added from the main window does.
  CDlgSelectPortfolio(VLDatabase& database, VLDatabaseConn* conn, uint32_t leaveOut, uint32_t preselect,
                      QWidget* parent = nullptr, std::string defaultBase = {});

  uint32_t Chosen() const { return chosen; }
  QListWidget* List() const { return list; }
  QStatusBar* StatusBar() const { return status; }

 private:
  void Fill(uint32_t select);
  void OnSelectionChanged();
  void OnNew();
  void OnOk();

  VLDatabase& database;
  VLDatabaseConn* conn;
  uint32_t leaveOut;
  std::string defaultBase;
  uint32_t chosen = 0;
  QListWidget* list = nullptr;
  QPushButton* newButton = nullptr;
  QStatusBar* status = nullptr;
};
