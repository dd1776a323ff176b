#include "ui/main/c_dlg_change_history.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "portfolio/database/vl_database.h"
#include "ui/widgets/string_table.h"

namespace {

enum Column { kSequence, kTime, kProgram, kChange, kColumns };

QString Moment(int64_t seconds) {
  return QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

}  // namespace

QColor CDlgChangeHistory::UndoneColour(const QPalette& palette) {
  // Between the text and the background, nearer the text: grey, and still easy to read.
  const QColor text = palette.color(QPalette::Text);
  const QColor base = palette.color(QPalette::Base);
  return QColor::fromRgbF(text.redF() * 0.6f + base.redF() * 0.4f,
                          text.greenF() * 0.6f + base.greenF() * 0.4f,
                          text.blueF() * 0.6f + base.blueF() * 0.4f);
}

CDlgChangeHistory::CDlgChangeHistory(VLDatabase& db, VLDatabaseConn* connection, QWidget* parent)
    : QDialog(parent, Qt::Window), database(db), conn(connection) {
  setObjectName(QStringLiteral("ChangeHistory"));
  setWindowTitle(LoadString(StringId::ChangeHistoryTitle));
  setAttribute(Qt::WA_DeleteOnClose);

  auto* layout = new QVBoxLayout(this);
  note = new QLabel(this);
  note->setObjectName(QStringLiteral("journalNote"));  // read out by its text
  note->setWordWrap(true);
  layout->addWidget(note);

  list = new QTreeWidget(this);
  list->setObjectName(QStringLiteral("changeList"));
  list->setAccessibleName(LoadString(StringId::ChangeHistoryTitle));
  list->setColumnCount(kColumns);
  list->setHeaderLabels(
      {QStringLiteral("No."), QStringLiteral("Time"), QStringLiteral("Program"), QStringLiteral("Change")});
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setAllColumnsShowFocus(true);  // a row is one change: the focus mark goes round all of it
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->header()->setStretchLastSection(true);
  list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  list->header()->setSectionResizeMode(kChange, QHeaderView::Stretch);
  layout->addWidget(list, 1);

  auto* buttons = new QHBoxLayout;
  undoButton = new QPushButton(QStringLiteral("&Undo"), this);
  undoButton->setObjectName(QStringLiteral("undo"));
  redoButton = new QPushButton(QStringLiteral("&Redo"), this);
  redoButton->setObjectName(QStringLiteral("redo"));
  auto* closeButton = new QPushButton(QStringLiteral("Close"), this);
  closeButton->setObjectName(QStringLiteral("close"));
  for (QPushButton* button : {undoButton, redoButton, closeButton}) {
    button->setAccessibleName(button->text().remove(QLatin1Char('&')));
    button->setAutoDefault(false);
  }
  buttons->addWidget(undoButton);
  buttons->addWidget(redoButton);
  buttons->addStretch(1);
  buttons->addWidget(closeButton);
  layout->addLayout(buttons);
  connect(undoButton, &QPushButton::clicked, this, &CDlgChangeHistory::UndoRequested);
  connect(redoButton, &QPushButton::clicked, this, &CDlgChangeHistory::RedoRequested);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::close);

  resize(860, 440);
  Reload(true);
  connect(&timer, &QTimer::timeout, this, [this] { Reload(); });
  timer.start(500);
}

void CDlgChangeHistory::Reload(bool force) {
  VLJournalState state;
  // When another program holds the database, the entries last read stay until the next look.
  if (database.GetJournalState(conn, state) == VLResult::Failed) return;
  if (!force && shown && state.revision == shownRevision) return;
  std::vector<VLJournalListing> entries;
  const VLResult code = database.GetChanges(conn, 0, entries, state, VLDatabase::kReloadLockWaitMs);
  if (code == VLResult::Busy && shown) return;
  shown = true;
  shownRevision = state.revision;

  const QTreeWidgetItem* current = list->currentItem();
  const QString selected = current ? current->text(kSequence) : QString();
  list->clear();
  const QColor grey = UndoneColour(palette());
  const QString undone = LoadString(StringId::ChangeHistoryUndone);
  QList<QTreeWidgetItem*> rows;
  rows.reserve(static_cast<qsizetype>(entries.size()));
  for (const VLJournalListing& e : entries) {
    auto* row = new QTreeWidgetItem({QString::number(e.sequence), Moment(e.time),
                                     QString::fromStdString(e.program), QString::fromStdString(e.text)});
    // What the row says, spoken as the cells are read; an undone change is also said to be so.
    row->setData(kChange, Qt::AccessibleTextRole,
                 e.undone ? QString::fromStdString(e.text) + QStringLiteral(", ") + undone
                          : QString::fromStdString(e.text));
    if (e.undone) {
      QFont italic = list->font();
      italic.setItalic(true);
      for (int c = 0; c < kColumns; ++c) {
        row->setForeground(c, grey);
        row->setFont(c, italic);
        row->setToolTip(c, undone);
      }
    }
    rows.append(row);
  }
  list->addTopLevelItems(rows);
  for (QTreeWidgetItem* row : rows) {
    if (row->text(kSequence) == selected) list->setCurrentItem(row);
  }
  if (!list->currentItem() && !rows.isEmpty()) list->setCurrentItem(rows.front());

  QString text = entries.empty()
                     ? LoadString(StringId::ChangeHistoryEmpty)
                     : FormatString(StringId::ChangeHistoryCount, QString::number(entries.size()));
  if (code == VLResult::JournalUnreadable) {
    text = FormatString(StringId::ChangeHistoryUnreadable,
                        QString::fromStdString(database.GetLastJournalError().Describe()));
  } else if (state.damagedBytes != 0) {
    text +=
        QLatin1Char(' ') + FormatString(StringId::ChangeHistoryDamaged, QString::number(state.damagedBytes));
  }
  note->setText(text);

  const bool writable = !database.IsReadOnly();
  undoButton->setEnabled(writable && state.canUndo);
  redoButton->setEnabled(writable && state.canRedo);
  undoButton->setAccessibleDescription(
      state.canUndo ? FormatString(StringId::ChangeHistoryUndoButton, QString::fromStdString(state.undoText))
                    : QString());
  redoButton->setAccessibleDescription(
      state.canRedo ? FormatString(StringId::ChangeHistoryRedoButton, QString::fromStdString(state.redoText))
                    : QString());
  undoButton->setToolTip(undoButton->accessibleDescription());
  redoButton->setToolTip(redoButton->accessibleDescription());
}
