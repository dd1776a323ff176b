#include "ui/widgets/html_text_ctrl.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QPainter>

#include "ui/widgets/html_layout.h"

namespace {

// The control reads as static text, named by what it shows.
class HtmlTextAccessible : public QAccessibleWidget {
 public:
  explicit HtmlTextAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::StaticText) {}
};

QAccessibleInterface* HtmlTextAccessibleFactory(const QString& className, QObject* object) {
  if (className != QLatin1String("HtmlTextCtrl") || object == nullptr || !object->isWidgetType()) {
    return nullptr;
  }
  return new HtmlTextAccessible(static_cast<QWidget*>(object));
}

}  // namespace

HtmlTextCtrl::HtmlTextCtrl(QWidget* parent) : QWidget(parent) {
  static const bool factoryInstalled = [] {
    QAccessible::installFactory(HtmlTextAccessibleFactory);
    return true;
  }();
  (void)factoryInstalled;
}

void HtmlTextCtrl::SetMarkup(const QString& text) {
  markup = text;
  document = ParseMarkup(markup.toStdString());
  plainText = QString::fromStdString(MarkupPlainText(document));
  QString name = plainText;
  name.replace(QLatin1Char('\n'), QStringLiteral("; "));
  setAccessibleName(name);
  setAccessibleDescription(plainText);
  updateGeometry();
  update();
}

QFont HtmlTextCtrl::BaseFont() const {
  QFont base = MarkupFont(font(), "Tahoma", 0);
  base.setPointSizeF(8);
  return base;
}

QSize HtmlTextCtrl::sizeHint() const {
  const QSize content = HtmlLayout(document, BaseFont(), palette().color(QPalette::WindowText)).NaturalSize();
  const QMargins m = contentsMargins();
  return content.grownBy(m).expandedTo(QSize(1, 1));
}

QSize HtmlTextCtrl::minimumSizeHint() const {
  return sizeHint();
}

void HtmlTextCtrl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect area = contentsRect();
  painter.setClipRect(area);
  painter.setRenderHint(QPainter::TextAntialiasing);
  HtmlLayout(document, BaseFont(), palette().color(QPalette::WindowText)).Paint(painter, area);
}

void HtmlTextCtrl::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) updateGeometry();
  QWidget::changeEvent(event);
}
