#include "synthesis/terrain/SmoothHeights.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <new>
#include <utility>
#include <vector>

#include "synthesis/base/ArgumentCheck.h"
#include "synthesis/base/Error.h"

#if defined(__SSE2__) && !defined(HILLOGRAPH_PORTABLE)
#include <emmintrin.h>
#define HILLOGRAPH_SMOOTH_SSE2 1
#endif
// Eight cells at a time where the processor has AVX2, chosen when the program runs: the same
// integer steps in wider registers, so the surface is the same either way.
#if defined(HILLOGRAPH_SMOOTH_SSE2) && defined(__x86_64__) && defined(__GNUC__) && \
    !defined(__EMSCRIPTEN__)
#include <immintrin.h>
#define HILLOGRAPH_SMOOTH_AVX2 1
#define HILLOGRAPH_AVX2_TARGET __attribute__((target("avx2")))
#endif

namespace hillograph {
namespace {

// Bits below the sample's unit while the passes run: a slope of less than one sample per cell
// still moves the cells, and the surface is rounded once, at the end.
constexpr int FractionBits = 8;
constexpr std::int32_t HalfUnit = 1 << (FractionBits - 1);
constexpr std::int32_t MaxValue = MaxSmoothSample << FractionBits;
constexpr std::int32_t HalfBand = SmoothBandHalfWidth << FractionBits;
// A height times this is the middle of its band.
constexpr std::int32_t HeightScale = SmoothLevelScale << FractionBits;
// The weights of the bilinear interpolation sum to 1 << WeightShift.
constexpr int WeightShift = 4;
constexpr std::int32_t HalfWeight = 1 << (WeightShift - 1);
static_assert((std::int64_t{MaxValue} + HalfBand) << WeightShift < INT32_MAX);
// A pass moves each cell by Weight / 2^WeightBits of the Laplacian of Laplacians ("bend"), whose
// eigenvalues lie in 0 .. 64: a fixed step below 2 / 64 would take dozens of passes to settle the
// rough ground. The passes of a cycle take the steps of a Chebyshev iteration instead, 1 / lambda
// for the 6 Chebyshev nodes lambda of 4 .. 64 in 1024ths, the largest step first and then
// alternating, so that one cycle shrinks every pattern with an eigenvalue from 4 to 64 about
// tenfold: the rest, the broad shapes, the coarser levels have settled.
constexpr int WeightBits = 10;
constexpr std::int32_t StepWeights[SmoothCyclePasses] = {204, 16, 80, 19, 39, 25};
constexpr std::int32_t MaxStepWeight = 204;
static_assert(MaxStepWeight == *std::max_element(std::begin(StepWeights), std::end(StepWeights)));
// The bend is taken to whole samples before it is weighed, so that the product stays in 32 bits:
// |L| <= 4 MaxValue and |bend| <= 8 max |L|.
constexpr int BendShift = 6;
constexpr std::int64_t MaxBend = 32 * std::int64_t{MaxValue};
static_assert(((MaxBend >> BendShift) + 1) * MaxStepWeight + (1 << WeightBits) < INT32_MAX);

// The step of a pass against Bend.
inline std::int32_t Step(std::int32_t Bend, std::int32_t Weight) {
  constexpr std::int32_t halfBend = 1 << (BendShift - 1);
  constexpr int shift = WeightBits - BendShift;
  return (((Bend + halfBend) >> BendShift) * Weight + (1 << (shift - 1))) >> shift;
}

// Columns a member takes at a time, and the least cells for which a level is shared out.
constexpr std::int32_t StripColumns = 32;
constexpr std::int64_t MinSharedCells = 1 << 15;

// One level's values, fixed point, addressed [x][y].
using TValues = TGrid<std::int32_t>;

// Value clamped to the band whose middle is Middle.
inline std::int32_t InBand(std::int32_t Value, std::int32_t Middle) {
  const std::int32_t low = std::max(Middle - HalfBand, 0);
  const std::int32_t high = std::min(Middle + HalfBand, MaxValue);
  return std::min(std::max(Value, low), high);
}

// Work(x) for every column 0 .. Width - 1, in strips shared out among Team's members.
template <class TWork>
void ForColumns(TWorkerTeam* Team, std::int32_t Width, std::int32_t Height, const TWork& Work) {
  const std::int32_t strips = (Width + StripColumns - 1) / StripColumns;
  const bool shared = Team != nullptr && std::int64_t{Width} * Height >= MinSharedCells;
  const std::int32_t members = shared ? std::min(Team->Members(), strips) : 1;
  ShareOut(Team, members, strips, [&Work, Width](std::int32_t strip, std::int32_t) noexcept {
    const std::int32_t last = std::min(Width, (strip + 1) * StripColumns);
    for (std::int32_t x = strip * StripColumns; x < last; ++x)
      Work(x);
  });
}

// The middle of a cell's band: from its height on the finest level, its own value above it.
inline std::int32_t MiddleOf(std::uint8_t Height) {
  return Height * HeightScale;
}
inline std::int32_t MiddleOf(std::int32_t Value) {
  return Value;
}

// The cells that give one level's middles, addressed [x][y].
template <class TCell>
struct TMiddles {
  const TCell* Cells;
  std::int32_t Height;

