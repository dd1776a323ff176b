#pragma once
#include <QDate>
#include <QString>
#include <memory>

class QTextDocument;
class QWidget;

enum class PrintOutcome { Printed, Cancelled, Failed };

// Prints the HTML file at `path` as a browser shows it, after the user has chosen the printer (or a PDF
// file) in the print dialog, which runs through the dialog runner. The file itself is left as it is.
// Failed when the file cannot be read or the printer cannot print. `documentName` names the print job and
// the PDF file the dialog offers; empty uses the file's name.
PrintOutcome PrintHtmlFile(QWidget* parent, const QString& path, const QString& documentName = QString());

// The report laid out for paper `pageWidth` pixels wide (at 96 per inch): text breaks only between words,
// never inside one, and a table too wide for the paper widens the layout instead, so that printing scales
// the whole page down onto the paper as a browser does. The caller owns the document.
std::unique_ptr<QTextDocument> LayOutReport(const QString& html, qreal pageWidth);

// "Growth 2026-12-07" for the portfolio Growth printed on that day: a name a person recognises as the
// offered PDF file, with the characters that cannot stand in a file name replaced by "-".
QString PrintDocumentName(const QString& portfolioName, const QDate& day);
