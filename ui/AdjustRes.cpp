#include "ui/AdjustRes.h"

#include <QCoreApplication>
#include <QPixmap>
#include <array>
#include <optional>
#include <string_view>

namespace hillograph {
namespace {

// X black, o white, . transparent; the rest of the 32 x 32 picture is transparent.
constexpr std::array<std::string_view, 13> AdjustRows = {
    ".......oooooo.......",  //
    ".......oXooXo.......",  //
    "....oo.oXooXo.oo....",  //
    "...oXo.oXooXo.oXo...",  //
    "..oXXo.oXooXo.oXXo..",  //
    ".oXXXoooXooXoooXXXo.",  //
    "oXXXXXXXXXXXXXXXXXXo",  //
    ".oXXXoooXooXoooXXXo.",  //
    "..oXXo.oXooXo.oXXo..",  //
    "...oXo.oXooXo.oXo...",  //
    "....oo.oXooXo.oo....",  //
    ".......oXooXo.......",  //
    ".......oooooo.......",  //
};

std::optional<QCursor>& Registered() {
  static std::optional<QCursor> cursor;
  return cursor;
}

// The shape holds a pixmap, which must not outlive the application object.
void Unregister() {
  Registered().reset();
}

}  // namespace

QImage AdjustCursorPicture() {
  QImage picture(AdjustCursorSize, AdjustCursorSize, QImage::Format_ARGB32);
  picture.fill(Qt::transparent);
  for (int y = 0; y < static_cast<int>(AdjustRows.size()); ++y) {
    for (int x = 0; x < static_cast<int>(AdjustRows[y].size()); ++x) {
      const char pixel = AdjustRows[y][x];
      if (pixel != '.') picture.setPixelColor(x, y, pixel == 'X' ? Qt::black : Qt::white);
    }
  }
  return picture;
}

void RegisterAdjustCursor() {
  if (Registered()) return;
  Registered().emplace(QPixmap::fromImage(AdjustCursorPicture()), AdjustCursorHotX,
                       AdjustCursorHotY);
  qAddPostRoutine(Unregister);
}

const QCursor& crAdjust() {
  RegisterAdjustCursor();
  return *Registered();
}

}  // namespace hillograph
