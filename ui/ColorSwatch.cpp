#include "ui/ColorSwatch.h"

#include <QKeyEvent>
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

QString ColorName(TColor Color) {
  return ToQColor(Color).name(QColor::HexRgb).toUpper();
}

TColorSwatch::TColorSwatch(QWidget* parent) : QWidget(parent) {
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::StrongFocus);
  setToolTip(ColorName(brushColor_));
}

void TColorSwatch::SetBrushColor(TColor Color) {
  if (Color == brushColor_) return;
  brushColor_ = Color;
  setToolTip(ColorName(brushColor_));
  update();
}

void TColorSwatch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(Qt::black);  // a one-pixel black outline around the fill
  painter.setBrush(ToQColor(brushColor_));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  if (hasFocus()) {  // a dotted frame inside the outline
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(2, 2, -3, -3));
  }
}

void TColorSwatch::mousePressEvent(QMouseEvent* event) {
  QWidget::mousePressEvent(event);
  emit MouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

void TColorSwatch::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
    event->accept();
    emit Activated();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace hillograph
