#include "ui/widgets/html_layout.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "ui/widgets/html_markup.h"

namespace {

// Keeps every coordinate far from int overflow whatever the widths in the markup add up to.
constexpr int64_t kMaxExtent = 1 << 20;
constexpr int kMaxPixelSize = 400;
constexpr int kMaxBorder = 8;

int Clamp(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, 0, kMaxExtent));
}

QColor ToQColor(const MarkupColor& c) {
  return QColor(c.r, c.g, c.b);
}

struct Style {
  QFont font;
  QColor color;
};

struct Run {
  QString text;
  Style style;
};

// A container's content: lines of styled text and tables, one under the other.
struct Block {
  std::vector<Run> runs;
  const MarkupNode* table = nullptr;
  Style style;  // the style around the table
};

struct Extent {
  int width = 0;
  int height = 0;
};

struct TableGeometry {
  std::vector<int> columnWidths;
  std::vector<int> rowHeights;
  Style inner;  // the style inside the table
  int spacing = 0;
  int padding = 0;
  int border = 0;
  int width = 0;
  int height = 0;
};

// Text on a background of the markup's own is dark unless the markup says otherwise, whatever the
// desktop's colours are.
Style StyleInside(const MarkupNode& node, Style style) {
  if (node.bgColor) style.color = Qt::black;
  return style;
}

void Flatten(const MarkupNode& container, const Style& style, std::vector<Block>& blocks) {
  for (const MarkupNode& child : container.children) {
    switch (child.kind) {
      case MarkupKind::kText:
        if (blocks.empty() || blocks.back().table != nullptr) blocks.emplace_back();
        blocks.back().runs.push_back({QString::fromStdString(child.text), style});
        break;
      case MarkupKind::kFont: {
        Style inner = style;
        if (!child.fontName.empty() || child.fontSize > 0) {
          inner.font = MarkupFont(style.font, child.fontName, child.fontSize);
        }
        if (child.color) inner.color = ToQColor(*child.color);
        Flatten(child, inner, blocks);
        break;
      }
      case MarkupKind::kTable:
        blocks.push_back({{}, &child, style});
        break;
      default:
        Flatten(child, StyleInside(child, style), blocks);
        break;
    }
  }
}

std::vector<Block> ContentOf(const MarkupNode& container, const Style& style) {
  std::vector<Block> blocks;
  Flatten(container, style, blocks);
  // Blanks between tags are indentation, not a line of text.
  std::erase_if(blocks, [](const Block& b) {
    return b.table == nullptr &&
           std::all_of(b.runs.begin(), b.runs.end(), [](const Run& r) { return r.text.trimmed().isEmpty(); });
  });
  return blocks;
}

struct LineMetrics {
  int width = 0;
  int ascent = 0;
  int height = 0;
};

LineMetrics MeasureLine(const std::vector<Run>& runs) {
  LineMetrics line;
  int64_t width = 0;
  int descent = 0;
  for (const Run& run : runs) {
    const QFontMetrics metrics(run.style.font);
    width += metrics.horizontalAdvance(run.text);
    line.ascent = std::max(line.ascent, metrics.ascent());
    descent = std::max(descent, metrics.height() - metrics.ascent());
  }
  line.width = Clamp(width);
  line.height = line.ascent + descent;
  return line;
}

TableGeometry LayoutTable(const MarkupNode& table, const Style& style, int available);

Extent MeasureBlocks(const std::vector<Block>& blocks, int available) {
  Extent extent;
  int64_t height = 0;
  for (const Block& block : blocks) {
    if (block.table != nullptr) {
      const TableGeometry g = LayoutTable(*block.table, block.style, available);
      extent.width = std::max(extent.width, g.width);
      height += g.height;
    } else {
      const LineMetrics line = MeasureLine(block.runs);
      extent.width = std::max(extent.width, line.width);
      height += line.height;
    }
  }
  extent.height = Clamp(height);
  return extent;
}

