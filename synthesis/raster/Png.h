// PNG encoding. The rows are gathered into one filtered copy and deflated in a single call, the
// fastest way there is; that copy is the picture's size again while the file is made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "synthesis/base/Progress.h"
#include "synthesis/raster/ByteSink.h"
#include "synthesis/raster/Picture.h"
#include "synthesis/raster/PngText.h"

namespace hillograph {

enum class TPngKind {
  Rgb8,    // three bytes per pixel: red, green, blue
  Gray16,  // two bytes per pixel, big-endian, as PNG stores them
};

// How hard the image data is compressed.
enum class TPngCompression {
  Fast,    // filtered and deflated at the fastest level
  Stored,  // unfiltered, in deflate's stored blocks: for samples that deflate cannot shrink much
           // (smooth 16-bit heights), faster to write and to read
};

// Fills Row with row y (0 is the top) as PNG stores it: Width pixels of the kind's bytes.
using TPngRowSource = std::function<void(std::int32_t y, std::uint8_t* Row)>;

// Width and Height are 1 .. 2^31 - 1. Reports "Encoding" to Progress when given. Texts go into
// text chunks after the header, before the image data: a tEXt chunk each, or an iTXt chunk for a
// text that is not ASCII (tEXt holds Latin-1). A keyword is 1 .. 79 printable Latin-1 characters.
void WritePng(std::int32_t Width, std::int32_t Height, TPngKind Kind, const TPngRowSource& Rows,
              TByteSink& Sink, TProgress* Progress = nullptr, std::span<const TPngText> Texts = {},
              TPngCompression Compression = TPngCompression::Fast);

// The picture as a truecolour PNG.
void WritePicturePng(const TPicture& Picture, TByteSink& Sink, TProgress* Progress = nullptr,
                     std::span<const TPngText> Texts = {});
std::string EncodePng(const TPicture& Picture);

}  // namespace hillograph
