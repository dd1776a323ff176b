#include "ui/widgets/colour_button.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

#include "ui/widgets/dialog_runner.h"

ColourButton::ColourButton(QWidget* parent) : QPushButton(parent) {
  setAutoDefault(false);
  connect(this, &QPushButton::clicked, this, &ColourButton::Pick);
  SetColour(colour);
}

void ColourButton::SetColour(const QColor& value) {
  colour = value;
  // The swatch follows the font so that it grows with the scale factor.
  const int side = fontMetrics().height();
  QPixmap swatch(side * 3, side);
  swatch.fill(colour);
  QPainter painter(&swatch);
  painter.setPen(palette().color(QPalette::ButtonText));
  painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
  setIcon(QIcon(swatch));
  setIconSize(swatch.size());
  setAccessibleDescription(colour.name());
}

void ColourButton::Pick() {
  QColorDialog dialog(colour, this);
  dialog.setObjectName(QStringLiteral("colourDialog"));
  if (RunDialog(dialog) != QDialog::Accepted || !dialog.selectedColor().isValid()) return;
  if (dialog.selectedColor() == colour) return;
  SetColour(dialog.selectedColor());
  emit colourChanged(colour);
}

QColor ColourFromPrefs(uint32_t rgb) {
  return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

uint32_t ColourToPrefs(const QColor& colour) {
  return static_cast<uint32_t>(colour.red()) | (static_cast<uint32_t>(colour.green()) << 8) |
         (static_cast<uint32_t>(colour.blue()) << 16);
}
