// Draws the window as it first opens, start-up map included, into a PNG file: the README's picture
// of the window. Runs on the offscreen platform, so it needs no display.
// Usage: hillograph-screenshot FILE.png
#include <QApplication>
#include <QPixmap>
#include <QScrollArea>
#include <QTextStream>
#include <cstdio>

#include "ui/AdjustRes.h"
#include "ui/Main.h"
#include "ui/MapView.h"

int main(int argc, char** argv) {
  using namespace hillograph;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QTextStream err(stderr);
  if (QApplication::arguments().size() != 2) {
    err << "usage: hillograph-screenshot FILE.png\n";
    return 2;
  }
  RegisterAdjustCursor();
  TfrmMain window;  // start-up values: nothing is read from earlier runs
  window.show();
  // As large as the start-up map needs, whatever the offscreen screen's size.
  window.resize(window.width(), window.ControlPanel->height() + window.iMap->height() +
                                    2 * window.MapArea->frameWidth() + window.StatusBar->height());
  QApplication::processEvents();
  if (!window.grab().save(QApplication::arguments().at(1), "PNG")) {
    err << "hillograph-screenshot: cannot write " << QApplication::arguments().at(1) << "\n";
    return 1;
  }
  return 0;
}
