#include "ui/main/report_printer.h"

#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>

#include "ui/main/report_entities.h"
#include "ui/widgets/dialog_runner.h"

namespace {

constexpr qreal kScreenDpi = 96;
constexpr qreal kPointsPerInch = 72;
constexpr qreal kMarginPixels = 8;

}  // namespace

QString PrintDocumentName(const QString& portfolioName, const QDate& day) {
  QString name = portfolioName.simplified();
  for (QChar& c : name) {
    if (c == u'/' || c == u'\\' || c == u'.' || c.category() == QChar::Other_Control) c = u'-';
  }
  if (name.isEmpty()) name = QStringLiteral("Portfolio");
  return name + u' ' + day.toString(Qt::ISODate);
}

PrintOutcome PrintHtmlFile(QWidget* parent, const QString& path, const QString& documentName) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return PrintOutcome::Failed;
  // The report declares Latin-1 and writes everything else as character references.
  const QString html = QString::fromLatin1(CompleteEntityReferences(file.readAll().toStdString()));

  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(documentName.isEmpty() ? path.section(u'/', -1) : documentName);
  QPrintDialog dialog(&printer, parent);
  dialog.setObjectName(QStringLiteral("PrintDialog"));
  if (RunDialog(dialog) != QDialog::Accepted) return PrintOutcome::Cancelled;
  if (!printer.isValid() ||
      (printer.outputFormat() == QPrinter::NativeFormat && printer.printerName().isEmpty())) {
    return PrintOutcome::Failed;
  }
  // Laid out on the printable area at screen resolution with a browser's narrow margin (instead of the 2 cm
  // a text document keeps by default), then scaled onto the paper.
  QTextDocument document;
  document.setDocumentMargin(kMarginPixels);
  document.setHtml(html);
  const QSizeF points = printer.pageRect(QPrinter::Point).size();
  document.setPageSize(points * (kScreenDpi / kPointsPerInch));
  document.print(&printer);
  return printer.printerState() == QPrinter::Error ? PrintOutcome::Failed : PrintOutcome::Printed;
}
