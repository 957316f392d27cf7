// iMap: shows the map picture, one pixel per pixel unless zoomed, straight from the picture's
// rows. Zoom changes only what is shown: the picture stays as the render made it.
#pragma once

#include <QWidget>

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
  // The largest zoom at which the whole picture fits into Area.
  void FitInto(QSize Area);

  QSize sizeHint() const override;

 signals:
  // A zoom by the wheel moved the picture point under the pointer by Offset view pixels; the
  // scroll area scrolls by as much to keep it there.
  void ScrollBy(QPoint Offset);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  QSize ShownSize() const;

  TPicture picture_;
  double zoom_ = 1.0;
  int wheelTurn_ = 0;  // angle delta not yet used by a whole notch
};

}  // namespace hillograph