  const TCell* Column(std::int32_t x) const {
    return Cells + static_cast<std::size_t>(x) * static_cast<std::size_t>(Height);
  }
};

#ifdef HILLOGRAPH_SMOOTH_SSE2
inline __m128i Load(const std::int32_t* From) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(From));
}
inline __m128i Min(__m128i a, __m128i b) {
  const __m128i less = _mm_cmplt_epi32(a, b);
  return _mm_or_si128(_mm_and_si128(less, a), _mm_andnot_si128(less, b));
}
inline __m128i Max(__m128i a, __m128i b) {
  const __m128i more = _mm_cmpgt_epi32(a, b);
  return _mm_or_si128(_mm_and_si128(more, a), _mm_andnot_si128(more, b));
}
// Four values clamped to the bands whose middles are Middle.
inline __m128i InBand(__m128i Value, __m128i Middle) {
  const __m128i halfBand = _mm_set1_epi32(HalfBand);
  const __m128i low = Max(_mm_sub_epi32(Middle, halfBand), _mm_setzero_si128());
  const __m128i high = Min(_mm_add_epi32(Middle, halfBand), _mm_set1_epi32(MaxValue));
  return Min(Max(Value, low), high);
}
// The low 32 bits of each product: the same for signed factors as for unsigned ones.
inline __m128i MultiplyLow(__m128i a, __m128i b) {
  const __m128i even = _mm_mul_epu32(a, b);
  const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), _mm_srli_epi64(b, 32));
  return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                            _mm_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0)));
}
// The middles of four cells.
inline __m128i LoadMiddles(const std::int32_t* From) {
  return Load(From);
}
inline __m128i LoadMiddles(const std::uint8_t* From) {
  std::int32_t four;
  std::memcpy(&four, From, sizeof four);
  const __m128i zero = _mm_setzero_si128();
  const __m128i heights =
      _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(four), zero), zero);
  static_assert(HeightScale == (1 << 16) + (1 << 8));
  return _mm_add_epi32(_mm_slli_epi32(heights, 16), _mm_slli_epi32(heights, 8));
}
#endif

#ifdef HILLOGRAPH_SMOOTH_AVX2
bool HasAvx2() {
  static const bool avx2 = (__builtin_cpu_init(), __builtin_cpu_supports("avx2") != 0);
  return avx2;
}

HILLOGRAPH_AVX2_TARGET inline __m256i Load8(const std::int32_t* From) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(From));
}
HILLOGRAPH_AVX2_TARGET inline __m256i LoadMiddles8(const std::int32_t* From) {
  return Load8(From);
}
HILLOGRAPH_AVX2_TARGET inline __m256i LoadMiddles8(const std::uint8_t* From) {
  const __m256i heights =
      _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(From)));
  return _mm256_mullo_epi32(heights, _mm256_set1_epi32(HeightScale));
}

