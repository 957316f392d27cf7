// A label that doubles as a drag handle for a number field: pressing the left button on it and
// moving the pointer sideways changes the field's Value by Increment per pixel. Up and Down in
// the field, and each notch of the wheel over the field or the label, step it as a drag of one
// pixel would.
#pragma once

#include <QLabel>
#include <QPointer>

#include "ui/NumberEdit.h"

namespace hillograph {

inline constexpr double DefaultAdjustIncrement = 1.0;

class TAdjustLabel : public QLabel {
  Q_OBJECT

 public:
  explicit TAdjustLabel(QWidget* parent = nullptr);
  explicit TAdjustLabel(const QString& text, QWidget* parent = nullptr);

  double Increment() const { return increment; }
  void SetIncrement(double Increment) { increment = Increment; }
  // Not owned; reads as nullptr once the field is destroyed.
  TNumberEdit* AttachedEdit() const { return attachedEdit; }
  // The label takes the field's Up, Down and wheel events.
  void SetAttachedEdit(TNumberEdit* AttachedEdit);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // What a drag of Pixels to the right (left when negative) does to the field.
  void Step(int Pixels);
  // Whole notches of the wheel turned so far; the rest is kept for the next event.
  int WheelNotches(const QWheelEvent& event);

  double increment = DefaultAdjustIncrement;
  QPointer<TNumberEdit> attachedEdit;
  bool Dragging = false;
  int LastX = 0;      // pointer x at the press or at the previous step of the drag
  int wheelTurn = 0;  // angle delta not yet used by a whole notch
};

}  // namespace hillograph
