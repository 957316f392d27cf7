// iMap: shows the map picture, one map pixel per device pixel unless zoomed (also on a screen
// scaled for high DPI), straight from the picture's rows. Zoom changes only what is shown: the
// picture stays as the render made it. Dragging it with the left button pans the scroll area.
#pragma once

#include <QWidget>
#include <optional>

#include "synthesis/raster/Picture.h"

namespace hillograph {

inline constexpr double MinZoom = 0.1;
inline constexpr double MaxZoom = 8.0;
inline constexpr double WheelZoomStep = 1.25;  // per notch of the wheel
inline constexpr int WheelNotch = 120;         // angle delta of one notch

class TMapView : public QWidget {
  Q_OBJECT

 public:
  explicit TMapView(QWidget* parent = nullptr);

  const TPicture& Picture() const { return picture_; }
  // Shows a complete new picture at the present zoom.
  void SetPicture(TPicture&& Picture);

  double Zoom() const { return zoom_; }
  // Brought into MinZoom .. MaxZoom.
  void SetZoom(double Zoom);
  // The largest zoom at which the whole picture fits into Area (in the widget's own units).
  void FitInto(QSize Area);

  QSize sizeHint() const override;

 signals:
  // A zoom by the wheel moved the picture point under the pointer by Offset view pixels; the
  // scroll area scrolls by as much to keep it there.
  void ScrollBy(QPoint Offset);
  void ZoomChanged(double Zoom);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QSize ShownSize() const;
  // Widget units per map pixel.
  double Scale() const;

  TPicture picture_;
  double zoom_ = 1.0;
  int wheelTurn_ = 0;               // angle delta not yet used by a whole notch
  std::optional<QPoint> dragFrom_;  // the pointer on the screen while the left button pans
};

}  // namespace hillograph