// Rows First, First + 8, ... of LaplacianColumn while eight more fit before the last row; returns
// the row it stopped at.
HILLOGRAPH_AVX2_TARGET std::int32_t LaplacianRows8(const std::int32_t* __restrict left,
                                                   const std::int32_t* __restrict mid,
                                                   const std::int32_t* __restrict right,
                                                   std::int32_t First, std::int32_t n,
                                                   std::int32_t* __restrict Out) {
  std::int32_t y = First;
  for (; y + 8 < n; y += 8) {
    const __m256i sides =
        _mm256_add_epi32(_mm256_add_epi32(Load8(left + y), Load8(right + y)),
                         _mm256_add_epi32(Load8(mid + y - 1), Load8(mid + y + 1)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(Out + y),
                        _mm256_sub_epi32(sides, _mm256_slli_epi32(Load8(mid + y), 2)));
  }
  return y;
}

// The same for BendColumn.
template <class TCell>
HILLOGRAPH_AVX2_TARGET std::int32_t BendRows8(const std::int32_t* __restrict Values,
                                              const std::int32_t* __restrict Left,
                                              const std::int32_t* __restrict Mid,
                                              const std::int32_t* __restrict Right,
                                              const TCell* __restrict Middle, std::int32_t First,
                                              std::int32_t n, std::int32_t Weight,
                                              std::int32_t* __restrict Out) {
  const __m256i halfBend = _mm256_set1_epi32(1 << (BendShift - 1));
  const __m256i weight = _mm256_set1_epi32(Weight);
  const __m256i halfStep = _mm256_set1_epi32(1 << (WeightBits - BendShift - 1));
  const __m256i halfBand = _mm256_set1_epi32(HalfBand);
  const __m256i maxValue = _mm256_set1_epi32(MaxValue);
  std::int32_t y = First;
  for (; y + 8 < n; y += 8) {
    const __m256i sides =
        _mm256_add_epi32(_mm256_add_epi32(Load8(Left + y), Load8(Right + y)),
                         _mm256_add_epi32(Load8(Mid + y - 1), Load8(Mid + y + 1)));
    const __m256i bend = _mm256_sub_epi32(sides, _mm256_slli_epi32(Load8(Mid + y), 2));
    const __m256i samples = _mm256_srai_epi32(_mm256_add_epi32(bend, halfBend), BendShift);
    const __m256i weighted = _mm256_add_epi32(_mm256_mullo_epi32(samples, weight), halfStep);
    const __m256i step = _mm256_srai_epi32(weighted, WeightBits - BendShift);
    const __m256i value = _mm256_sub_epi32(Load8(Values + y), step);
    const __m256i middle = LoadMiddles8(Middle + y);
    const __m256i low =
        _mm256_max_epi32(_mm256_sub_epi32(middle, halfBand), _mm256_setzero_si256());
    const __m256i high = _mm256_min_epi32(_mm256_add_epi32(middle, halfBand), maxValue);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(Out + y),
                        _mm256_min_epi32(_mm256_max_epi32(value, low), high));
  }
  return y;
}
#endif

// Column x of the Laplacian of Values (4-neighbour, the edge cells repeated beyond the border).
void LaplacianColumn(const TValues& Values, std::int32_t x, std::int32_t* __restrict Out) {
  const std::int32_t n = Values.Height();
  const std::int32_t* __restrict left = Values[std::max(x - 1, 0)];
  const std::int32_t* __restrict mid = Values[x];
  const std::int32_t* __restrict right = Values[std::min(x + 1, Values.Width() - 1)];
  const auto at = [&](std::int32_t y, std::int32_t up, std::int32_t down) {
    return left[y] + right[y] + mid[up] + mid[down] - 4 * mid[y];
  };
  Out[0] = at(0, 0, std::min(1, n - 1));
  std::int32_t y = 1;
#ifdef HILLOGRAPH_SMOOTH_AVX2
  if (HasAvx2()) y = LaplacianRows8(left, mid, right, y, n, Out);
#endif
#ifdef HILLOGRAPH_SMOOTH_SSE2
  for (; y + 4 < n; y += 4) {
    const __m128i sides = _mm_add_epi32(_mm_add_epi32(Load(left + y), Load(right + y)),
                                        _mm_add_epi32(Load(mid + y - 1), Load(mid + y + 1)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + y),
                     _mm_sub_epi32(sides, _mm_slli_epi32(Load(mid + y), 2)));
  }
#endif
  for (; y < n - 1; ++y)
    Out[y] = at(y, y - 1, y + 1);
  if (n > 1) Out[n - 1] = at(n - 1, n - 2, n - 1);
}

