// libpng's error and warning callbacks for the encoder and the text reader. libpng reports an error
// by longjmp, so its message is kept in the caller's buffer (libpng's error pointer) for the
// exception thrown once control is back in our frames; warnings change nothing we write or read.
#pragma once

#include <png.h>

#include <cstring>

namespace hillograph {

inline constexpr std::size_t PngMessageSize = 200;

[[noreturn]] inline void KeepPngError(png_structp png, png_const_charp message) {
  std::strncpy(static_cast<char*>(png_get_error_ptr(png)), message, PngMessageSize - 1);
  png_longjmp(png, 1);
}

inline void IgnorePngWarning(png_structp, png_const_charp) {}

}  // namespace hillograph
