// The map on a screen scaled to 200 %: one map pixel per device pixel at 100 % zoom, not a block
// of four.
#include <QTest>

#include "parameters/RenderRequest.h"
#include "synthesis/raster/Bmp.h"
#include "ui/MapView.h"

namespace hillograph {

class HighDpiTest : public QObject {
  Q_OBJECT

 private slots:
  void mapPixelsAreDevicePixels() {
    TMapParameters params;
    params.Width = 40;
    params.Height = 30;
    TPicture picture;
    RenderMapParameters(picture, params);
    const QImage expected = QImage::fromData(QByteArray::fromStdString(EncodeBmp(picture)))
                                .convertToFormat(QImage::Format_RGB32);
    TMapView view;
    view.SetPicture(std::move(picture));
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(view.size(), QSize(20, 15));
    QImage shown = view.grab().toImage();
    shown.setDevicePixelRatio(1);
    QCOMPARE(shown.convertToFormat(QImage::Format_RGB32), expected);
    // The area in the widget's units, twice as many device pixels; either side may be the limit.
    view.FitInto(QSize(100, 15));
    QCOMPARE(view.Zoom(), 1.0);
    view.FitInto(QSize(40, 100));
    QCOMPARE(view.Zoom(), 2.0);
    QCOMPARE(view.size(), QSize(40, 30));
  }
};

}  // namespace hillograph

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_SCALE_FACTOR", "2");
  QApplication app(argc, argv);
  hillograph::HighDpiTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "HighDpiTest.moc"
