#include "ui/MapView.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>

namespace hillograph {
namespace {
// The empty area shown before the first render.
constexpr QSize EmptyViewSize(105, 81);
}  // namespace

TMapView::TMapView(QWidget* parent) : QWidget(parent) {
  setCursor(Qt::CrossCursor);
  resize(EmptyViewSize);
}

void TMapView::PictureChanged() {
  const QSize size(picture_.Width(), picture_.Height());
  if (this->size() != size) resize(size);
}

QSize TMapView::sizeHint() const {
  return picture_.Width() > 0 ? QSize(picture_.Width(), picture_.Height()) : EmptyViewSize;
}

void TMapView::paintEvent(QPaintEvent* event) {
  if (picture_.Width() == 0 || picture_.Height() == 0) return;
  // A view of the picture's own rows: the image borrows the bytes and copies nothing.
  const QImage image(picture_.Bits(), picture_.Width(), picture_.Height(),
                     static_cast<qsizetype>(picture_.Stride()), QImage::Format_BGR888);
  QPainter painter(this);
  painter.drawImage(event->rect(), image, event->rect());
}

}  // namespace hillograph
