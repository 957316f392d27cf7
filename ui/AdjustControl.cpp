#include "ui/AdjustControl.h"

#include <QMouseEvent>
#include <cmath>

#include "ui/AdjustRes.h"

namespace hillograph {
namespace {

int PointerX(const QMouseEvent& event) {
  return event.position().toPoint().x();
}

}  // namespace

TAdjustLabel::TAdjustLabel(QWidget* parent) : TAdjustLabel(QString(), parent) {}

TAdjustLabel::TAdjustLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  // Dragging must leave the focus, and the caret, with the field being edited.
  setFocusPolicy(Qt::NoFocus);
  setCursor(crAdjust());
}

void TAdjustLabel::mousePressEvent(QMouseEvent* event) {
  QLabel::mousePressEvent(event);
  if (event->button() != Qt::LeftButton) return;
  Dragging = true;
  LastX = PointerX(*event);
  event->accept();
}

void TAdjustLabel::mouseMoveEvent(QMouseEvent* event) {
  QLabel::mouseMoveEvent(event);
  if (!Dragging || !attachedEdit) return;
  const int x = PointerX(*event);
  if (attachedEdit->isEnabled()) {
    // One rounding of v + dx * Increment: what an extended-precision sum rounded to double gives
    // whenever the product is exact there, as it always is with whole increments.
    attachedEdit->SetValue(
        std::fma(static_cast<double>(x - LastX), increment, attachedEdit->Value()));
  }
  // Also at a bound and while the field is disabled: the next step counts only new travel.
  LastX = x;
  event->accept();
}

void TAdjustLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  // Any button ends the drag, also one pressed after the drag began.
  Dragging = false;
}

}  // namespace hillograph
