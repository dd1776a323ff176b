#include "ui/main/report_printer.h"

#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>

#include "ui/main/report_entities.h"
#include "ui/widgets/dialog_runner.h"

PrintOutcome PrintHtmlFile(QWidget* parent, const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return PrintOutcome::Failed;
  // The report declares Latin-1 and writes everything else as character references.
  const QString html = QString::fromLatin1(CompleteEntityReferences(file.readAll().toStdString()));

  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(path.section(u'/', -1));
  QPrintDialog dialog(&printer, parent);
  dialog.setObjectName(QStringLiteral("PrintDialog"));
  if (RunDialog(dialog) != QDialog::Accepted) return PrintOutcome::Cancelled;
  if (!printer.isValid() ||
      (printer.outputFormat() == QPrinter::NativeFormat && printer.printerName().isEmpty())) {
    return PrintOutcome::Failed;
  }
  QTextDocument document;
  document.setHtml(html);
  document.print(&printer);
  return printer.printerState() == QPrinter::Error ? PrintOutcome::Failed : PrintOutcome::Printed;
}
