#pragma once
#include <QDialog>
#include <cstdint>
#include <memory>
#include <string>

#include "portfolio/exchange/import_reading.h"

class ImportMappingPanel;
class ImportPreviewTable;
class ImportProfiles;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QVBoxLayout;
class VLDatabase;
class VLDatabaseConn;
class VLGeneralPrefs;

// "Import Portfolios": the file, the form it is read in (found from its content, or chosen), the portfolio
// the positions go into (those a Vellumar file names, an existing one or a new one), the mapping of a plain
// CSV file with its profiles, and what the import would do: a preview of the first rows with every failing
// cell marked, the list of problems, and how many rows are added and how many are already there. The file
// is read again whenever a choice changes; a large file shows its progress and can be stopped. OK imports in
// one change of the database, or, while the file has problems, says so and keeps the dialog open. The
// choices are remembered ("ImportFile", "ImportFormat", "ImportExportCash", "ImportExportMargin",
// "ImportExportIndex").
class CDlgImportPortfolios : public QDialog {
  Q_OBJECT

 public:
  // `profilesPath`: where the mapping profiles are kept. `current` is offered as the existing portfolio.
  CDlgImportPortfolios(VLDatabase& database, VLDatabaseConn* conn, VLGeneralPrefs& prefs,
                       const std::string& profilesPath, uint32_t current, QWidget* parent = nullptr);
  ~CDlgImportPortfolios() override;

  // After OK: the portfolio to show, the first the positions went into.
  uint32_t ImportedPortfolio() const { return importedPortfolio; }
  // Reads the file as the controls say (also called by every change of them).
  void ReadFile();

  QLineEdit* File() const { return file; }
  QComboBox* Format() const { return format; }
  QLabel* FormatFound() const { return formatFound; }
  QRadioButton* NamedInFile() const { return namedInFile; }
  QRadioButton* Existing() const { return existing; }
  QComboBox* ExistingPortfolio() const { return existingPortfolio; }
  QRadioButton* NewPortfolio() const { return newPortfolio; }
  QLineEdit* NewPortfolioName() const { return newName; }
  ImportMappingPanel* Mapping() const { return mapping; }
  ImportPreviewTable* Preview() const { return preview; }
  QListWidget* Problems() const { return problems; }
  QLabel* Summary() const { return summary; }
  QCheckBox* Cash() const { return cash; }
  QCheckBox* Margin() const { return margin; }
  QCheckBox* Indexes() const { return indexes; }
  QCheckBox* Duplicates() const { return duplicates; }
  QCheckBox* Opening() const { return opening; }
  QProgressBar* Progress() const { return progress; }
  QPushButton* Stop() const { return stop; }

 private:
  // What to take besides the stock positions (cash, margin, indexes, rows already there, a statement's
  // holdings), and below them the preview, the problems and the summary.
  void BuildChecks(QVBoxLayout* contentLayout);
  void BuildResults(QVBoxLayout* layout);
  void BuildFileRows(class QFormLayout* form);
  void BuildTarget(QVBoxLayout* layout, uint32_t current);
  void OnBrowse();
  void OnOk();
  ExchangeFormat ChosenFormat() const;  // the "Read as" choice
  ImportOptions Options() const;
  std::string TargetName() const;
  // What the database would make of the reading: the counts, or the problems that refuse it.
  void Trial();
  void ShowReading();
  bool OnProgress(size_t done, size_t total);
  void SetBusy(bool busy);

  VLDatabase& database;
  VLDatabaseConn* conn;
  VLGeneralPrefs& prefs;
  std::unique_ptr<ImportProfiles> profiles;
  ImportReading reading;
  ImportProblems trialProblems;
  ImportOutcome trial;
  bool read = false;  // `reading` is the reading of the file as the controls say
  QString readPath;   // the file `reading` read (remembered in the settings only on OK)
  bool readingNow = false;
  bool stale = false;  // a choice changed that is read only when the field is left
  bool stopAsked = false;
  bool showingProgress = false;  // the file is large: its reading shows progress and may be stopped
  uint32_t importedPortfolio = 0;

  QLineEdit* file = nullptr;
  QPushButton* browse = nullptr;
  QComboBox* format = nullptr;
  QLabel* formatFound = nullptr;
  QRadioButton* namedInFile = nullptr;
  QRadioButton* existing = nullptr;
  QComboBox* existingPortfolio = nullptr;
  QRadioButton* newPortfolio = nullptr;
  QLineEdit* newName = nullptr;
  ImportMappingPanel* mapping = nullptr;
  ImportPreviewTable* preview = nullptr;
  QCheckBox* opening = nullptr;
  QListWidget* problems = nullptr;  // the problems, then the rows skipped
  int problemCount = 0;
  bool previewOnly = false;  // read for the preview only: no portfolio is chosen yet
  QString startedPath;       // the file whose columns the mapping was started from
  QLabel* summary = nullptr;
  QCheckBox* cash = nullptr;
  QCheckBox* margin = nullptr;
  QCheckBox* indexes = nullptr;
  QCheckBox* duplicates = nullptr;
  QProgressBar* progress = nullptr;
  QPushButton* stop = nullptr;
  QWidget* content = nullptr;  // everything the user may change, disabled while the file is read
  QPushButton* ok = nullptr;
};
