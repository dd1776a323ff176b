#pragma once
#include <QWidget>

#include <cstdint>
#include <vector>

class HtmlTextCtrl;
class QLabel;
class QToolButton;
class VLDatabase;
class VLDatabaseConn;

// The band above the lists with the totals of the current portfolio's held or sold view, or of its selected
// positions. The panel keeps no figures of its own; Update asks the database each time.
class SummaryPanel : public QWidget {
  Q_OBJECT

 public:
  explicit SummaryPanel(QWidget* parent = nullptr);

  // Portfolio 0 hides everything. With `forSelectedOnly` and no selected ids only the message and its
  // button show. False when the database cannot give the summary; the control then keeps its text and the
  // caller shows message 2106.
  [[nodiscard]] bool Update(VLDatabase& db, VLDatabaseConn* conn, bool forSelectedOnly,
                            const std::vector<uint32_t>& selectedIds, uint32_t portfolioId, bool held);

  HtmlTextCtrl* GetHtmlCtrl() { return htmlCtrl; }
  QLabel* GetMessage() { return message; }
  QToolButton* GetMessageButton() { return messageButton; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  void MessageButtonClicked();

 private:
  void ShowFigures(bool figures, bool messageShown);

  HtmlTextCtrl* htmlCtrl = nullptr;
  QLabel* message = nullptr;
  QToolButton* messageButton = nullptr;
};
