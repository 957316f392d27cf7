// A colour swatch: a rectangle filled with its brush colour that reports any button pressed on it,
// and Space or Enter while it has the focus; its tooltip gives the colour as #RRGGBB.
#pragma once

#include <QWidget>

#include "synthesis/base/Color.h"

namespace hillograph {

class TColorSwatch : public QWidget {
  Q_OBJECT

 public:
  explicit TColorSwatch(QWidget* parent = nullptr);

  TColor BrushColor() const { return brushColor_; }
  // Repaints when the colour changes.
  void SetBrushColor(TColor Color);

 signals:
  void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, QPoint Position);
  void Activated();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  TColor brushColor_ = 0xFFFFFF;
};

// The Qt colour of a TColor (0x00BBGGRR) and back.
QColor ToQColor(TColor Color);
TColor FromQColor(const QColor& Color);
// #RRGGBB.
QString ColorName(TColor Color);

}  // namespace hillograph