Style CellStyle(const MarkupNode& row, const MarkupNode& cell, const Style& tableInner) {
  return StyleInside(cell, StyleInside(row, tableInner));
}

TableGeometry LayoutTable(const MarkupNode& table, const Style& style, int available) {
  TableGeometry g;
  g.inner = StyleInside(table, style);
  g.spacing = table.cellSpacing;
  g.padding = table.cellPadding;
  g.border = std::min(table.border, kMaxBorder);
  size_t columns = 0;
  for (const MarkupNode& row : table.children) columns = std::max(columns, row.children.size());
  g.columnWidths.assign(columns, 0);
  std::vector<bool> fixed(columns, false);
  // Text never wraps, so a cell's height does not depend on the width it finally gets: one measurement.
  for (const MarkupNode& row : table.children) {
    int rowHeight = 0;
    for (size_t c = 0; c < row.children.size(); ++c) {
      const MarkupNode& cell = row.children[c];
      const Extent content = MeasureBlocks(ContentOf(cell, CellStyle(row, cell, g.inner)), 0);
      g.columnWidths[c] = std::max(
          {g.columnWidths[c], Clamp(cell.width), Clamp(int64_t{content.width} + 2 * int64_t{g.padding})});
      if (cell.width > 0) fixed[c] = true;
      rowHeight = std::max(rowHeight, Clamp(int64_t{content.height} + 2 * int64_t{g.padding}));
    }
    g.rowHeights.push_back(rowHeight);
  }
  int64_t natural = 2 * int64_t{g.border} + int64_t{g.spacing} * static_cast<int64_t>(columns + 1);
  for (int w : g.columnWidths) natural += w;
  g.width = Clamp(std::max<int64_t>(natural, std::min(table.width, available)));
  if (const int64_t extra = g.width - natural; extra > 0 && columns > 0) {
    // Room beyond the content goes to the columns without a width of their own, else to the last one.
    std::vector<size_t> flexible;
    for (size_t c = 0; c < columns; ++c) {
      if (!fixed[c]) flexible.push_back(c);
    }
    if (flexible.empty()) flexible.push_back(columns - 1);
    for (size_t i = 0; i < flexible.size(); ++i) {
      const int64_t share = extra / static_cast<int64_t>(flexible.size()) +
                            (i == 0 ? extra % static_cast<int64_t>(flexible.size()) : 0);
      g.columnWidths[flexible[i]] = Clamp(g.columnWidths[flexible[i]] + share);
    }
  }
  int64_t height =
      2 * int64_t{g.border} + int64_t{g.spacing} * static_cast<int64_t>(table.children.size() + 1);
  for (int rowHeight : g.rowHeights) height += rowHeight;
  g.height = Clamp(height);
  return g;
}

void FillBackground(QPainter& painter, const MarkupNode& node, const QRect& rect) {
  if (!node.bgColor || rect.isEmpty()) return;
  if (node.verticalGradient && node.bgEndColor) {
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, ToQColor(*node.bgColor));
    gradient.setColorAt(1, ToQColor(*node.bgEndColor));
    painter.fillRect(rect, gradient);
    return;
  }
  painter.fillRect(rect, ToQColor(*node.bgColor));
}

int AlignedX(const QRect& box, int width, MarkupAlign align) {
  if (align == MarkupAlign::kRight) return box.right() + 1 - width;
  if (align == MarkupAlign::kCenter) return box.left() + (box.width() - width) / 2;
  return box.left();
}

void PaintTable(QPainter& painter, const MarkupNode& table, const TableGeometry& g, QPoint topLeft);

