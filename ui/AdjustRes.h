// The "ADJUST" pointer shape that every adjust label shows: a black double-headed horizontal
// arrow with a white outline, crossed in its middle by two short vertical bars.
#pragma once

#include <QCursor>
#include <QImage>

namespace hillograph {

inline constexpr int AdjustCursorSize = 32;
inline constexpr int AdjustCursorHotX = 9;
inline constexpr int AdjustCursorHotY = 6;

// The 32 x 32 picture: black, white and transparent pixels.
QImage AdjustCursorPicture();

// Builds the shape once; the program entry calls it before it creates any window. Needs the
// application object, and lets go of the shape when the application object goes.
void RegisterAdjustCursor();

// The registered shape (registered on first use when the entry has not done it).
const QCursor& crAdjust();

}  // namespace hillograph
