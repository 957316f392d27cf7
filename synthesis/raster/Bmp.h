// Saving the picture as an uncompressed 24-bit BMP file.
#pragma once

#include <string>

#include "synthesis/base/Progress.h"
#include "synthesis/raster/Picture.h"

namespace hillograph {

// The whole file: headers and the rows bottom-up, as BMP readers expect.
std::string EncodeBmp(const TPicture& Picture);

// Replaces FileName with the picture, or leaves it as it was and throws TError with the message
// Cannot create file "<full path>". <system's reason>
// Reports "Writing" to Progress when given.
void SaveBitmapToFile(const TPicture& Picture, const std::string& FileName,
                      TProgress* Progress = nullptr);

}  // namespace hillograph
