#include "ui/dialogs/c_dlg_export_portfolios.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "framework/replace_file.h"
#include "portfolio/database/vl_database.h"
#include "portfolio/database/vl_database_reads.h"
#include "portfolio/exchange/export_data.h"
#include "portfolio/exchange/vellumar_csv.h"
#include "portfolio/exchange/vellumar_xml.h"
#include "portfolio/records/vl_portfolio_item.h"
#include "portfolio/records/vl_portfolio_item_list.h"
#include "prefs/vl_general_prefs.h"
#include "ui/dialogs/dialog_fields.h"
#include "ui/widgets/message_box.h"

namespace {

QCheckBox* AddCheck(QVBoxLayout* layout, QWidget* parent, const QString& text, const QString& objectName,
                    bool checked) {
  auto* box = new QCheckBox(text, parent);
  box->setObjectName(objectName);
  box->setAccessibleName(PlainLabel(text));
  box->setChecked(checked);
  layout->addWidget(box);
  return box;
}

bool IsXml(const QString& path) {
  return path.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive);
}

}  // namespace

CDlgExportPortfolios::CDlgExportPortfolios(VLDatabase& database, VLDatabaseConn* conn, VLGeneralPrefs& prefs,
                                           uint32_t current, QWidget* parent)
    : QDialog(parent), database(database), conn(conn), prefs(prefs) {
  setObjectName(QStringLiteral("143"));
  setWindowTitle(QStringLiteral("Export Portfolios"));
  auto* layout = new QVBoxLayout(this);

  auto* what = new QGroupBox(QStringLiteral("Export"), this);
  auto* whatLayout = new QVBoxLayout(what);
  whole = new QRadioButton(QStringLiteral("The &whole database"), what);
  whole->setObjectName(QStringLiteral("exportWholeDatabase"));
  whole->setAccessibleName(QStringLiteral("The whole database"));
  chosen = new QRadioButton(QStringLiteral("The &portfolios ticked below:"), what);
  chosen->setObjectName(QStringLiteral("exportChosenPortfolios"));
  chosen->setAccessibleName(QStringLiteral("The portfolios ticked below"));
  list = new QListWidget(what);
  list->setObjectName(QStringLiteral("exportPortfolioList"));
  list->setAccessibleName(QStringLiteral("Portfolios to export"));
  list->setMinimumHeight(120);
  whatLayout->addWidget(whole);
  whatLayout->addWidget(chosen);
  whatLayout->addWidget(list);
  layout->addWidget(what);

  VLPortfolioItemList portfolios;
  if (conn && database.GetPortfolios(conn, portfolios) == VLResult::Ok) {
    for (const auto& item : portfolios) {
      auto* row = new QListWidgetItem(QString::fromStdString(item->name), list);
      row->setData(Qt::UserRole, item->id);
      row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
      row->setCheckState(item->id == current ? Qt::Checked : Qt::Unchecked);
      if (item->id == current) list->setCurrentItem(row);
    }
  }

  auto* options = new QVBoxLayout;
  cash = AddCheck(options, this, QStringLiteral("Include &cash positions"), QStringLiteral("exportCash"),
                  prefs.importExportCash);
  margin = AddCheck(options, this, QStringLiteral("Include &margin debts"), QStringLiteral("exportMargin"),
                    prefs.importExportMargin);
  indexes = AddCheck(options, this, QStringLiteral("Include &index positions (symbols beginning with ^)"),
                     QStringLiteral("exportIndexes"), prefs.importExportIndex);
  layout->addLayout(options);

  auto* form = new QFormLayout;
  layout->addLayout(form);  // first, so the rows' widgets have their parent at once
  format = new QComboBox(this);
  format->setObjectName(QStringLiteral("exportFormat"));
  format->setAccessibleName(QStringLiteral("Format"));
  format->addItem(QStringLiteral("Vellumar CSV (.csv)"));
  format->addItem(QStringLiteral("Vellumar XML (.xml)"));
  auto* formatLabel = new QLabel(QStringLiteral("&Format:"), this);
  formatLabel->setBuddy(format);
  form->addRow(formatLabel, format);
  browse = MakeButton(this, QStringLiteral("&Browse..."), QStringLiteral("exportBrowse"));
  browse->setAccessibleDescription(QStringLiteral("Choose the file to export to"));
  file = AddEditRow(form, QStringLiteral("Fi&le:"), QStringLiteral("exportFile"), browse);
  file->setMinimumWidth(320);

  QDialogButtonBox* buttons = AddOkCancel(this);
  layout->addWidget(buttons);

  const bool wholeDatabase = prefs.exportDatabase || current == 0;
  (wholeDatabase ? whole : chosen)->setChecked(true);
  QString folder = QString::fromStdString(prefs.exportDir);
  if (folder.isEmpty()) folder = QDir::homePath();
  QString name = QStringLiteral("portfolios.csv");
  if (!wholeDatabase && list->currentItem()) name = list->currentItem()->text() + QStringLiteral(".csv");
  file->setText(QDir(folder).filePath(name));

  connect(whole, &QRadioButton::toggled, this, &CDlgExportPortfolios::UpdateState);
  connect(format, qOverload<int>(&QComboBox::currentIndexChanged), this,
          &CDlgExportPortfolios::OnFormatChanged);
  connect(browse, &QPushButton::clicked, this, &CDlgExportPortfolios::OnBrowse);
  connect(buttons, &QDialogButtonBox::accepted, this, &CDlgExportPortfolios::OnOk);
  UpdateState();
  (wholeDatabase ? whole : static_cast<QWidget*>(list))->setFocus();
}

