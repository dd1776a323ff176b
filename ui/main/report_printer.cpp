#include "ui/main/report_printer.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>
#include <QTextOption>
#include <algorithm>
#include <cmath>

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
  // Laid out on the printable area at screen resolution, then scaled onto the paper page by page.
  const QSizeF paper = printer.pageRect(QPrinter::Point).size() * (kScreenDpi / kPointsPerInch);
  const std::unique_ptr<QTextDocument> document = LayOutReport(html, paper.width());
  const qreal width = document->pageSize().width();
  const QRectF device = printer.pageRect(QPrinter::DevicePixel);
  const qreal scale = device.width() / width;
  const qreal pageHeight = device.height() / scale;
  document->setPageSize(QSizeF(width, pageHeight));
  QPainter painter;
  if (!painter.begin(&printer)) return PrintOutcome::Failed;
  for (int page = 0; page < document->pageCount(); ++page) {
    if (page > 0 && !printer.newPage()) break;
    painter.save();
    painter.scale(scale, scale);
    painter.translate(0, -page * pageHeight);
    document->drawContents(&painter, QRectF(0, page * pageHeight, width, pageHeight));
    painter.restore();
  }
  painter.end();
  return printer.printerState() == QPrinter::Error ? PrintOutcome::Failed : PrintOutcome::Printed;
}

std::unique_ptr<QTextDocument> LayOutReport(const QString& html, qreal pageWidth) {
  auto document = std::make_unique<QTextDocument>();
  // A browser's narrow margin, instead of the 2 cm a text document keeps by default.
  document->setDocumentMargin(kMarginPixels);
  QTextOption words = document->defaultTextOption();
  words.setWrapMode(QTextOption::WordWrap);  // a text document would otherwise break a long word anywhere
  document->setDefaultTextOption(words);
  document->setHtml(html);
  document->setTextWidth(pageWidth);
  // Cells joined with non-breaking spaces can make a table wider than the paper: lay it out that wide.
  const qreal needed = std::ceil(document->documentLayout()->documentSize().width());
  if (needed > pageWidth) document->setTextWidth(needed);
  document->setPageSize(QSizeF(std::max(needed, pageWidth), document->size().height()));
  return document;
}
