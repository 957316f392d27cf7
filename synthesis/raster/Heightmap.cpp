#include "synthesis/raster/Heightmap.h"

#include <cstdint>
#include <vector>

#include "synthesis/base/Error.h"

namespace hillograph {
namespace {

constexpr std::int32_t ReportEvery = 256;
constexpr const char* EncodingStage = "Encoding";

// Row y of the field as 16-bit samples, high byte first when BigEndian.
void FillRow(const THeightField& heights, std::int32_t y, bool bigEndian, std::uint8_t* out) {
  for (std::int32_t x = 0; x < heights.Width(); ++x, out += 2) {
    const auto sample = static_cast<std::uint16_t>(heights[x][y] * HeightmapScale);
    out[bigEndian ? 0 : 1] = static_cast<std::uint8_t>(sample >> 8);
    out[bigEndian ? 1 : 0] = static_cast<std::uint8_t>(sample & 0xFF);
  }
}

}  // namespace

void WriteHeightmap(const THeightField& Heights, THeightmapFormat Format, const TPngSink& Sink,
                    TProgress* Progress) {
  const std::int32_t width = Heights.Width();
  const std::int32_t height = Heights.Height();
  if (width < 1 || height < 1) throw TError("A heightmap needs at least one sample");
  if (Format == THeightmapFormat::Png) {
    WritePng(
        width, height, TPngKind::Gray16,
        [&Heights](std::int32_t y, std::uint8_t* row) { FillRow(Heights, y, true, row); }, Sink,
        Progress);
    return;
  }
  const bool bigEndian = Format == THeightmapFormat::Pgm;
  if (Format == THeightmapFormat::Pgm) {
    const std::string header =
        "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n65535\n";
    Sink(header.data(), header.size());
  }
  std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 2);
  for (std::int32_t y = 0; y < height; ++y) {
    FillRow(Heights, y, bigEndian, row.data());
    Sink(row.data(), row.size());
    if (Progress != nullptr && y % ReportEvery == 0)
      Progress->Report(EncodingStage, static_cast<double>(y) / height);
  }
  if (Progress != nullptr) Progress->Report(EncodingStage, 1.0);
}

}  // namespace hillograph