void CDlgExportPortfolios::UpdateState() {
  list->setEnabled(chosen->isChecked());
}

void CDlgExportPortfolios::OnFormatChanged() {
  const QString path = file->text();
  const bool xml = format->currentIndex() == 1;
  if (path.isEmpty() || IsXml(path) == xml) return;
  const QFileInfo info(path);
  const QString base = info.suffix().isEmpty() ? path : path.left(path.size() - info.suffix().size() - 1);
  file->setText(base + (xml ? QStringLiteral(".xml") : QStringLiteral(".csv")));
}

void CDlgExportPortfolios::OnBrowse() {
  const QString chosenFile = QFileDialog::getSaveFileName(
      this, QStringLiteral("Export to"), file->text(),
      QStringLiteral("Vellumar CSV (*.csv);;Vellumar XML (*.xml);;All files (*)"));
  if (chosenFile.isEmpty()) return;
  file->setText(chosenFile);
  format->setCurrentIndex(IsXml(chosenFile) ? 1 : 0);
}

void CDlgExportPortfolios::OnOk() {
  const QString path = file->text().trimmed();
  if (path.isEmpty()) {
    ShowMessage(this, StringId::ExportFileMissing, MessageIcon::Information);
    FocusEdit(file);
    return;
  }
  ExportChoice choice;
  choice.cash = cash->isChecked();
  choice.margin = margin->isChecked();
  choice.indexes = indexes->isChecked();
  if (chosen->isChecked()) {
    for (int i = 0; i < list->count(); ++i) {
      if (list->item(i)->checkState() == Qt::Checked)
        choice.portfolioIds.push_back(list->item(i)->data(Qt::UserRole).toUInt());
    }
    if (choice.portfolioIds.empty()) {
      ShowMessage(this, StringId::ExportNoPortfolio, MessageIcon::Information);
      list->setFocus();
      return;
    }
  }
  ExportData data;
  if (!conn || ReadExport(database, conn, choice, data) != VLResult::Ok) {
    ShowMessage(this, StringId::PortfoliosReadError, MessageIcon::Error);
    return;
  }
  const std::string text = format->currentIndex() == 1 ? WriteVellumarXml(data) : WriteVellumarCsv(data);
  FileError error;
  if (!ReplaceFileContent(ToStd(path), text, error)) {
    ShowMessage(this, StringId::ExportWriteError, MessageIcon::Error, MessageButtons::Ok,
                {path, QString::fromStdString(error.Cause())});
    FocusEdit(file);
    return;
  }
  prefs.exportDir = ToStd(QFileInfo(path).absolutePath());
  prefs.exportDatabase = whole->isChecked();
  prefs.importExportCash = choice.cash;
  prefs.importExportMargin = choice.margin;
  prefs.importExportIndex = choice.indexes;
  ShowMessage(this, StringId::ExportDone, MessageIcon::Information, MessageButtons::Ok,
              {QString::number(data.PositionCount()), QString::number(data.portfolios.size()), path});
  accept();
}
