#include "ui/dialogs/c_dlg_import_portfolios.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "portfolio/database/vl_database.h"
#include "portfolio/exchange/import_formats.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_portfolio_item_list.h"
#include "prefs/import_profiles.h"
#include "prefs/vl_general_prefs.h"
#include "ui/dialogs/dialog_fields.h"
#include "ui/dialogs/import_mapping_panel.h"
#include "ui/dialogs/import_preview_table.h"
#include "ui/main/refused_change.h"
#include "ui/widgets/message_box.h"
#include "ui/widgets/string_table.h"

namespace {

// Larger files show their progress while they are read, and can be stopped.
constexpr qint64 kLargeFile = 256 * 1024;

bool IsVellumarForm(ExchangeFormat format) {
  return ImportFormatInfoOf(format).vellumarForm;
}

// The choice of "Read as" the settings keep: by name, or by its place as earlier versions kept it.
int SavedChoice(const VLGeneralPrefs& prefs) {
  std::optional<ExchangeFormat> saved = ImportFormatNamed(prefs.importFormat);
  if (!saved && prefs.importFormat.empty()) saved = ImportFormatOfSavedNumber(prefs.importMode);
  const std::vector<ImportFormatInfo>& table = ImportFormatTable();
  for (size_t i = 0; saved && i < table.size(); ++i) {
    if (table[i].format == *saved) return static_cast<int>(i);
  }
  return 0;
}

// Enter in the file field reads the file; it does not press OK.
class EnterReads : public QObject {
 public:
  EnterReads(QObject* parent, std::function<void()> read) : QObject(parent), read(std::move(read)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        read();
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> read;
};

QCheckBox* AddCheck(QHBoxLayout* layout, QWidget* parent, const QString& text, const QString& objectName,
                    bool checked) {
  auto* box = new QCheckBox(text, parent);
  box->setObjectName(objectName);
  box->setAccessibleName(PlainLabel(text));
  box->setChecked(checked);
  layout->addWidget(box);
  return box;
}

}  // namespace

CDlgImportPortfolios::CDlgImportPortfolios(VLDatabase& database, VLDatabaseConn* conn, VLGeneralPrefs& prefs,
                                           const std::string& profilesPath, uint32_t current, QWidget* parent)
    : QDialog(parent),
      database(database),
      conn(conn),
      prefs(prefs),
      profiles(std::make_unique<ImportProfiles>(profilesPath)) {
  setObjectName(QStringLiteral("1597"));
  setWindowTitle(QStringLiteral("Import Portfolios"));
  auto* layout = new QVBoxLayout(this);
  content = new QWidget(this);
  auto* contentLayout = new QVBoxLayout(content);
  contentLayout->setContentsMargins(0, 0, 0, 0);
  auto* form = new QFormLayout;
  contentLayout->addLayout(form);  // first, so the rows' widgets have their parent at once
  BuildFileRows(form);
  BuildTarget(contentLayout, current);
  mapping = new ImportMappingPanel(*profiles, content);
  contentLayout->addWidget(mapping);
  BuildChecks(contentLayout);
  layout->addWidget(content);

  BuildResults(layout);

  auto* progressRow = new QHBoxLayout;
  progress = new QProgressBar(this);
  progress->setObjectName(QStringLiteral("importProgress"));
  progress->setAccessibleName(QStringLiteral("Rows read"));
  stop = MakeButton(this, QStringLiteral("Stop Reading"), QStringLiteral("importStop"));
  progressRow->addWidget(progress, 1);
  progressRow->addWidget(stop);
  layout->addLayout(progressRow);
  progress->hide();
  stop->hide();

  QDialogButtonBox* buttons = AddOkCancel(this);
  ok = buttons->button(QDialogButtonBox::Ok);
  layout->addWidget(buttons);

  connect(stop, &QPushButton::clicked, this, [this] { stopAsked = true; });
  connect(buttons, &QDialogButtonBox::accepted, this, &CDlgImportPortfolios::OnOk);
  connect(mapping, &ImportMappingPanel::changed, this, &CDlgImportPortfolios::ReadFile);
  for (QCheckBox* box : {cash, margin, indexes, duplicates, opening}) {
    connect(box, &QCheckBox::toggled, this, &CDlgImportPortfolios::ReadFile);
  }
  ReadFile();
  file->setFocus();
}

CDlgImportPortfolios::~CDlgImportPortfolios() = default;

void CDlgImportPortfolios::BuildChecks(QVBoxLayout* contentLayout) {
  auto* checks = new QHBoxLayout;
  cash = AddCheck(checks, content, QStringLiteral("Incl&ude cash positions"), QStringLiteral("importCash"),
                  prefs.importExportCash);
  margin = AddCheck(checks, content, QStringLiteral("Include mar&gin debts"), QStringLiteral("importMargin"),
                    prefs.importExportMargin);
  indexes = AddCheck(checks, content, QStringLiteral("Include index positions"),
                     QStringLiteral("importIndexes"), prefs.importExportIndex);
  duplicates = AddCheck(checks, content, QStringLiteral("Add rows already there"),
                        QStringLiteral("importDuplicates"), false);
  duplicates->setToolTip(
      QStringLiteral("Rows equal to a position of their portfolio are skipped unless ticked"));
  opening = AddCheck(checks, content, QStringLiteral("Positions held before the statement"),
                     QStringLiteral("importOpening"), false);
  opening->setToolTip(QStringLiteral(
      "The statement's holdings list, less its trades, is what was held before its first trade"));
  opening->hide();
  checks->addStretch();
  contentLayout->addLayout(checks);
}

void CDlgImportPortfolios::BuildResults(QVBoxLayout* layout) {
  auto* previewLabel = new QLabel(QStringLiteral("Preview of the first rows:"), this);
  preview = new ImportPreviewTable(this);
  preview->setMinimumSize(640, 170);
  previewLabel->setBuddy(preview);
  layout->addWidget(previewLabel);
  layout->addWidget(preview, 2);
  auto* problemsLabel = new QLabel(QStringLiteral("Problems and rows skipped:"), this);
  problems = new QListWidget(this);
  problems->setObjectName(QStringLiteral("importProblems"));
  problems->setAccessibleName(QStringLiteral("Problems and rows skipped"));
  problems->setMinimumHeight(60);
  problemsLabel->setBuddy(problems);
  layout->addWidget(problemsLabel);
  layout->addWidget(problems, 1);
  summary = new QLabel(this);
  summary->setObjectName(QStringLiteral("importSummary"));
  summary->setWordWrap(true);
  summary->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
  summary->setFocusPolicy(Qt::StrongFocus);
  layout->addWidget(summary);
}

void CDlgImportPortfolios::BuildFileRows(QFormLayout* form) {
  browse = MakeButton(content, QStringLiteral("&Browse..."), QStringLiteral("importBrowse"));
  browse->setAccessibleDescription(QStringLiteral("Choose the file to import"));
  file = AddEditRow(form, QStringLiteral("&File:"), QStringLiteral("importFile"), browse);
  file->setMinimumWidth(360);
  file->setText(QString::fromStdString(prefs.importFile));
  file->installEventFilter(new EnterReads(file, [this] { ReadFile(); }));
  format = new QComboBox(content);
  format->setObjectName(QStringLiteral("importFormat"));
  format->setAccessibleName(QStringLiteral("Read as"));
  for (const ImportFormatInfo& info : ImportFormatTable())
    format->addItem(QString::fromLatin1(info.choiceText));
  format->setCurrentIndex(SavedChoice(prefs));
  auto* formatLabel = new QLabel(QStringLiteral("Read &as:"), content);
  formatLabel->setBuddy(format);
  formatFound = new QLabel(content);
  formatFound->setObjectName(QStringLiteral("importFormatFound"));
  auto* formatRow = new QHBoxLayout;
  formatRow->addWidget(format);
  formatRow->addWidget(formatFound, 1);
  form->addRow(formatLabel, formatRow);
  connect(browse, &QPushButton::clicked, this, &CDlgImportPortfolios::OnBrowse);
  connect(file, &QLineEdit::editingFinished, this, [this] {
    if (!read || file->text().trimmed() != readPath) ReadFile();
  });
  connect(format, qOverload<int>(&QComboBox::currentIndexChanged), this, &CDlgImportPortfolios::ReadFile);
}

void CDlgImportPortfolios::BuildTarget(QVBoxLayout* layout, uint32_t current) {
  auto* group = new QGroupBox(QStringLiteral("Into portfolio"), content);
  auto* grid = new QGridLayout(group);
  namedInFile = new QRadioButton(QStringLiteral("The portfolios &named in the file"), group);
  namedInFile->setObjectName(QStringLiteral("importNamedInFile"));
  namedInFile->setAccessibleName(QStringLiteral("The portfolios named in the file"));
  existing = new QRadioButton(QStringLiteral("E&xisting portfolio:"), group);
  existing->setObjectName(QStringLiteral("importExisting"));
  existing->setAccessibleName(QStringLiteral("Existing portfolio"));
  existingPortfolio = new QComboBox(group);
  existingPortfolio->setObjectName(QStringLiteral("importExistingPortfolio"));
  existingPortfolio->setAccessibleName(QStringLiteral("Existing portfolio"));
  newPortfolio = new QRadioButton(QStringLiteral("Ne&w portfolio:"), group);
  newPortfolio->setObjectName(QStringLiteral("importNew"));
  newPortfolio->setAccessibleName(QStringLiteral("New portfolio"));
  newName = new QLineEdit(group);
  newName->setObjectName(QStringLiteral("importNewName"));
  newName->setAccessibleName(QStringLiteral("New portfolio"));
  grid->addWidget(namedInFile, 0, 0, 1, 2);
  grid->addWidget(existing, 1, 0);
  grid->addWidget(existingPortfolio, 1, 1);
  grid->addWidget(newPortfolio, 2, 0);
  grid->addWidget(newName, 2, 1);
  grid->setColumnStretch(1, 1);
  layout->addWidget(group);

  VLPortfolioItemList list;
  if (conn && database.GetPortfolios(conn, list) == VLResult::Ok) {
    for (const auto& item : list) {
      existingPortfolio->addItem(QString::fromStdString(item->name), item->id);
      if (item->id == current) existingPortfolio->setCurrentIndex(existingPortfolio->count() - 1);
    }
  }
  existing->setEnabled(existingPortfolio->count() > 0);
  namedInFile->setChecked(true);
  for (QRadioButton* radio : {namedInFile, existing, newPortfolio}) {
    connect(radio, &QRadioButton::toggled, this, [this](bool on) {
      existingPortfolio->setEnabled(existing->isChecked());
      newName->setEnabled(newPortfolio->isChecked());
      if (on) ReadFile();
    });
  }
  connect(existingPortfolio, qOverload<int>(&QComboBox::currentIndexChanged), this,
          &CDlgImportPortfolios::ReadFile);
  connect(newName, &QLineEdit::editingFinished, this, &CDlgImportPortfolios::ReadFile);
  connect(newName, &QLineEdit::textEdited, this, [this] { stale = true; });  // read again before importing
  existingPortfolio->setEnabled(false);
  newName->setEnabled(false);
}

std::string CDlgImportPortfolios::TargetName() const {
  if (existing->isChecked()) return ToStd(existingPortfolio->currentText());
  if (newPortfolio->isChecked()) return ToStd(newName->text().trimmed());
  return {};
}

ExchangeFormat CDlgImportPortfolios::ChosenFormat() const {
  const std::vector<ImportFormatInfo>& table = ImportFormatTable();
  const int chosen = format->currentIndex();
  return chosen >= 0 && static_cast<size_t>(chosen) < table.size() ? table[static_cast<size_t>(chosen)].format
                                                                   : ExchangeFormat::Detect;
}

ImportOptions CDlgImportPortfolios::Options() const {
  ImportOptions options;
  options.format = ChosenFormat();
  options.mapping = mapping->Mapping();
  options.targetPortfolio = TargetName();
  options.cash = cash->isChecked();
  options.margin = margin->isChecked();
  options.indexes = indexes->isChecked();
  options.allowDuplicates = duplicates->isChecked();
  options.openingPositions = opening->isChecked();
  return options;
}

void CDlgImportPortfolios::OnBrowse() {
  const QString chosen = QFileDialog::getOpenFileName(this, QStringLiteral("Import from"), file->text(),
                                                      QString::fromStdString(ImportFileFilter()));
  if (chosen.isEmpty()) return;
  file->setText(chosen);
  ReadFile();
}

void CDlgImportPortfolios::SetBusy(bool busy) {
  showingProgress = busy;
  content->setEnabled(!busy);
  ok->setEnabled(!busy);
  progress->setVisible(busy);
  stop->setVisible(busy);
  if (busy) {
    progress->setRange(0, 0);
    stop->setFocus();
  }
}

bool CDlgImportPortfolios::OnProgress(size_t done, size_t total) {
  if (!showingProgress) return true;
  progress->setRange(0, static_cast<int>(std::min<size_t>(total, 1u << 30)));
  progress->setValue(static_cast<int>(std::min<size_t>(done, 1u << 30)));
  progress->setFormat(
      FormatString(StringId::ImportReadingProgress, {QString::number(done), QString::number(total)}));
  QApplication::processEvents();
  return !stopAsked;
}

void CDlgImportPortfolios::ReadFile() {
  if (readingNow) return;
  const QString path = file->text().trimmed();
  read = false;
  stale = false;
  trial = ImportOutcome{};
  trialProblems.clear();
  reading = ImportReading{};
  readPath = path;
  if (path.isEmpty()) {
    ShowReading();
    return;
  }
  ImportOptions options = Options();
  // The portfolios a file may name itself only Vellumar's forms have: the others need one chosen.
  QFile head(path);
  QByteArray first;
  if (head.open(QIODevice::ReadOnly)) first = head.read(4096);
  const ExchangeFormat form = options.format == ExchangeFormat::Detect
                                  ? DetectExchangeFormat(first.toStdString(), ToStd(path))
                                  : options.format;
  namedInFile->setEnabled(IsVellumarForm(form));
  if (!IsVellumarForm(form) && namedInFile->isChecked()) {
    const QSignalBlocker blockExisting(existing);
    const QSignalBlocker blockNew(newPortfolio);
    (existing->isEnabled() ? existing : newPortfolio)->setChecked(true);
    existingPortfolio->setEnabled(existing->isChecked());
    newName->setEnabled(newPortfolio->isChecked());
    options.targetPortfolio = TargetName();
  }
  opening->setVisible(form == ExchangeFormat::Ofx);
  // Another file than the last: the columns start afresh, from a profile that fits its header if any.
  if (form == ExchangeFormat::MappedCsv && path != startedPath) {
    startedPath = path;
    mapping->StartFile(first.toStdString());
    options.mapping = mapping->Mapping();
  }
  // The preview needs no portfolio: the rows are read as if into a new one, and only the trial waits.
  previewOnly = !IsVellumarForm(form) && options.targetPortfolio.empty();
  if (previewOnly) options.targetPortfolio = "?";
  options.format = form;
  options.progress = [this](size_t done, size_t total) { return OnProgress(done, total); };
  stopAsked = false;
  readingNow = true;
  SetBusy(QFileInfo(path).size() > kLargeFile);
  reading = ReadImportFile(ToStd(path), options);
  SetBusy(false);
  readingNow = false;
  read = !reading.cancelled;
  if (read && reading.problems.empty() && conn && !previewOnly) {
    if (database.TryImport(conn, reading.plan, trial, trialProblems) != VLResult::Ok &&
        trialProblems.empty()) {
      trialProblems.push_back({0, ImportField::None, LoadString(StringId::ImportError).toStdString()});
    }
  }
  ShowReading();
}

void CDlgImportPortfolios::ShowReading() {
  const bool chosen = !file->text().trimmed().isEmpty();
  const char* found = ImportFormatInfoOf(reading.format).foundText;
  formatFound->setText(
      chosen && *found ? FormatString(StringId::ImportFormatFound, QString::fromLatin1(found)) : QString());
  mapping->setVisible(reading.format == ExchangeFormat::MappedCsv);
  // A file refused before its rows were reached leaves the columns as they were chosen.
  if (reading.format == ExchangeFormat::MappedCsv && !reading.header.empty()) {
    mapping->SetColumns(reading.header, reading.columns);
  }
  mapping->SetKindValues(reading.format == ExchangeFormat::MappedCsv ? reading.kindValues
                                                                     : std::vector<std::string>{});
  // A mapped file's columns by their own names beside what each becomes.
  std::map<ImportField, std::string> fileColumns;
  for (const auto& [field, index] : reading.columns) {
    if (index >= 0 && static_cast<size_t>(index) < reading.header.size())
      fileColumns[field] = reading.header[static_cast<size_t>(index)];
  }
  preview->Show(reading.preview, reading.format == ExchangeFormat::MappedCsv
                                     ? fileColumns
                                     : std::map<ImportField, std::string>{});
  problems->clear();
  for (const ImportProblems* list : {&reading.problems, &trialProblems}) {
    for (const ImportProblem& problem : *list)
      problems->addItem(QString::fromStdString(problem.DescribeInWindow()));
  }
  problemCount = problems->count();
  // What the file gets wrong without keeping it out, and rows that become nothing, follow the problems, so
  // that none goes without a word.
  for (const ImportProblem& warning : reading.warnings)
    problems->addItem(QStringLiteral("warning: ") + QString::fromStdString(warning.DescribeInWindow()));
  for (const SkippedRow& row : reading.skipped) problems->addItem(QString::fromStdString(row.Describe()));
  QString text;
  if (!chosen) {
    text = LoadString(StringId::ImportChooseFile);
  } else if (problemCount > 0) {
    text = FormatString(StringId::ImportProblemCount, QString::number(problemCount));
  } else if (read && previewOnly) {
    text = LoadString(StringId::ImportChooseTarget);
  } else if (read) {
    text = FormatString(
        StringId::ImportSummary,
        {QString::number(reading.rows), QString::number(trial.added + trial.balances),
         QString::number(trial.duplicates), QString::number(trial.sold), QString::number(reading.leftOut)});
    if (trial.outdated > 0)
      text +=
          QLatin1Char(' ') + FormatString(StringId::ImportBalancesOutdated, QString::number(trial.outdated));
    if (trial.actions > 0)
      text +=
          QLatin1Char(' ') + FormatString(StringId::ImportActionsRecorded, QString::number(trial.actions));
    if (trial.income > 0)
      text += QLatin1Char(' ') + FormatString(StringId::ImportIncomeRecorded, QString::number(trial.income));
    if (!reading.skipped.empty()) {
      text += QLatin1Char(' ') + FormatString(StringId::ImportRowsSkipped,
                                              QString::number(static_cast<int>(reading.skipped.size())));
    }
  }
  summary->setText(text);
  summary->setAccessibleName(text);
}

void CDlgImportPortfolios::OnOk() {
  if (readingNow) return;
  const QString path = file->text().trimmed();
  if (path.isEmpty()) {
    ShowMessage(this, StringId::ImportFileMissing, MessageIcon::Information);
    FocusEdit(file);
    return;
  }
  if (newPortfolio->isChecked() && newName->text().trimmed().isEmpty()) {
    ShowMessage(this, StringId::ImportTargetMissing, MessageIcon::Information);
    FocusEdit(newName);
    return;
  }
  if (path != readPath || stale) ReadFile();
  if (!read) {
    ShowMessage(this, StringId::ImportNotRead, MessageIcon::Information);
    FocusEdit(file);
    return;
  }
  if (problemCount > 0) {
    ShowMessage(this, StringId::ImportRefused, MessageIcon::Exclamation, MessageButtons::Ok,
                {path, QString::number(problemCount)});
    problems->setFocus();
    return;
  }
  ImportOutcome outcome;
  ImportProblems refused;
  const VLResult code = database.ImportPositions(conn, reading.plan, outcome, refused);
  if (code == VLResult::ImportRefused) {
    trialProblems = refused;
    ShowReading();
    ShowMessage(this, StringId::ImportRefused, MessageIcon::Exclamation, MessageButtons::Ok,
                {path, QString::number(problemCount)});
    problems->setFocus();
    return;
  }
  if (code != VLResult::Ok) {
    ShowRefusedChange(this, database, conn, StringId::ImportError, code, MessageIcon::Error);
    return;
  }
  const size_t first = reading.plan.steps.empty() ? 0 : reading.plan.steps.front().portfolio;
  importedPortfolio = first < outcome.portfolioIds.size() ? outcome.portfolioIds[first] : 0;
  prefs.importFile = ToStd(path);
  prefs.importFormat = ImportFormatInfoOf(ChosenFormat()).name;
  prefs.importExportCash = cash->isChecked();
  prefs.importExportMargin = margin->isChecked();
  prefs.importExportIndex = indexes->isChecked();
  accept();
}
