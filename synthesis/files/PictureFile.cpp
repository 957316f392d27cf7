#include "synthesis/files/PictureFile.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "stb_image_write.h"
#include "synthesis/base/Error.h"
#include "synthesis/files/AtomicFile.h"
#include "synthesis/files/OutputFile.h"
#include "synthesis/raster/Bmp.h"

namespace hillograph {
namespace {

bool EndsWithPng(const std::string& name) {
  constexpr std::string_view PngExtension = ".png";
  if (name.size() < PngExtension.size()) return false;
  return std::equal(PngExtension.begin(), PngExtension.end(),
                    name.end() - static_cast<std::ptrdiff_t>(PngExtension.size()),
                    [](char a, char b) { return a == (b >= 'A' && b <= 'Z' ? b - 'A' + 'a' : b); });
}

void AppendBytes(void* context, void* data, int size) {
  static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                             static_cast<std::size_t>(size));
}

}  // namespace

std::string EncodePng(const TPicture& Picture) {
  const std::int32_t width = Picture.Width();
  const std::int32_t height = Picture.Height();
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                                3);
  std::uint8_t* out = rgb.data();
  for (std::int32_t y = 0; y < height; ++y) {
    const std::uint8_t* in = Picture.ScanLine(y);
    for (std::int32_t x = 0; x < width; ++x, in += 3, out += 3) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
    }
  }
  std::string png;
  if (stbi_write_png_to_func(&AppendBytes, &png, width, height, 3, rgb.data(), width * 3) == 0) {
    throw TError("Cannot encode the picture as PNG");
  }
  return png;
}

void SavePictureFile(const TPicture& Picture, const std::string& FileName) {
  if (!EndsWithPng(FileName)) {
    SaveBitmapToFile(Picture, FileName);
    return;
  }
  CreateOutputFile(FileName, EncodePng(Picture));
}

}  // namespace hillograph