// Paints the blocks one under the other in `box`, each placed by `align`; `centred` centres them
// vertically as a cell does.
void PaintBlocks(QPainter& painter, const std::vector<Block>& blocks, const QRect& box, MarkupAlign align,
                 bool centred) {
  int y = box.top();
  if (centred) y += std::max(0, box.height() - MeasureBlocks(blocks, box.width()).height) / 2;
  for (const Block& block : blocks) {
    if (y > box.bottom()) return;
    if (block.table != nullptr) {
      const TableGeometry g = LayoutTable(*block.table, block.style, box.width());
      const MarkupAlign tableAlign = block.table->align != MarkupAlign::kNone ? block.table->align : align;
      PaintTable(painter, *block.table, g, QPoint(AlignedX(box, g.width, tableAlign), y));
      y += g.height;
      continue;
    }
    const LineMetrics line = MeasureLine(block.runs);
    int x = AlignedX(box, line.width, align);
    for (const Run& run : block.runs) {
      painter.setFont(run.style.font);
      painter.setPen(run.style.color);
      painter.drawText(QPoint(x, y + line.ascent), run.text);
      x += QFontMetrics(run.style.font).horizontalAdvance(run.text);
    }
    y += line.height;
  }
}

void PaintTable(QPainter& painter, const MarkupNode& table, const TableGeometry& g, QPoint topLeft) {
  const QRect bounds(topLeft, QSize(g.width, g.height));
  FillBackground(painter, table, bounds);
  if (g.border > 0) {
    painter.setPen(QPen(Qt::gray, g.border, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(bounds.adjusted(g.border / 2, g.border / 2, -(g.border + 1) / 2, -(g.border + 1) / 2));
  }
  int y = topLeft.y() + g.border + g.spacing;
  for (size_t r = 0; r < table.children.size() && r < g.rowHeights.size(); ++r) {
    const MarkupNode& row = table.children[r];
    const int left = topLeft.x() + g.border + g.spacing;
    FillBackground(painter, row, QRect(left, y, g.width - 2 * (g.border + g.spacing), g.rowHeights[r]));
    int x = left;
    for (size_t c = 0; c < row.children.size() && c < g.columnWidths.size(); ++c) {
      const MarkupNode& cell = row.children[c];
      const QRect cellRect(x, y, g.columnWidths[c], g.rowHeights[r]);
      FillBackground(painter, cell, cellRect);
      const QRect content = cellRect.adjusted(g.padding, g.padding, -g.padding, -g.padding);
      PaintBlocks(painter, ContentOf(cell, CellStyle(row, cell, g.inner)), content, cell.align, true);
      x += g.columnWidths[c] + g.spacing;
    }
    y += g.rowHeights[r] + g.spacing;
  }
}

}  // namespace

QFont MarkupFont(const QFont& inherited, const std::string& name, int pixelSize) {
  QFont font = inherited;
  if (!name.empty()) {
    const QString family = QString::fromStdString(name);
    font.setStyleHint(QFont::SansSerif);
    font.setFamilies(QFontDatabase::hasFamily(family) ? QStringList{family}
                                                      : QStringList{QStringLiteral("Sans Serif")});
  }
  if (pixelSize > 0) font.setPixelSize(std::min(pixelSize, kMaxPixelSize));
  return font;
}

HtmlLayout::HtmlLayout(const MarkupNode& document, const QFont& font, const QColor& color)
    : document(document), font(font), color(color) {}

QSize HtmlLayout::NaturalSize() const {
  const Extent extent = MeasureBlocks(ContentOf(document, {font, color}), 0);
  return {extent.width, extent.height};
}

void HtmlLayout::Paint(QPainter& painter, const QRect& area) const {
  const std::vector<Block> blocks = ContentOf(document, {font, color});
  // A leading table with a background of its own colours the whole area, so the panel reads as one band.
  if (!blocks.empty() && blocks.front().table != nullptr) {
    FillBackground(painter, *blocks.front().table, area);
  }
  // Centred vertically, so a band taller than its rows keeps the figures in its middle.
  PaintBlocks(painter, blocks, area, MarkupAlign::kNone, true);
}
