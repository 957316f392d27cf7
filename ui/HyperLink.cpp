#include "ui/HyperLink.h"

#include <QCursor>
#include <QFocusEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>

#include "ui/InterfaceFont.h"

namespace hillograph {
namespace {

constexpr int BoundsMargin = 2;  // around the caption when the link sizes itself
constexpr int CaptionLeft = 1;   // x of a left-justified caption
constexpr QRgb InvertedBits = 0x00FFFFFF;
constexpr double MetersPerInch = 0.0254;

QFont DefaultLinkFont(bool underline) {
  QFont font = InterfaceFont(DefaultHyperLinkPointSize);
  font.setBold(true);
  font.setUnderline(underline);
  return font;
}

// The device pixels [first, last) that make up logical pixel i; neighbours never share one.
std::pair<int, int> DevicePixels(int i, double ratio) {
  const int first = static_cast<int>(i * ratio);
  return {first, std::max(first + 1, static_cast<int>((i + 1) * ratio))};
}

void InvertPixel(QImage& image, int x, int y) {
  const double ratio = image.devicePixelRatio();
  const auto [left, right] = DevicePixels(x, ratio);
  const auto [top, bottom] = DevicePixels(y, ratio);
  for (int dy = top; dy < std::min(bottom, image.height()); ++dy) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(dy));
    for (int dx = left; dx < std::min(right, image.width()); ++dx)
      line[dx] ^= InvertedBits;
  }
}

// The dotted focus frame: every odd pixel of the top and bottom rows, then of the left and right
// columns. A pixel reached twice keeps its colour.
void InvertFocusFrame(QImage& image, int width, int height) {
  for (int x = 1; x < width; x += 2) {
    InvertPixel(image, x, 0);
    InvertPixel(image, x, height - 1);
  }
  for (int y = 1; y < height; y += 2) {
    InvertPixel(image, 0, y);
    InvertPixel(image, width - 1, y);
  }
}

}  // namespace

THyperLink::THyperLink(QWidget* parent)
    : QWidget(parent),
      fontOut(new TLinkFont(DefaultLinkFont(false), QColor(DefaultFontOutColor), this)),
      fontOver(new TLinkFont(DefaultLinkFont(true), QColor(DefaultFontOverColor), this)),
      hoverTimer(new QTimer(this)) {
  // Focus on a press of any button, never by Tab.
  setFocusPolicy(Qt::ClickFocus);
  // Every pixel is painted, the parent's colour included.
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Connected only now, so that construction does not size the link.
  connect(fontOut, &TLinkFont::Changed, this, [this] { FontChanged(fontOut); });
  connect(fontOver, &TLinkFont::Changed, this, [this] { FontChanged(fontOver); });
  hoverTimer->setObjectName(QStringLiteral("HoverTimer"));
  hoverTimer->setInterval(HoverTimerInterval);
  connect(hoverTimer, &QTimer::timeout, this, &THyperLink::HoverTimerTick);
  hoverTimer->start();
}

void THyperLink::SetCaption(const QString& Caption) {
  if (Caption == caption) return;
  caption = Caption;
  if (autoSize) AdjustBounds();
  update();
}

void THyperLink::SetFontOut(const QFont& Font, const QColor& Color) {
  AssignFont(*fontOut, Font, Color);
}

void THyperLink::SetFontOver(const QFont& Font, const QColor& Color) {
  AssignFont(*fontOver, Font, Color);
}

void THyperLink::AssignFont(TLinkFont& font, const QFont& Font, const QColor& Color) {
  {
    // The write resizes and repaints below whether or not anything changed.
    const QSignalBlocker blocker(font);
    font.SetFont(Font);
    font.SetColor(Color);
  }
  if (autoSize) AdjustBounds();
  update();
}

void THyperLink::SetAlignment(TAlignment Alignment) {
  if (Alignment == alignment) return;
  alignment = Alignment;
  update();
}

void THyperLink::SethlAutoSize(bool AutoSize) {
  if (AutoSize == autoSize) return;
  autoSize = AutoSize;
  update();
}

void THyperLink::HoverTimerTick() {
  const QPoint pointer = mapFromGlobal(QCursor::pos());
  const bool inside = rect().contains(pointer);  // right and bottom edges excluded
  if (inside == mouseOver) return;
  mouseOver = inside;
  if (autoSize) AdjustBounds();
  update();
}

void THyperLink::FontChanged(const TLinkFont* sender) {
  if (sender != &FontInUse()) return;
  if (autoSize) AdjustBounds();
  update();
}

void THyperLink::AdjustBounds() {
  const QFontMetrics metrics(FontInUse().Font(), this);
  resize(metrics.horizontalAdvance(caption) + BoundsMargin, metrics.height() + BoundsMargin);
}

QColor THyperLink::BackgroundColor() const {
  const QWidget* parent = parentWidget();
  return parent ? parent->palette().color(parent->backgroundRole())
                : palette().color(backgroundRole());
}

void THyperLink::paintEvent(QPaintEvent*) {
  if (width() <= 0 || height() <= 0) return;
  // Drawn off screen first, so that the focus frame can invert the pixels as painted.
  const double ratio = devicePixelRatioF();
  QImage image(size() * ratio, QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  // The same resolution as the widget, so the caption measures as AdjustBounds measured it.
  image.setDotsPerMeterX(qRound(logicalDpiX() / MetersPerInch));
  image.setDotsPerMeterY(qRound(logicalDpiY() / MetersPerInch));
  image.fill(BackgroundColor());
  {
    QPainter painter(&image);
    const TLinkFont& font = FontInUse();
    painter.setFont(font.Font());
    painter.setPen(font.Color());
    const QFontMetrics metrics = painter.fontMetrics();
    const int captionWidth = metrics.horizontalAdvance(caption);
    int x = CaptionLeft;
    if (alignment == taRightJustify) x = width() - 1 - captionWidth;
    if (alignment == taCenter) x = (width() - 1 - captionWidth) / 2;  // toward zero
    painter.drawText(x, metrics.ascent(), caption);
  }
  if (hasFocus()) InvertFocusFrame(image, width(), height());
  QPainter(this).drawImage(0, 0, image);
}

void THyperLink::mousePressEvent(QMouseEvent* event) {
  QWidget::mousePressEvent(event);
  if (event->button() == Qt::LeftButton) leftPressed = true;
  setFocus(Qt::MouseFocusReason);
  event->accept();
}

void THyperLink::mouseReleaseEvent(QMouseEvent* event) {
  QWidget::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton || !leftPressed) return;
  leftPressed = false;
  if (rect().contains(event->position().toPoint())) emit Clicked();
}

void THyperLink::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  update();
}

void THyperLink::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  update();
}

}  // namespace hillograph