// One pass over column x: Values less a step against the Laplacian of Laplacians (whose columns
// x - 1, x, x + 1 are Left, Mid, Right), clamped to the bands, into Out.
template <class TCell>
void BendColumn(const std::int32_t* __restrict Values, const std::int32_t* __restrict Left,
                const std::int32_t* __restrict Mid, const std::int32_t* __restrict Right,
                const TCell* __restrict Middle, std::int32_t n, std::int32_t Weight,
                std::int32_t* __restrict Out) {
  const auto at = [&](std::int32_t y, std::int32_t up, std::int32_t down) {
    const std::int32_t bend = Left[y] + Right[y] + Mid[up] + Mid[down] - 4 * Mid[y];
    return InBand(Values[y] - Step(bend, Weight), MiddleOf(Middle[y]));
  };
  Out[0] = at(0, 0, std::min(1, n - 1));
  std::int32_t y = 1;
#ifdef HILLOGRAPH_SMOOTH_AVX2
  if (HasAvx2()) y = BendRows8(Values, Left, Mid, Right, Middle, y, n, Weight, Out);
#endif
#ifdef HILLOGRAPH_SMOOTH_SSE2
  const __m128i halfBend = _mm_set1_epi32(1 << (BendShift - 1));
  const __m128i weight = _mm_set1_epi32(Weight);
  const __m128i halfStep = _mm_set1_epi32(1 << (WeightBits - BendShift - 1));
  for (; y + 4 < n; y += 4) {
    const __m128i sides = _mm_add_epi32(_mm_add_epi32(Load(Left + y), Load(Right + y)),
                                        _mm_add_epi32(Load(Mid + y - 1), Load(Mid + y + 1)));
    const __m128i bend = _mm_sub_epi32(sides, _mm_slli_epi32(Load(Mid + y), 2));
    const __m128i samples = _mm_srai_epi32(_mm_add_epi32(bend, halfBend), BendShift);
    const __m128i weighted = _mm_add_epi32(MultiplyLow(samples, weight), halfStep);
    const __m128i step = _mm_srai_epi32(weighted, WeightBits - BendShift);
    const __m128i value = _mm_sub_epi32(Load(Values + y), step);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + y), InBand(value, LoadMiddles(Middle + y)));
  }
#endif
  for (; y < n - 1; ++y)
    Out[y] = at(y, y - 1, y + 1);
  if (n > 1) Out[n - 1] = at(n - 1, n - 2, n - 1);
}

// The middles of the next coarser level: each the mean of its up to 2 x 2 cells (the last column
// or row repeated where the side is odd).
template <class TCell>
void Coarsen(const TMiddles<TCell>& Fine, std::int32_t FineWidth, TValues& Coarse,
             TWorkerTeam* Team) {
  const std::int32_t fineHeight = Fine.Height;
  ForColumns(Team, Coarse.Width(), Coarse.Height(), [&](std::int32_t i) {
    const TCell* a = Fine.Column(2 * i);
    const TCell* b = Fine.Column(std::min(2 * i + 1, FineWidth - 1));
    std::int32_t* out = Coarse[i];
    for (std::int32_t k = 0; k < Coarse.Height(); ++k) {
      const std::int32_t y0 = 2 * k;
      const std::int32_t y1 = std::min(2 * k + 1, fineHeight - 1);
      out[k] = (MiddleOf(a[y0]) + MiddleOf(a[y1]) + MiddleOf(b[y0]) + MiddleOf(b[y1]) + 2) >> 2;
    }
  });
}

