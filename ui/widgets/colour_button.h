#pragma once
#include <QColor>
#include <QPushButton>

// A button that shows a colour as a swatch and lets the user pick another in the colour dialog (run
// through the dialog runner, so tests can answer it). colourChanged is emitted for a new pick only.
class ColourButton : public QPushButton {
  Q_OBJECT

 public:
  explicit ColourButton(QWidget* parent = nullptr);

  QColor Colour() const { return colour; }
  void SetColour(const QColor& value);

 signals:
  void colourChanged(const QColor& colour);

 private:
  void Pick();

  QColor colour = Qt::white;
};

// The preferences store colours with red in the low byte, then green, then blue.
QColor ColourFromPrefs(uint32_t rgb);
uint32_t ColourToPrefs(const QColor& colour);
