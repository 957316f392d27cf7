// iMap: shows the map picture at its own size, unscaled, straight from the picture's rows.
#pragma once

#include <QWidget>

#include "synthesis/raster/Picture.h"

namespace hillograph {

class TMapView : public QWidget {
  Q_OBJECT

 public:
  explicit TMapView(QWidget* parent = nullptr);

  // The picture renders draw into; it lives as long as the view.
  TPicture& Picture() { return picture_; }
  const TPicture& Picture() const { return picture_; }

  // Takes the picture's size after a render. Painting follows with the next repaint.
  void PictureChanged();

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TPicture picture_;
};

}  // namespace hillograph
