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
constexpr const char* SmoothingStage = "Smoothing";

// Every sample is the height in both of its bytes, whichever comes first.
static_assert(HeightmapScale == 0x101 && HeightmapScale == SmoothLevelScale);

// Row of 8-bit heights as samples: each height in both of a sample's bytes, whichever comes first.
void ExpandRow(const std::uint8_t* row, std::int32_t width, bool /*BigEndian*/, std::uint8_t* out) {
  std::int32_t x = 0;
#ifdef HILLOGRAPH_HEIGHTMAP_SSE2
  for (; x + 16 <= width; x += 16) {
    const __m128i heights = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * x), _mm_unpacklo_epi8(heights, heights));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * x + 16),
                     _mm_unpackhi_epi8(heights, heights));
  }
#endif
  for (; x < width; ++x)
    out[2 * x] = out[2 * x + 1] = row[x];
}

// Row of 16-bit samples in the byte order asked for.
void ExpandRow(const std::uint16_t* row, std::int32_t width, bool BigEndian, std::uint8_t* out) {
  const int high = BigEndian ? 0 : 1;
  for (std::int32_t x = 0; x < width; ++x) {
    out[2 * x + high] = static_cast<std::uint8_t>(row[x] >> 8);
    out[2 * x + 1 - high] = static_cast<std::uint8_t>(row[x]);
  }
}

// Rows of 16-bit samples from a field stored column by column. Rows are gathered a band at a
// time, so that the columns are read in order rather than one cell per cache line, and a block
// of columns at a time, so that the band's rows being written stay in the cache.
template <class TCell>
class TSampleRows {
 public:
  static constexpr std::int32_t BandRows = 64;
  static constexpr std::int32_t BlockColumns = 16;

  TSampleRows(const TGrid<TCell>& cells, bool bigEndian)
      : cells_(cells),
        bigEndian_(bigEndian),
        band_(static_cast<std::size_t>(cells.Width()) * BandRows) {}

  // Row y, called with y = 0, 1, 2, ... in turn.
  void Fill(std::int32_t y, std::uint8_t* out) {
    // Sizes held in locals: the byte stores may alias anything, and the compiler would otherwise
    // read them again for every cell.
    const std::int32_t width = cells_.Width();
    const auto rowSize = static_cast<std::size_t>(width);
    TCell* band = band_.data();
    if (y % BandRows == 0) GatherBand(y, band);
    ExpandRow(band + static_cast<std::size_t>(y % BandRows) * rowSize, width, bigEndian_, out);
  }

 private:
  void GatherBand(std::int32_t y, TCell* band) const {
    const std::int32_t width = cells_.Width();
    const auto columnSize = static_cast<std::size_t>(cells_.Height());
    const auto rowSize = static_cast<std::size_t>(width);
    const std::int32_t rows = std::min(BandRows, cells_.Height() - y);
    for (std::int32_t first = 0; first < width; first += BlockColumns) {
      const std::int32_t last = std::min(first + BlockColumns, width);
      for (std::int32_t r = 0; r < rows; ++r) {
        const TCell* cell = cells_.Data() + first * columnSize + y + r;
        TCell* out = band + static_cast<std::size_t>(r) * rowSize;
        for (std::int32_t x = first; x < last; ++x, cell += columnSize)
          out[x] = *cell;
      }
    }
  }

  const TGrid<TCell>& cells_;
  bool bigEndian_;
  std::vector<TCell> band_;
};

template <class TCell>
void WriteSamples(const TGrid<TCell>& Cells, THeightmapFormat Format, TByteSink& Sink,
                  TProgress* Progress, std::span<const TPngText> Texts,
                  TPngCompression Compression) {
  const std::int32_t width = Cells.Width();
  const std::int32_t height = Cells.Height();
  if (width < 1 || height < 1) throw TError("A heightmap needs at least one sample");
  TSampleRows<TCell> rows(Cells, Format != THeightmapFormat::Raw);
  if (Format == THeightmapFormat::Png) {
    WritePng(
        width, height, TPngKind::Gray16,
        [&rows](std::int32_t y, std::uint8_t* row) { rows.Fill(y, row); }, Sink, Progress, Texts,
        Compression);
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

}  // namespace

void WriteHeightmap(const THeightField& Heights, THeightmapFormat Format, TByteSink& Sink,
                    TProgress* Progress, std::span<const TPngText> Texts) {
  WriteSamples(Heights, Format, Sink, Progress, Texts, TPngCompression::Fast);
}

void WriteHeightmap(const TSmoothHeightField& Samples, THeightmapFormat Format, TByteSink& Sink,
                    TProgress* Progress, std::span<const TPngText> Texts) {
  // Deflate would hardly shrink them (see TPngCompression::Stored).
  WriteSamples(Samples, Format, Sink, Progress, Texts, TPngCompression::Stored);
}

void WriteHeightmap(const THeightField& Heights, THeightmapFormat Format, THeightmapSamples Kind,
                    TByteSink& Sink, TProgress* Progress, TWorkerTeam* Team,
                    std::span<const TPngText> Texts) {
  if (Kind == THeightmapSamples::Levels) {
    WriteHeightmap(Heights, Format, Sink, Progress, Texts);
    return;
  }
  if (Progress != nullptr) Progress->Report(SmoothingStage, 0);
  WriteHeightmap(SmoothHeights(Heights, Team), Format, Sink, Progress, Texts);
}

}  // namespace hillograph
