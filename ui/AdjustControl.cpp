#include "ui/AdjustControl.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <cmath>

#include "ui/AdjustRes.h"

namespace hillograph {
namespace {

int PointerX(const QMouseEvent& event) {
  return event.position().toPoint().x();
}

constexpr int WheelNotch = 120;  // angle delta of one notch

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
  Step(x - LastX);
  // Also at a bound and while the field is disabled: the next step counts only new travel.
  LastX = x;
  event->accept();
}

void TAdjustLabel::Step(int Pixels) {
  if (!attachedEdit || !attachedEdit->isEnabled()) return;
  // One rounding of v + dx * Increment: what an extended-precision sum rounded to double gives
  // whenever the product is exact there, as it always is with whole increments.
  attachedEdit->SetValue(std::fma(static_cast<double>(Pixels), increment, attachedEdit->Value()));
}

int TAdjustLabel::WheelNotches(const QWheelEvent& event) {
  wheelTurn += event.angleDelta().y();
  const int notches = wheelTurn / WheelNotch;
  wheelTurn -= notches * WheelNotch;
  return notches;
}

void TAdjustLabel::SetAttachedEdit(TNumberEdit* AttachedEdit) {
  if (attachedEdit) attachedEdit->removeEventFilter(this);
  attachedEdit = AttachedEdit;
  if (attachedEdit) attachedEdit->installEventFilter(this);
}

void TAdjustLabel::wheelEvent(QWheelEvent* event) {
  if (!attachedEdit) {
    QLabel::wheelEvent(event);
    return;
  }
  Step(WheelNotches(*event));
  event->accept();
}

bool TAdjustLabel::eventFilter(QObject* watched, QEvent* event) {
  // Only input is looked at: while the field is being destroyed it is no TNumberEdit any more.
  const bool input = event->type() == QEvent::Wheel || event->type() == QEvent::KeyPress;
  if (!input || watched != attachedEdit) return QLabel::eventFilter(watched, event);
  if (event->type() == QEvent::Wheel) {
    Step(WheelNotches(*static_cast<QWheelEvent*>(event)));
    return true;
  }
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
      Step(key->key() == Qt::Key_Up ? 1 : -1);
      return true;
    }
  }
  return false;
}

void TAdjustLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  // Any button ends the drag, also one pressed after the drag began.
  Dragging = false;
}

}  // namespace hillograph