// The coarser level's values interpolated bilinearly onto the finer level (cell centres: a fine
// cell lies a quarter of a coarse cell from its own coarse cell's centre), clamped to the bands.
template <class TCell>
void Refine(const TValues& Coarse, TValues& Fine, const TMiddles<TCell>& Middles,
            TWorkerTeam* Team) {
  const std::int32_t coarseWidth = Coarse.Width();
  const std::int32_t coarseHeight = Coarse.Height();
  ForColumns(Team, Fine.Width(), Fine.Height(), [&](std::int32_t x) {
    const std::int32_t i = x / 2;
    const std::int32_t* near = Coarse[i];
    const std::int32_t* far =
        Coarse[x % 2 == 0 ? std::max(i - 1, 0) : std::min(i + 1, coarseWidth - 1)];
    const TCell* middle = Middles.Column(x);
    std::int32_t* out = Fine[x];
    const std::int32_t fineHeight = Fine.Height();
    // Fine row y = 2k + odd, whose far coarse row is l.
    const auto cell = [&](std::int32_t k, std::int32_t l, std::int32_t y) {
      const std::int32_t value = 9 * near[k] + 3 * (near[l] + far[k]) + far[l];
      out[y] = InBand((value + HalfWeight) >> WeightShift, MiddleOf(middle[y]));
    };
    const auto pair = [&](std::int32_t k) {
      cell(k, std::max(k - 1, 0), 2 * k);
      if (2 * k + 1 < fineHeight) cell(k, std::min(k + 1, coarseHeight - 1), 2 * k + 1);
    };
    pair(0);
    std::int32_t k = 1;
#ifdef HILLOGRAPH_SMOOTH_SSE2
    // 9 near[k] + 3 near[l] + 3 far[k] + far[l] is 3 c[k] + c[l] with c = 3 near + far.
    const auto blend = [&](std::int32_t at) {
      const __m128i n = Load(near + at);
      return _mm_add_epi32(_mm_add_epi32(n, _mm_slli_epi32(n, 1)), Load(far + at));
    };
    const __m128i half = _mm_set1_epi32(HalfWeight);
    for (; k + 4 < coarseHeight; k += 4) {
      const __m128i c = blend(k);
      const __m128i c3 = _mm_add_epi32(_mm_add_epi32(c, _mm_slli_epi32(c, 1)), half);
      const __m128i even = _mm_srai_epi32(_mm_add_epi32(c3, blend(k - 1)), WeightShift);
      const __m128i odd = _mm_srai_epi32(_mm_add_epi32(c3, blend(k + 1)), WeightShift);
      const std::int32_t y = 2 * k;
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + y),
                       InBand(_mm_unpacklo_epi32(even, odd), LoadMiddles(middle + y)));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + y + 4),
                       InBand(_mm_unpackhi_epi32(even, odd), LoadMiddles(middle + y + 4)));
    }
#endif
    for (; k < coarseHeight - 1; ++k) {
      cell(k, k - 1, 2 * k);
      cell(k, k + 1, 2 * k + 1);
    }
    if (coarseHeight > 1) pair(coarseHeight - 1);
  });
}

