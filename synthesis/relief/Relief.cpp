#include "synthesis/relief/Relief.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "synthesis/base/ArgumentCheck.h"
#include "synthesis/relief/ReliefPalette.h"

#if defined(__SSE2__) && !defined(HILLOGRAPH_PORTABLE)
#include <emmintrin.h>
#define HILLOGRAPH_RELIEF_SSE2 1
#endif

namespace hillograph {
namespace {

// The pixel pass works in tiles: heights are read down their columns into a small table of
// palette indices, which is then written out along the picture's rows.
constexpr std::int32_t TileColumns = 64;
constexpr std::int32_t TileRows = 64;

// Stands for a neighbour outside the picture: never water (with a water level of 255 every
// pixel is water and never asks), and never lower, so it makes no drop.
constexpr std::uint8_t Outside = 255;

constexpr std::size_t BytesPerPixel = 3;

// Shade factors are in 256ths: 256 leaves a colour as it is.
constexpr int ShadeShift = 8;
constexpr std::int32_t FullShade = 1 << ShadeShift;

class TIndexer {
 public:
  TIndexer(const TReliefPalette& palette, std::int32_t waterLevel)
      : palette_(palette), waterLevel_(static_cast<std::uint8_t>(waterLevel)) {}

  // The palette index of a pixel from its height and its four neighbours.
  std::uint16_t operator()(std::uint8_t h, std::uint8_t left, std::uint8_t right, std::uint8_t up,
                           std::uint8_t down) const {
    if (h <= waterLevel_) return palette_.Index(h, 0);
    if (std::min({left, right, up, down}) <= waterLevel_)
      return palette_.Index(h, palette_.CoastCode());
    const std::uint8_t lower = std::min(right, down);
    const std::uint8_t drop = h > lower ? static_cast<std::uint8_t>(h - lower) : 0;
    return palette_.Index(h, std::min(drop, palette_.MaxDrop()));
  }

  // Indices of up to count pixels down a column, into out; the rows above the first and below
  // the last exist. Returns how many it did; the rest is left to the caller.
  std::int32_t Run(const std::uint8_t* left, const std::uint8_t* centre, const std::uint8_t* right,
                   std::int32_t count, std::uint16_t* out) const;

 private:
  const TReliefPalette& palette_;
  std::uint8_t waterLevel_;
};

#if HILLOGRAPH_RELIEF_SSE2

// Sixteen pixels at a time, the same steps as operator() in byte arithmetic: the nearest
// neighbour is water when their minimum is, and the drop is the height less the lower of the
// right and bottom neighbours, saturating at 0.
std::int32_t TIndexer::Run(const std::uint8_t* left, const std::uint8_t* centre,
                           const std::uint8_t* right, std::int32_t count,
                           std::uint16_t* out) const {
  const auto splat8 = [](std::uint8_t v) { return _mm_set1_epi8(static_cast<char>(v)); };
  const auto load = [](const std::uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  };
  const __m128i zero = _mm_setzero_si128();
  const __m128i waterLevel = splat8(waterLevel_);
  const __m128i maxDrop = splat8(palette_.MaxDrop());
  const __m128i coastCode = splat8(palette_.CoastCode());
  const __m128i codesPerHeight = _mm_set1_epi16(static_cast<short>(palette_.CodesPerHeight()));
  constexpr std::int32_t Lanes = 16;
  std::int32_t y = 0;
  for (; y + Lanes <= count; y += Lanes) {
    const __m128i h = load(centre + y);
    const __m128i up = load(centre + y - 1);
    const __m128i down = load(centre + y + 1);
    const __m128i l = load(left + y);
    const __m128i r = load(right + y);
    const __m128i nearest = _mm_min_epu8(_mm_min_epu8(l, r), _mm_min_epu8(up, down));
    const __m128i shade = _mm_min_epu8(_mm_subs_epu8(h, _mm_min_epu8(r, down)), maxDrop);
    // a <= b exactly where a - b saturates to 0.
    const __m128i water = _mm_cmpeq_epi8(_mm_subs_epu8(h, waterLevel), zero);
    const __m128i coast = _mm_cmpeq_epi8(_mm_subs_epu8(nearest, waterLevel), zero);
    const __m128i code = _mm_andnot_si128(
        water, _mm_or_si128(_mm_and_si128(coast, coastCode), _mm_andnot_si128(coast, shade)));
    const __m128i low = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(h, zero), codesPerHeight),
                                      _mm_unpacklo_epi8(code, zero));
    const __m128i high = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(h, zero), codesPerHeight),
                                       _mm_unpackhi_epi8(code, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + y), low);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + y + Lanes / 2), high);
  }
  return y;
}

#else

std::int32_t TIndexer::Run(const std::uint8_t* left, const std::uint8_t* centre,
                           const std::uint8_t* right, std::int32_t count,
                           std::uint16_t* out) const {
  for (std::int32_t y = 0; y < count; ++y)
    out[y] = (*this)(centre[y], left[y], right[y], centre[y - 1], centre[y + 1]);
  return count;
}

#endif

