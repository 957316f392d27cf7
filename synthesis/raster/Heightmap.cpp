#include "synthesis/raster/Heightmap.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "synthesis/base/Error.h"

namespace hillograph {
namespace {

constexpr std::int32_t ReportEvery = 256;
constexpr const char* EncodingStage = "Encoding";

// Rows of 16-bit samples from a field stored column by column. Rows are gathered a band at a
// time, so that the columns are read in order rather than one cell per cache line.
class TSampleRows {
 public:
  static constexpr std::int32_t BandRows = 64;

  TSampleRows(const THeightField& heights, bool bigEndian)
      : heights_(heights),
        bigEndian_(bigEndian),
        band_(static_cast<std::size_t>(heights.Width()) * BandRows) {}

  // Row y, called with y = 0, 1, 2, ... in turn.
  void Fill(std::int32_t y, std::uint8_t* out) {
    // Sizes held in locals: the byte stores below may alias anything, and the compiler would
    // otherwise read them again for every cell.
    const std::int32_t width = heights_.Width();
    const auto columnSize = static_cast<std::size_t>(heights_.Height());
    const auto rowSize = static_cast<std::size_t>(width);
    std::uint8_t* band = band_.data();
    if (y % BandRows == 0) {
      const std::int32_t rows = std::min(BandRows, heights_.Height() - y);
      const std::uint8_t* column = heights_.Data() + y;
      for (std::int32_t x = 0; x < width; ++x, column += columnSize) {
        for (std::int32_t r = 0; r < rows; ++r)
          band[static_cast<std::size_t>(r) * rowSize + x] = column[r];
      }
    }
    const std::uint8_t* row = band + static_cast<std::size_t>(y % BandRows) * rowSize;
    if (bigEndian_) {
      for (std::int32_t x = 0; x < width; ++x)
        Put(out + 2 * x, row[x], 0, 1);
    } else {
      for (std::int32_t x = 0; x < width; ++x)
        Put(out + 2 * x, row[x], 1, 0);
    }
  }

 private:
  static void Put(std::uint8_t* out, std::uint8_t height, int high, int low) {
    const auto sample = static_cast<std::uint16_t>(height * HeightmapScale);
    out[high] = static_cast<std::uint8_t>(sample >> 8);
    out[low] = static_cast<std::uint8_t>(sample & 0xFF);
  }

  const THeightField& heights_;
  bool bigEndian_;
  std::vector<std::uint8_t> band_;
};

}  // namespace

void WriteHeightmap(const THeightField& Heights, THeightmapFormat Format, const TPngSink& Sink,
                    TProgress* Progress) {
  const std::int32_t width = Heights.Width();
  const std::int32_t height = Heights.Height();
  if (width < 1 || height < 1) throw TError("A heightmap needs at least one sample");
  // PNG and PGM store samples high byte first.
  TSampleRows rows(Heights, Format != THeightmapFormat::Raw);
  if (Format == THeightmapFormat::Png) {
    WritePng(
        width, height, TPngKind::Gray16,
        [&rows](std::int32_t y, std::uint8_t* row) { rows.Fill(y, row); }, Sink, Progress);
    return;
  }
  if (Format == THeightmapFormat::Pgm) {
    const std::string header =
        "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n65535\n";
    Sink(header.data(), header.size());
  }
  std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 2);
  for (std::int32_t y = 0; y < height; ++y) {
    rows.Fill(y, row.data());
    Sink(row.data(), row.size());
    if (Progress != nullptr && y % ReportEvery == 0)
      Progress->Report(EncodingStage, static_cast<double>(y) / height);
  }
  if (Progress != nullptr) Progress->Report(EncodingStage, 1.0);
}

}  // namespace hillograph
