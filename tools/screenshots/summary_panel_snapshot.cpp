// Renders the summary panel of the sample portfolio into PNGs, to look at: summary-held.png,
// summary-sold.png and summary-message.png in the folder given (the current one by default). Run it with
// QT_SCALE_FACTOR=2 to see the panel at 200%.
#include <QApplication>
#include <QDir>
#include <QPixmap>

#include <cstdio>

#include "tests/ui/summary_sample_database.h"
#include "ui/main/summary_panel.h"

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
  SummarySampleDatabase sample;
  if (!sample.ok) {
    std::fprintf(stderr, "cannot build the sample database\n");
    return 1;
  }
  struct Shot {
    const char* file;
    bool held;
    bool forSelectedOnly;
  };
  for (const Shot& shot : {Shot{"summary-held.png", true, false}, Shot{"summary-sold.png", false, false},
                           Shot{"summary-message.png", true, true}}) {
    SummaryPanel panel;
    if (!panel.Update(*sample.db, sample.conn, shot.forSelectedOnly, {}, sample.portfolioId, shot.held)) {
      return 1;
    }
    panel.resize(std::max(760, panel.sizeHint().width()), panel.sizeHint().height());
    panel.show();
    app.processEvents();
    const QString path = out.filePath(QString::fromUtf8(shot.file));
    if (!panel.grab().save(path)) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      return 1;
    }
  }
  return 0;
}
