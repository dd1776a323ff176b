#pragma once
#include <QString>
#include <QWidget>

#include "ui/widgets/html_markup.h"

// Draws its markup text (tables, rows, cells, fonts, backgrounds) clipped to its area. Text outside any
// font element is 8 pt Tahoma, or a sans-serif face where Tahoma is missing. Screen readers get the plain
// text of the cells as the control's name and description.
class HtmlTextCtrl : public QWidget {
  Q_OBJECT

 public:
  explicit HtmlTextCtrl(QWidget* parent = nullptr);

  // Parses the markup once and repaints; any text is accepted.
  void SetMarkup(const QString& markup);
  QString GetMarkup() const { return markup; }
  // The cells' text, row by row (one line per row).
  QString GetPlainText() const { return plainText; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  QFont BaseFont() const;

  QString markup;
  QString plainText;
  MarkupNode document;
};
