#include "synthesis/raster/Heightmap.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "synthesis/base/Error.h"

#if defined(__SSE2__) && !defined(HILLOGRAPH_PORTABLE)
#include <emmintrin.h>
#define HILLOGRAPH_HEIGHTMAP_SSE2 1
#endif

namespace hillograph {
namespace {

constexpr std::int32_t ReportEvery = 256;
constexpr const char* EncodingStage = "Encoding";

// Every sample is the height in both of its bytes, whichever comes first.
static_assert(HeightmapScale == 0x101);

// Rows of 16-bit samples from a field stored column by column. Rows are gathered a band at a
// time, so that the columns are read in order rather than one cell per cache line, and a block
// of columns at a time, so that the band's rows being written stay in the cache.
class TSampleRows {
 public:
  static constexpr std::int32_t BandRows = 64;
  static constexpr std::int32_t BlockColumns = 16;

  explicit TSampleRows(const THeightField& heights)
      : heights_(heights), band_(static_cast<std::size_t>(heights.Width()) * BandRows) {}

  // Row y, called with y = 0, 1, 2, ... in turn.
  void Fill(std::int32_t y, std::uint8_t* out) {
    // Sizes held in locals: the byte stores below may alias anything, and the compiler would
    // otherwise read them again for every cell.
    const std::int32_t width = heights_.Width();
    const auto rowSize = static_cast<std::size_t>(width);
    std::uint8_t* band = band_.data();
    if (y % BandRows == 0) GatherBand(y, band);
    const std::uint8_t* row = band + static_cast<std::size_t>(y % BandRows) * rowSize;
    std::int32_t x = 0;
#ifdef HILLOGRAPH_HEIGHTMAP_SSE2
    for (; x + 16 <= width; x += 16) {
      const __m128i heights = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * x),
                       _mm_unpacklo_epi8(heights, heights));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * x + 16),
                       _mm_unpackhi_epi8(heights, heights));
    }
#endif
    for (; x < width; ++x)
      out[2 * x] = out[2 * x + 1] = row[x];
  }

 private:
  void GatherBand(std::int32_t y, std::uint8_t* band) const {
    const std::int32_t width = heights_.Width();
    const auto columnSize = static_cast<std::size_t>(heights_.Height());
    const auto rowSize = static_cast<std::size_t>(width);
    const std::int32_t rows = std::min(BandRows, heights_.Height() - y);
    for (std::int32_t first = 0; first < width; first += BlockColumns) {
      const std::int32_t last = std::min(first + BlockColumns, width);
      for (std::int32_t r = 0; r < rows; ++r) {
        const std::uint8_t* cell = heights_.Data() + first * columnSize + y + r;
        std::uint8_t* out = band + static_cast<std::size_t>(r) * rowSize;
        for (std::int32_t x = first; x < last; ++x, cell += columnSize)
          out[x] = *cell;
      }
    }
  }

  const THeightField& heights_;
  std::vector<std::uint8_t> band_;
};

}  // namespace

void WriteHeightmap(const THeightField& Heights, THeightmapFormat Format, TByteSink& Sink,
                    TProgress* Progress, std::span<const TPngText> Texts) {
  const std::int32_t width = Heights.Width();
  const std::int32_t height = Heights.Height();
  if (width < 1 || height < 1) throw TError("A heightmap needs at least one sample");
  TSampleRows rows(Heights);
  if (Format == THeightmapFormat::Png) {
    WritePng(
        width, height, TPngKind::Gray16,
        [&rows](std::int32_t y, std::uint8_t* row) { rows.Fill(y, row); }, Sink, Progress, Texts);
    return;
  }
  if (Format == THeightmapFormat::Pgm) {
    const std::string header =
        "P5\n" + std::to_string(width) + " " + std::to_string(height) + "\n65535\n";
    Sink.Write(header.data(), header.size());
  }
  std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 2);
  for (std::int32_t y = 0; y < height; ++y) {
    rows.Fill(y, row.data());
    Sink.Write(TByteRange(row));
    if (Progress != nullptr && y % ReportEvery == 0)
      Progress->Report(EncodingStage, static_cast<double>(y) / height);
  }
  if (Progress != nullptr) Progress->Report(EncodingStage, 1.0);
}

}  // namespace hillograph
