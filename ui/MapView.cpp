#include "ui/MapView.h"

#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <utility>

namespace hillograph {
namespace {
// The empty area shown before the first render.
constexpr QSize EmptyViewSize(105, 81);
}  // namespace

TMapView::TMapView(QWidget* parent) : QWidget(parent) {
  setCursor(Qt::OpenHandCursor);
  resize(EmptyViewSize);
}

double TMapView::Scale() const {
  return zoom_ / devicePixelRatioF();
}

void TMapView::SetPicture(TPicture&& Picture) {
  picture_ = std::move(Picture);
  if (size() != ShownSize()) resize(ShownSize());
  update();
}

void TMapView::SetZoom(double Zoom) {
  const double before = zoom_;
  zoom_ = std::clamp(Zoom, MinZoom, MaxZoom);
  if (size() != ShownSize()) resize(ShownSize());
  update();
  if (zoom_ != before) emit ZoomChanged(zoom_);
}

void TMapView::FitInto(QSize Area) {
  if (picture_.Width() == 0 || picture_.Height() == 0 || Area.isEmpty()) return;
  const double ratio = devicePixelRatioF();
  SetZoom(
      std::min(Area.width() * ratio / picture_.Width(), Area.height() * ratio / picture_.Height()));
}

QSize TMapView::ShownSize() const {
  if (picture_.Width() == 0 || picture_.Height() == 0) return EmptyViewSize;
  // Rounded down, so that a fitted picture never needs a scroll bar.
  return {std::max(1, static_cast<int>(picture_.Width() * Scale())),
          std::max(1, static_cast<int>(picture_.Height() * Scale()))};
}

QSize TMapView::sizeHint() const {
  return ShownSize();
}

void TMapView::paintEvent(QPaintEvent* event) {
  if (picture_.Width() == 0 || picture_.Height() == 0) return;
  // A view of the picture's own rows: the image borrows the bytes and copies nothing.
  const QImage image(picture_.Bits(), picture_.Width(), picture_.Height(),
                     static_cast<qsizetype>(picture_.Stride()), QImage::Format_BGR888);
  QPainter painter(this);
  const double scale = Scale();
  if (scale == 1.0) {
    painter.drawImage(event->rect(), image, event->rect());
    return;
  }
  // Enlarged pixels stay sharp squares; a reduced picture is smoothed rather than thinned out.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, zoom_ < 1.0);
  const QRectF target(event->rect());
  const QRectF source(target.x() / scale, target.y() / scale, target.width() / scale,
                      target.height() / scale);
  painter.drawImage(target, image, source);
}

void TMapView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  dragFrom_ = event->globalPosition().toPoint();
  setCursor(Qt::ClosedHandCursor);
}

void TMapView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragFrom_) return QWidget::mouseMoveEvent(event);
  // The map follows the pointer: the area scrolls the other way.
  const QPoint at = event->globalPosition().toPoint();
  emit ScrollBy(*dragFrom_ - at);
  dragFrom_ = at;
}

void TMapView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
  dragFrom_.reset();
  setCursor(Qt::OpenHandCursor);
}

void TMapView::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier)) {
    event->ignore();  // the scroll area scrolls
    return;
  }
  event->accept();
  wheelTurn_ += event->angleDelta().y();
  const int notches = wheelTurn_ / WheelNotch;
  wheelTurn_ -= notches * WheelNotch;
  if (notches == 0) return;
  const double before = zoom_;
  SetZoom(zoom_ * std::pow(WheelZoomStep, notches));
  // The picture point under the pointer stays under it.
  const QPointF at = event->position();
  emit ScrollBy((at * (zoom_ / before) - at).toPoint());
}

}  // namespace hillograph