// Palette indices of the rows y0 .. y1 - 1 of one column, into out[0 ..].
void ColumnIndices(const TIndexer& indexer, const std::uint8_t* left, const std::uint8_t* centre,
                   const std::uint8_t* right, std::int32_t height, std::int32_t y0, std::int32_t y1,
                   std::uint16_t* out) {
  const auto edge = [&](std::int32_t y) {
    const std::uint8_t up = y > 0 ? centre[y - 1] : Outside;
    const std::uint8_t down = y < height - 1 ? centre[y + 1] : Outside;
    out[y - y0] = indexer(centre[y], left[y], right[y], up, down);
  };
  std::int32_t y = y0;
  if (y == 0) edge(y++);
  const std::int32_t inner = std::max(y, std::min(y1, height - 1));
  y += indexer.Run(left + y, centre + y, right + y, inner - y, out + (y - y0));
  for (; y < inner; ++y)
    out[y - y0] = indexer(centre[y], left[y], right[y], centre[y - 1], centre[y + 1]);
  for (; y < y1; ++y)
    edge(y);
}

// Writes count pixels of a row from a column of the tile. Four bytes at a time, unrolled; the
// fourth byte is the next pixel's first, written after it, so the last pixel takes its three
// bytes alone.
void WriteRow(const TPixelBytes* entries, const std::uint16_t* index, std::int32_t count,
              std::uint8_t* p) {
  const auto put = [&](std::int32_t x) {
    std::memcpy(p + BytesPerPixel * static_cast<std::size_t>(x), &entries[index[x * TileRows]],
                sizeof(TPixelBytes));
  };
  constexpr std::int32_t Unroll = 4;
  std::int32_t x = 0;
  for (; x + Unroll < count; x += Unroll) {
    put(x);
    put(x + 1);
    put(x + 2);
    put(x + 3);
  }
  for (; x < count - 1; ++x)
    put(x);
  std::memcpy(p + BytesPerPixel * static_cast<std::size_t>(x), &entries[index[x * TileRows]],
              BytesPerPixel);
}

// Paints the rows y0 .. y1 - 1 (whole tiles but for the last) through one tile buffer.
void PaintTileRows(const THeightField& heights, const TIndexer& indexer, const TPixelBytes* entries,
                   const std::uint8_t* outside, const TScanLines& lines, std::int32_t y0,
                   std::int32_t y1, std::uint16_t* tile) {
  const std::int32_t width = heights.Width();
  const std::int32_t height = heights.Height();
  for (std::int32_t ty = y0; ty < y1; ty += TileRows) {
    const std::int32_t ty1 = std::min(ty + TileRows, y1);
    for (std::int32_t x0 = 0; x0 < width; x0 += TileColumns) {
      const std::int32_t x1 = std::min(x0 + TileColumns, width);
      for (std::int32_t x = x0; x < x1; ++x) {
        const std::uint8_t* left = x > 0 ? heights[x - 1] : outside;
        const std::uint8_t* right = x < width - 1 ? heights[x + 1] : outside;
        ColumnIndices(indexer, left, heights[x], right, height, ty, ty1,
                      tile + static_cast<std::size_t>(x - x0) * TileRows);
      }
      for (std::int32_t y = ty; y < ty1; ++y)
        WriteRow(entries, tile + (y - ty), x1 - x0,
                 lines[y] + BytesPerPixel * static_cast<std::size_t>(x0));
    }
  }
}

}  // namespace

std::int32_t PixelPassMembers(const TWorkerTeam* Team, std::int32_t Bands, std::int64_t Pixels) {
  return static_cast<std::int32_t>(
      std::min<std::int64_t>({Team != nullptr ? Team->Members() : 1, Bands,
                              std::max<std::int64_t>(1, Pixels / MinPixelsPerMember)}));
}

std::uint32_t ShadeFactor(std::int32_t Drop, std::int32_t ShadowDivisor) {
  CheckArgument("ShadowDivisor", ShadowDivisor, 1, INT32_MAX);
  return static_cast<std::uint32_t>(FullShade -
                                    std::min(FullShade, Drop * FullShade / ShadowDivisor));
}

TColor Shade(TColor Color, std::uint32_t Factor) {
  return RGB(RedOf(Color) * Factor >> ShadeShift, GreenOf(Color) * Factor >> ShadeShift,
             BlueOf(Color) * Factor >> ShadeShift);
}

void PaintRelief(const THeightField& Heights, std::int32_t WaterLevel,
                 const THeightColors& HeightColors, const TMapStyle& Style, const TScanLines& Lines,
                 TWorkerTeam* Team) {
  CheckArgument("WaterLevel", WaterLevel, 0, MaxWaterLevel);
  CheckArgument("ShadowDivisor", Style.ShadowDivisor, 1, INT32_MAX);
  const std::int32_t width = Heights.Width();
  const std::int32_t height = Heights.Height();
  CheckArgument("scan lines", static_cast<std::int64_t>(Lines.size()), height, height);
  const TReliefPalette palette(HeightColors, WaterLevel, Style);
  const TIndexer indexer(palette, WaterLevel);
  const std::vector<std::uint8_t> outside(static_cast<std::size_t>(height), Outside);
  // Every pixel depends only on the heights, so rows of tiles can be painted in any order: each
  // member takes the next row of tiles until none is left, and one that starts late takes fewer.
  const std::int32_t tileRows = (height + TileRows - 1) / TileRows;
  const std::int32_t members = PixelPassMembers(Team, tileRows, std::int64_t{width} * height);
  std::vector<std::vector<std::uint16_t>> tiles(
      static_cast<std::size_t>(members),
      std::vector<std::uint16_t>(static_cast<std::size_t>(TileColumns) * TileRows));
  ShareOut(Team, members, tileRows, [&](std::int32_t row, std::int32_t member) noexcept {
    PaintTileRows(Heights, indexer, palette.Entries(), outside.data(), Lines, row * TileRows,
                  std::min((row + 1) * TileRows, height),
                  tiles[static_cast<std::size_t>(member)].data());
  });
}

}  // namespace hillograph
