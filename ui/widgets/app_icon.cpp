#include "ui/widgets/app_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QPixmap Draw(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal unit = size / 16.0;
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(20, 70, 140));
  painter.drawRoundedRect(QRectF(0.5 * unit, 0.5 * unit, 15 * unit, 15 * unit), 2.5 * unit, 2.5 * unit);
  painter.setBrush(QColor(150, 200, 255));
  const qreal heights[] = {4, 7, 10};
  for (int i = 0; i < 3; ++i) {
    painter.drawRect(QRectF((3 + 3.5 * i) * unit, (14 - heights[i]) * unit, 2.5 * unit, heights[i] * unit));
  }
  QPainterPath line;
  line.moveTo(2.5 * unit, 9 * unit);
  line.lineTo(6 * unit, 7 * unit);
  line.lineTo(9 * unit, 8 * unit);
  line.lineTo(13.5 * unit, 2.5 * unit);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(QColor(90, 230, 110), 1.6 * unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPath(line);
  return pixmap;
}

}  // namespace

QIcon AppIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64}) icon.addPixmap(Draw(size));
  return icon;
}
