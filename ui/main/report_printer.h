#pragma once
#include <QString>

class QWidget;

enum class PrintOutcome { Printed, Cancelled, Failed };

// Prints the HTML file at `path` as a browser shows it, after the user has chosen the printer (or a PDF
// file) in the print dialog, which runs through the dialog runner. The file itself is left as it is.
// Failed when the file cannot be read or the printer cannot print.
PrintOutcome PrintHtmlFile(QWidget* parent, const QString& path);
