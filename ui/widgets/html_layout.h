#pragma once
#include <QColor>
#include <QFont>
#include <QRect>
#include <QSize>

#include <string>

class QPainter;
struct MarkupNode;

// Lays out and paints a markup tree: tables as grids of cells (widths from the content, the cell's width
// and the table's width up to the room given), rows of styled text, backgrounds and vertical gradients.
// Text is never wrapped; what does not fit is clipped by the caller.
class HtmlLayout {
 public:
  // `document` must outlive the layout. `font` and `color` are the style of text outside any font element.
  HtmlLayout(const MarkupNode& document, const QFont& font, const QColor& color);

  // The size of the content with every table at its narrowest.
  QSize NaturalSize() const;
  // Paints into `area`, tables stretched to their width attributes as far as `area` allows.
  void Paint(QPainter& painter, const QRect& area) const;

 private:
  const MarkupNode& document;
  QFont font;
  QColor color;
};

// The font of a font element's name and pixel size: the named face when the system has it, otherwise a
// sans-serif face of that size.
QFont MarkupFont(const QFont& inherited, const std::string& name, int pixelSize);