// Cycles of passes on Values, whose bands' middles are Middles. Each strip of columns works
// out the Laplacian of its columns and of one more on either side, three columns at a time.
template <class TCell>
void Smooth(TValues& Values, const TMiddles<TCell>& Middles, std::int32_t Cycles,
            TWorkerTeam* Team) {
  const std::int32_t width = Values.Width();
  const std::int32_t height = Values.Height();
  TValues next(width, height, Uninitialised);
  const std::int32_t strips = (width + StripColumns - 1) / StripColumns;
  const bool shared = Team != nullptr && std::int64_t{width} * height >= MinSharedCells;
  const std::int32_t members = shared ? std::min(Team->Members(), strips) : 1;
  // Three Laplacian columns for each member.
  TValues laplacians(3 * members, height, Uninitialised);
  for (std::int32_t pass = 0; pass < Cycles * SmoothCyclePasses; ++pass) {
    const std::int32_t weight = StepWeights[pass % SmoothCyclePasses];
    ShareOut(Team, members, strips, [&](std::int32_t strip, std::int32_t member) noexcept {
      const std::int32_t first = strip * StripColumns;
      const std::int32_t last = std::min(width, first + StripColumns);
      std::int32_t* columns[3] = {laplacians[3 * member], laplacians[3 * member + 1],
                                  laplacians[3 * member + 2]};
      LaplacianColumn(Values, std::max(first - 1, 0), columns[0]);
      LaplacianColumn(Values, first, columns[1]);
      for (std::int32_t x = first; x < last; ++x) {
        LaplacianColumn(Values, std::min(x + 1, width - 1), columns[2]);
        BendColumn(Values[x], columns[0], columns[1], columns[2], Middles.Column(x), height, weight,
                   next[x]);
        std::swap(columns[0], columns[1]);
        std::swap(columns[1], columns[2]);
      }
    });
    std::swap(Values, next);
  }
}

// The surface, its arguments checked.
TSmoothHeightField Smoothed(const THeightField& Heights, TWorkerTeam* Team, std::int32_t Cycles) {
  const std::int32_t width = Heights.Width();
  const std::int32_t height = Heights.Height();
  const TMiddles<std::uint8_t> finest{Heights.Data(), height};

  // The coarser levels' middles, the second level first, down to a single cell.
  std::vector<TValues> coarse;
  for (std::int32_t w = width, h = height; w > 1 || h > 1; w = (w + 1) / 2, h = (h + 1) / 2) {
    TValues level((w + 1) / 2, (h + 1) / 2, Uninitialised);
    if (coarse.empty()) {
      Coarsen(finest, w, level, Team);
    } else {
      Coarsen(TMiddles<std::int32_t>{coarse.back().Data(), h}, w, level, Team);
    }
    coarse.push_back(std::move(level));
  }

  // The coarsest level starts at its middles.
  TValues values(1, 1);
  values[0][0] = coarse.empty() ? Heights[0][0] * HeightScale : coarse.back()[0][0];
  for (std::size_t level = coarse.size(); level-- > 0;) {
    const TValues& middles = coarse[level];
    const TMiddles<std::int32_t> bands{middles.Data(), middles.Height()};
    if (level + 1 < coarse.size()) {
      TValues finer(middles.Width(), middles.Height(), Uninitialised);
      Refine(values, finer, bands, Team);
      values = std::move(finer);
    }
    Smooth(values, bands, Cycles, Team);
  }
  if (!coarse.empty()) {
    TValues finer(width, height, Uninitialised);
    Refine(values, finer, finest, Team);
    values = std::move(finer);
  }
  Smooth(values, finest, Cycles, Team);

  TSmoothHeightField samples(width, height, Uninitialised);
  ForColumns(Team, width, height, [&](std::int32_t x) {
    const std::int32_t* from = values[x];
    std::uint16_t* to = samples[x];
    for (std::int32_t y = 0; y < height; ++y)
      to[y] = static_cast<std::uint16_t>((from[y] + HalfUnit) >> FractionBits);
  });
  return samples;
}

}  // namespace

TSmoothHeightField SmoothHeights(const THeightField& Heights, TWorkerTeam* Team,
                                 std::int32_t Cycles) {
  CheckArgument("Width", Heights.Width(), 1, MaxPlasmaSide);
  CheckArgument("Height", Heights.Height(), 1, MaxPlasmaSide);
  CheckArgument("Cycles", Cycles, 1, MaxSmoothCycles);
  try {
    return Smoothed(Heights, Team, Cycles);
  } catch (const std::bad_alloc&) {
    // About ten bytes a cell: a field too large for the memory at hand is the user's to shrink.
    throw TError("Out of memory");
  }
}

}  // namespace hillograph
