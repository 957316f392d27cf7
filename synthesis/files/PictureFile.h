// Writing the picture in the format its file name asks for.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "synthesis/base/Progress.h"
#include "synthesis/raster/Heightmap.h"
#include "synthesis/raster/Picture.h"
#include "synthesis/raster/PngText.h"
#include "synthesis/vector/SvgDrawing.h"

namespace hillograph {

// PNG when the name ends in ".png" (any case), an SVG drawing of Layers when it ends in ".svg",
// otherwise an uncompressed 24-bit BMP. Replaces the file whole or leaves it as it was, failing
// with "Cannot create file ...". A drawing needs Layers (see IsSvgFileName), and fails without.
// A PNG carries Texts in its text chunks.
void SavePictureFile(const TPicture& Picture, const std::string& FileName,
                     TProgress* Progress = nullptr, const TMapLayers* Layers = nullptr,
                     std::span<const TPngText> Texts = {});

// Whether the picture's file is a drawing, made from the map's layers rather than its pixels.
bool IsSvgFileName(const std::string& FileName);

// An uncompressed 24-bit BMP whatever the name, replaced or left as SavePictureFile does.
// Reports "Writing" to Progress when given.
void SaveBitmapToFile(const TPicture& Picture, const std::string& FileName,
                      TProgress* Progress = nullptr);

// By the name's extension, without regard to case: ".png", ".r16" or ".raw", ".pgm".
std::optional<THeightmapFormat> HeightmapFormatOf(const std::string& FileName);

// Writes the height field's samples of the kind asked for in Format, whole or not at all, failing
// as SavePictureFile does. The members of Team, when given, share the smoothing.
void SaveHeightmapFile(const THeightField& Heights, THeightmapFormat Format,
                       const std::string& FileName, TProgress* Progress = nullptr,
                       THeightmapSamples Kind = THeightmapSamples::Levels,
                       TWorkerTeam* Team = nullptr, std::span<const TPngText> Texts = {});

// Whether the name ends in Extension (".png"), compared without regard to ASCII case.
bool HasExtension(const std::string& FileName, std::string_view Extension);

}  // namespace hillograph
