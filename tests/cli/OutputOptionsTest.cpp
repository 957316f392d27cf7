#include <gtest/gtest.h>
#include <spng.h>  // a second PNG library, independent of the encoder

#include <cstdint>
#include <string>
#include <tuple>

#include "parameters/MapParameters.h"
#include "parameters/RenderRequest.h"
#include "tests/TempFolder.h"
#include "tests/cli/ProgramRun.h"
#include "tests/synthesis/PictureTesting.h"

namespace hillograph {
namespace {

// Decodes a PNG file's bytes to the format asked for; empty when the decoder refuses them.
std::string DecodePng(const std::string& png, spng_format format, spng_ihdr& header) {
  spng_ctx* ctx = spng_ctx_new(0);
  std::string out;
  std::size_t size = 0;
  if (spng_set_png_buffer(ctx, png.data(), png.size()) == 0 && spng_get_ihdr(ctx, &header) == 0 &&
      spng_decoded_image_size(ctx, format, &size) == 0) {
    out.resize(size);
    if (spng_decode_image(ctx, out.data(), size, format, 0) != 0) out.clear();
  }
  spng_ctx_free(ctx);
  return out;
}

// The map written as PNG decodes to the picture's pixels; the heightmap holds the height field
// times 257, rows from the top, as each format defines it.
TEST(OutputOptionsTest, PngMapAndHeightmapReadBack) {
  for (const auto& [heightmap, width, height] :
       {std::tuple{"h.png", 37, 23}, {"h.RAW", 300, 257}, {"h.pgm", 1, 1}}) {
    TMapParameters params;
    params.Width = width;
    params.Height = height;
    params.RandSeed = 99;
    TPicture picture;
    THeightField field;
    RenderMapParameters(picture, params, nullptr, {.Heights = &field});
    std::string rgb, big, little;  // what the files hold
    for (std::int32_t y = 0; y < height; ++y) {
      for (std::int32_t x = 0; x < width; ++x) {
        const TColor c = testing::PixelAt(picture, x, y);
        rgb += {static_cast<char>(RedOf(c)), static_cast<char>(GreenOf(c)), static_cast<char>(BlueOf(c))};
        const int h = field[x][y] * 257;
        big += {static_cast<char>(h >> 8), static_cast<char>(h)};
        little += {static_cast<char>(h), static_cast<char>(h >> 8)};
      }
    }
    const testing::TTempFolder folder;
    const auto run = testing::RunRenderProgram(
        "--size " + std::to_string(width) + "x" + std::to_string(height) + " --set RandSeed=99 -o " +
        folder.Path("m.PNG") + " --heightmap " + folder.Path(heightmap));
    ASSERT_EQ(run.status, 0) << run.err;
    spng_ihdr header{};
    EXPECT_TRUE(DecodePng(folder.Read("m.PNG"), SPNG_FMT_RGB8, header) == rgb) << heightmap;
    const std::string written = folder.Read(heightmap);
    if (std::string(heightmap) == "h.png") {
      EXPECT_TRUE(DecodePng(written, SPNG_FMT_RAW, header) == big);
      EXPECT_EQ(header.bit_depth, 16);
      EXPECT_EQ(header.color_type, SPNG_COLOR_TYPE_GRAYSCALE);
    } else if (std::string(heightmap) == "h.pgm") {
      EXPECT_TRUE(written == "P5\n1 1\n65535\n" + big);
    } else {
      EXPECT_TRUE(written == little);
    }
  }
}

}  // namespace
}  // namespace hillograph
