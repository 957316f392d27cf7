#include "ui/ColorSwatch.h"

#include <QMouseEvent>
#include <QPainter>

namespace hillograph {

QColor ToQColor(TColor Color) {
  return QColor(RedOf(Color), GreenOf(Color), BlueOf(Color));
}

TColor FromQColor(const QColor& Color) {
  return RGB(static_cast<std::uint32_t>(Color.red()), static_cast<std::uint32_t>(Color.green()),
             static_cast<std::uint32_t>(Color.blue()));
}

TColorSwatch::TColorSwatch(QWidget* parent) : QWidget(parent) {
  setCursor(Qt::PointingHandCursor);
}

void TColorSwatch::SetBrushColor(TColor Color) {
  if (Color == brushColor_) return;
  brushColor_ = Color;
  update();
}

void TColorSwatch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(Qt::black);  // a one-pixel black outline around the fill
  painter.setBrush(ToQColor(brushColor_));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TColorSwatch::mousePressEvent(QMouseEvent* event) {
  QWidget::mousePressEvent(event);
  emit MouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

}  // namespace hillograph
