// A label that doubles as a drag handle for a number field: pressing the left button on it and
// moving the pointer sideways changes the field's Value by Increment per pixel.
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
  void SetAttachedEdit(TNumberEdit* AttachedEdit) { attachedEdit = AttachedEdit; }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  double increment = DefaultAdjustIncrement;
  QPointer<TNumberEdit> attachedEdit;
  bool Dragging = false;
  int LastX = 0;  // pointer x at the press or at the previous step of the drag
};

}  // namespace hillograph
