#include <gtest/gtest.h>
#include <spng.h>

#include <cstdint>
#include <string>
#include <vector>

#include "parameters/MapParameters.h"
#include "parameters/RenderRequest.h"
#include "tests/TempFolder.h"
#include "tests/cli/ProgramRun.h"

namespace hillograph {
namespace {

using testing::RunRenderProgram;

enum class TReader { Png, RawLittleEndian, Pgm };

std::uint16_t BigEndian(const std::string& bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) << 8 |
                                    static_cast<std::uint8_t>(bytes[at + 1]));
}

// The samples of a heightmap file, rows from the top, read from the format's definition (the
// PNG through the library's decoder).
std::vector<std::uint16_t> ReadSamples(const std::string& bytes, TReader reader, std::int32_t width,
                                       std::int32_t height) {
  const std::size_t count = static_cast<std::size_t>(width) * height;
  std::vector<std::uint16_t> samples;
  if (reader == TReader::Png) {
    spng_ctx* ctx = spng_ctx_new(0);
    spng_ihdr header{};
    std::string raw(count * 2, '\0');
    if (spng_set_png_buffer(ctx, bytes.data(), bytes.size()) == 0 &&
        spng_get_ihdr(ctx, &header) == 0 && header.bit_depth == 16 &&
        header.color_type == SPNG_COLOR_TYPE_GRAYSCALE &&
        header.width == static_cast<std::uint32_t>(width) &&
        header.height == static_cast<std::uint32_t>(height) &&
        spng_decode_image(ctx, raw.data(), raw.size(), SPNG_FMT_RAW, 0) == 0) {
      for (std::size_t i = 0; i < count; ++i)
        samples.push_back(BigEndian(raw, 2 * i));
    }
    spng_ctx_free(ctx);
    return samples;
  }
  std::size_t start = 0;
  if (reader == TReader::Pgm) {
    const std::string header =
        "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n65535\n";
    if (bytes.compare(0, header.size(), header) != 0) return samples;
    start = header.size();
  }
  if (bytes.size() != start + count * 2) return samples;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = start + 2 * i;
    samples.push_back(reader == TReader::Pgm ? BigEndian(bytes, at)
                                             : static_cast<std::uint16_t>(
                                                   static_cast<std::uint8_t>(bytes[at]) |
                                                   static_cast<std::uint8_t>(bytes[at + 1]) << 8));
  }
  return samples;
}

struct THeightmapRow {
  const char* Name;
  TReader Reader;
};

class HeightmapFile : public ::testing::TestWithParam<THeightmapRow> {};

TEST_P(HeightmapFile, HoldsTheHeightFieldTimes257) {
  constexpr std::int32_t Width = 37;
  constexpr std::int32_t Height = 23;
  TMapParameters params;
  params.Width = Width;
  params.Height = Height;
  params.RandSeed = 99;
  TPicture picture;
  THeightField field;
  TRenderExtras extras;
  extras.Heights = &field;
  RenderMapParameters(picture, params, nullptr, extras);

  testing::TTempFolder folder;
  const auto run = RunRenderProgram("--size 37x23 --set RandSeed=99 -o " + folder.Path("m.bmp") +
                                    " --heightmap " + folder.Path(GetParam().Name));
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::uint16_t> samples =
      ReadSamples(folder.Read(GetParam().Name), GetParam().Reader, Width, Height);
  ASSERT_EQ(samples.size(), static_cast<std::size_t>(Width * Height));
  for (std::int32_t y = 0; y < Height; ++y) {
    for (std::int32_t x = 0; x < Width; ++x)
      ASSERT_EQ(samples[y * Width + x], field[x][y] * 257) << x << "," << y;
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, HeightmapFile,
                         ::testing::Values(THeightmapRow{"h.png", TReader::Png},
                                           THeightmapRow{"h.r16", TReader::RawLittleEndian},
                                           THeightmapRow{"h.RAW", TReader::RawLittleEndian},
                                           THeightmapRow{"h.pgm", TReader::Pgm}));

// Two command lines that must write the same picture.
struct TSamePictureRow {
  const char* First;
  const char* Second;
};

class SamePicture : public ::testing::TestWithParam<TSamePictureRow> {};

TEST_P(SamePicture, ByteForByte) {
  testing::TTempFolder folder;
  const std::string common = "--set TownAmount=60 --set RandSeed=5 ";
  ASSERT_EQ(RunRenderProgram(common + GetParam().First + " -o " + folder.Path("a.bmp")).status, 0);
  ASSERT_EQ(RunRenderProgram(common + GetParam().Second + " -o " + folder.Path("b.bmp")).status, 0);
  EXPECT_EQ(folder.Read("a.bmp"), folder.Read("b.bmp"));
}

INSTANTIATE_TEST_SUITE_P(Options, SamePicture,
                         ::testing::Values(TSamePictureRow{"--label-scale 1", ""},
                                           TSamePictureRow{"--size 300x200 --set Width=50",
                                                           "--set Width=300 --set Height=200"}));

}  // namespace
}  // namespace hillograph
