#pragma once
#include <QFontMetrics>
#include <QLabel>
#include <QString>
#include <QWidget>

// Small helpers the market-data windows share for naming and sizing their controls.

// Gives `widget` its control id as object name and the name a screen reader announces.
inline void NameControl(QWidget* widget, int id, const QString& accessibleName) {
  widget->setObjectName(QString::number(id));
  widget->setAccessibleName(QString(accessibleName).remove(u'&'));
}

// Gives `widget` its control id as object name and says what it is for in its accessible description, for a
// control whose text changes with what it shows: a screen reader announces that text as its name.
inline void DescribeControl(QWidget* widget, int id, const QString& purpose) {
  widget->setObjectName(QString::number(id));
  widget->setAccessibleDescription(purpose);
}

// A label whose mnemonic moves the focus to `buddy`; the buddy is announced by the label's text.
inline QLabel* BuddyLabel(const QString& text, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setBuddy(buddy);
  if (buddy->accessibleName().isEmpty()) buddy->setAccessibleName(QString(text).remove(u'&').remove(u':'));
  return label;
}

// Horizontal dialog units (a quarter of the average character width) in pixels of `widget`'s font, so
// column widths grow with the font and the scale factor.
inline int DialogUnitsX(const QWidget* widget, int units) {
  return units * widget->fontMetrics().averageCharWidth() / 4;
}
