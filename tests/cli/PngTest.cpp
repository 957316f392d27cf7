#include <gtest/gtest.h>
#include <spng.h>  // a second PNG library, independent of the encoder

#include <cstdint>
#include <string>
#include <vector>

#include "parameters/MapParameters.h"
#include "parameters/RenderRequest.h"
#include "synthesis/raster/Png.h"
#include "tests/synthesis/PictureTesting.h"

namespace hillograph {
namespace {

// Decodes a PNG file's bytes to 8-bit RGB with the library's decoder.
std::vector<std::uint8_t> DecodeRgb(const std::string& png, std::uint32_t& width,
                                    std::uint32_t& height) {
  spng_ctx* ctx = spng_ctx_new(0);
  std::vector<std::uint8_t> out;
  spng_ihdr header{};
  std::size_t size = 0;
  if (spng_set_png_buffer(ctx, png.data(), png.size()) == 0 && spng_get_ihdr(ctx, &header) == 0 &&
      spng_decoded_image_size(ctx, SPNG_FMT_RGB8, &size) == 0) {
    out.resize(size);
    if (spng_decode_image(ctx, out.data(), size, SPNG_FMT_RGB8, 0) != 0) out.clear();
  }
  spng_ctx_free(ctx);
  width = header.width;
  height = header.height;
  return out;
}

struct TRoundTripRow {
  std::int32_t Width;
  std::int32_t Height;
  std::int32_t Seed;
};

class PngRoundTrip : public ::testing::TestWithParam<TRoundTripRow> {};

TEST_P(PngRoundTrip, DecodesToThePicturesPixels) {
  TMapParameters params;
  params.Width = GetParam().Width;
  params.Height = GetParam().Height;
  params.RandSeed = GetParam().Seed;
  TPicture picture;
  RenderMapParameters(picture, params);

  std::uint32_t width = 0;
  std::uint32_t height = 0;
  const std::vector<std::uint8_t> rgb = DecodeRgb(EncodePng(picture), width, height);
  ASSERT_EQ(width, static_cast<std::uint32_t>(picture.Width()));
  ASSERT_EQ(height, static_cast<std::uint32_t>(picture.Height()));
  ASSERT_EQ(rgb.size(), std::size_t{width} * height * 3);
  for (std::int32_t y = 0; y < picture.Height(); ++y) {
    for (std::int32_t x = 0; x < picture.Width(); ++x) {
      const std::size_t p = (static_cast<std::size_t>(y) * width + x) * 3;
      ASSERT_EQ(RGB(rgb[p], rgb[p + 1], rgb[p + 2]), testing::PixelAt(picture, x, y))
          << x << "," << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, PngRoundTrip,
                         ::testing::Values(TRoundTripRow{1, 1, 0}, TRoundTripRow{7, 3, 5},
                                           TRoundTripRow{300, 257, 42}));

}  // namespace
}  // namespace hillograph
