// Writing the picture in the format its file name asks for.
#pragma once

#include <string>

#include "synthesis/raster/Picture.h"

namespace hillograph {

// PNG when the name ends in ".png" (any case), otherwise an uncompressed 24-bit BMP. Replaces the
// file whole or leaves it as it was, failing with "Cannot create file ...".
void SavePictureFile(const TPicture& Picture, const std::string& FileName);

// The picture as a PNG file's bytes.
std::string EncodePng(const TPicture& Picture);

}  // namespace hillograph
